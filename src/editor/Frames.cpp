// The two feature frames and the window side of a product's profile: which
// controls are offered. Only enabled states and menu ticks change here, never values.
#include "Editor.h"

#include "Product.h"

namespace Editor {

namespace {

// Setting a box's value from code raises its click handler, but only on a change.
void setAndClick(Form& form, CheckBox& box, int value, void (*click)(Form&))
{
    if (box.value == value)
        return;
    box.value = value;
    click(form);
}

bool tagsOffered(int product) { return Product::info(product).tagsOnBoard; }

} // namespace

void setFleetDispatch(Form& form, int value) { setAndClick(form, form.chkFleetDispatch, value, chkFleetDispatch_Click); }
void setMemorySpeed(Form& form, int value) { setAndClick(form, form.chkMemorySpeed, value, chkMemorySpeed_Click); }

void ConfigureFleetDispatchFrame(Form& form)
{
    const std::optional<int> product = selectedProduct(form);
    if (!product)
        return;
    const bool tags = tagsOffered(*product);
    for (int g = 0; g < Form::kGroups; ++g) {
        form.GroupAlpha[g].enabled = tags;
        form.GroupCode[g].enabled = true;
        form.Label1[g].enabled = true;
    }
    form.Label2.enabled = tags;
    form.Label3.enabled = true;
}

void chkFleetDispatch_Click(Form& form)
{
    // Only a set box counts as on; clear and greyed are off.
    if (form.chkFleetDispatch.value == 1) {
        ConfigureFleetDispatchFrame(form);
        return;
    }
    for (int g = 0; g < Form::kGroups; ++g) {
        form.GroupCode[g].enabled = false;
        form.GroupAlpha[g].enabled = false;
        form.Label1[g].enabled = false;
    }
    form.Label2.enabled = false;
    form.Label3.enabled = false;
}

void ConfigureSpeedDialFrame(Form& form)
{
    const std::optional<int> product = selectedProduct(form);
    if (!product)
        return;
    const bool tags = tagsOffered(*product);
    for (int s = 0; s < Form::kSpeedDials; ++s) {
        form.SpeedAlpha[s].enabled = tags;
        form.SpeedDial[s].enabled = true;
        form.chkLock[s].enabled = tags;
        form.Label23[s].enabled = true;
    }
    form.Label6.enabled = tags;
    form.Label8.enabled = tags;
    form.Label25.enabled = true;
    form.Label5.enabled = true;
}

void chkMemorySpeed_Click(Form& form)
{
    if (form.chkMemorySpeed.value == 1) {
        ConfigureSpeedDialFrame(form);
        return;
    }
    for (int s = 0; s < Form::kSpeedDials; ++s) {
        form.SpeedDial[s].enabled = false;
        form.SpeedAlpha[s].enabled = false;
        form.Label23[s].enabled = false;
        form.chkLock[s].enabled = false;
    }
    form.Label5.enabled = false;
    form.Label6.enabled = false;
    form.Label8.enabled = false;
    form.Label25.enabled = false;
}

void applyProductProfile(Form& form, const QString& product)
{
    const std::optional<int> k = Product::fromValue(product);
    if (!k)
        return;
    const ProductInfo& p = Product::info(*k);
    form.mnuProduct[p.index] = true; // the other items are left as they are
    form.lblProduct.caption = QString::fromLatin1(p.shortName);
    form.chkDTMFMic.enabled = p.options.dtmfMic;
    form.chkVoiceEncryption.enabled = p.options.voiceEncryption;
    form.chkRoaming.enabled = p.options.roaming;
    form.chkANI.enabled = p.options.ani;
    form.cmbMandown.enabled = p.options.mandown;
    form.Label4.enabled = p.options.mandown;
}

void mnuProduct_Click(Form& form, int index)
{
    form.mnuProduct.fill(false);
    applyProductProfile(form, QString::number(index));
    chkFleetDispatch_Click(form);
    chkMemorySpeed_Click(form);
}

} // namespace Editor
