// The two feature frames and the window side of a product's profile: which
// controls are offered. Only enabled states and menu ticks change here, never values.
#include "Editor.h"

#include "FormControls.h"
#include "Product.h"

namespace Editor {

namespace {

// Only a set box counts as on; clear and greyed are off.
bool isOn(const CheckBox& box)
{
    return box.value == 1;
}

// The alpha tags (and the speed-dial locks) are offered only for boards that hold them.
std::optional<bool> tagsOfTickedProduct(const Form& form)
{
    const std::optional<int> product = selectedProduct(form);
    if (!product)
        return std::nullopt;
    return Product::info(*product).tagsOnBoard;
}

// Everything of the group-code frame below its check box: the codes, their row
// numbers and the "Group Code" heading follow `rows`, the tags and their heading `tags`.
void enableGroupRows(Form& form, bool rows, bool tags)
{
    for (int g = 0; g < Form::kGroups; ++g) {
        form.GroupAlpha[g].enabled = tags;
        form.GroupCode[g].enabled = rows;
        form.Label1[g].enabled = rows;
    }
    form.Label2.enabled = tags;
    form.Label3.enabled = rows;
}

// The same for the speed-dial frame: numbers, row labels, "Speed Dial Numbers" and
// "Turbo Speedial" follow `rows`; tags, locks, "Alpha Tag" and "Lock" follow `tags`.
void enableSpeedDialRows(Form& form, bool rows, bool tags)
{
    for (int s = 0; s < Form::kSpeedDials; ++s) {
        form.SpeedAlpha[s].enabled = tags;
        form.SpeedDial[s].enabled = rows;
        form.chkLock[s].enabled = tags;
        form.Label23[s].enabled = rows;
    }
    form.Label6.enabled = tags;
    form.Label8.enabled = tags;
    form.Label25.enabled = rows;
    form.Label5.enabled = rows;
}

} // namespace

// Setting a box's value from code raises its click handler, but only on a change.
void setFleetDispatch(Form& form, int value)
{
    FormControls::setCheck(form, FormControls::rowOf(form, &form.chkFleetDispatch), value);
}
void setMemorySpeed(Form& form, int value)
{
    FormControls::setCheck(form, FormControls::rowOf(form, &form.chkMemorySpeed), value);
}

void ConfigureFleetDispatchFrame(Form& form)
{
    if (const std::optional<bool> tags = tagsOfTickedProduct(form))
        enableGroupRows(form, true, *tags);
}

void chkFleetDispatch_Click(Form& form)
{
    if (isOn(form.chkFleetDispatch))
        ConfigureFleetDispatchFrame(form);
    else
        enableGroupRows(form, false, false);
}

void ConfigureSpeedDialFrame(Form& form)
{
    if (const std::optional<bool> tags = tagsOfTickedProduct(form))
        enableSpeedDialRows(form, true, *tags);
}

void chkMemorySpeed_Click(Form& form)
{
    if (isOn(form.chkMemorySpeed))
        ConfigureSpeedDialFrame(form);
    else
        enableSpeedDialRows(form, false, false);
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
