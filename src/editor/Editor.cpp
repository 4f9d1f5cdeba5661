#include "Editor.h"

#include "AlphaTags.h"
#include "FormControls.h"
#include "MemoryMap.h"
#include "Product.h"
#include "WordCodecs.h"

namespace Editor {

namespace MM = MemoryMap;
namespace WC = WordCodec;

std::optional<int> selectedProduct(const Form& form)
{
    for (const ProductInfo& p : Product::kAll) {
        if (form.mnuProduct[p.index])
            return p.index;
    }
    return std::nullopt;
}

std::optional<int> selectedPort(const Form& form)
{
    std::optional<int> port;
    for (int k = 1; k <= 4; ++k) {
        if (form.mnuSerialConfig[k])
            port = k;
    }
    return port;
}

namespace {

// The tag code of the ticked product's family, as its family row gives it; none for
// a family whose boards hold no tags (Alinco), or without a product.
const TagCodec* tagCodec(const Form& form)
{
    const std::optional<int> product = selectedProduct(form);
    return product ? Product::info(*product).family.tags : nullptr;
}

} // namespace

// UpdateGUI and ReadGUI: each step takes the control's words and their encoding from its
// row of the control table (FormControls). The steps keep their fixed order, so that a
// step that fails leaves exactly the steps before it done; where the order also changes
// the result, the line says why.
namespace {

// The settings of words 1..23, in the order both directions take them (UpdateGUI's
// steps 1..12, ReadGUI's 2..14).
std::array<const void*, 16> settingsInOrder(const Form& form)
{
    return {&form.cmbMandown,       &form.cmbSystemTone, &form.chkConventional,
            &form.chkFleetDispatch, // shown, a change raises its click handler
            &form.PrimaryCode,      &form.SecondaryCode, &form.LowerBlockCode,
            &form.cmbSystemID,      &form.chkPriority,   &form.chkEmergency,
            &form.chkClearChannel,  &form.chkRadioKill,  &form.ProgAccessCode,
            &form.chkMemorySpeed, // shown, a change raises its click handler
            &form.chkRoaming,       &form.UpperBlockCode};
}

} // namespace

void UpdateGUI(Form& form, BoardImage& image)
{
    const auto show = [&](const void* control) {
        const FormControl& row = FormControls::rowOf(form, control);
        row.coding->show(row, form, image);
    };
    for (const void* control : settingsInOrder(form)) // 1..12
        show(control);
    show(&form.chkDTMFMic); // 13
    show(&form.chkVoiceEncryption);
    show(&form.chkANI);
    for (const TextBox& code : form.GroupCode) // 14
        show(&code);
    for (int s = 0; s < Form::kSpeedDials; ++s) { // 15
        // The lock first: it takes its mark off the memory's first word, which the number then reads.
        show(&form.chkLock[s]);
        show(&form.SpeedDial[s]);
    }

    // The family's Icom_alphaU or Vertex_AlphaU, always the last step.
    if (const TagCodec* codec = tagCodec(form)) // 16
        AlphaTags::showTags(form, image, *codec);
}

void ReadGUI(const Form& form, BoardImage& image)
{
    const auto store = [&](const void* control) {
        const FormControl& row = FormControls::rowOf(form, control);
        row.coding->store(row, form, image);
    };
    if (const std::optional<int> product = selectedProduct(form)) // 1
        image.setWord(MM::kHeader, QString::fromLatin1(Product::info(*product).headerWord));
    for (const void* control : settingsInOrder(form)) // 2..14
        store(control);
    image.setWord(MM::kFixed24, WC::kFixed24); // 15
    for (const TextBox& code : form.GroupCode) // 16
        store(&code);
    image.setWord(MM::kFixed41, WC::kFixed41); // 17
    // The number's words carry the row's lock.
    for (const TextBox& dial : form.SpeedDial) // 18
        store(&dial);
    // One word holds the three option bits; each of their rows writes the whole word.
    store(&form.chkVoiceEncryption); // 19

    // The family's Icom_AlphaR or Vertex_AlphaR.
    if (const TagCodec* codec = tagCodec(form)) // 20
        AlphaTags::storeTags(form, image, *codec);
    image.setWord(MM::kEndMark, WC::kEndMark); // 21
}

} // namespace Editor
