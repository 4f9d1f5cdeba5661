#include "Editor.h"

#include "AlphaTags.h"
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

int checked(const QString& word)
{
    return WC::isOn(word) ? 1 : 0;
}

// The tag code of the ticked product's family (Icom for products 2 and 3, Vertex
// for 4 and 5); none for the Alinco board, or without a product.
const TagCodec* tagCodec(const Form& form)
{
    const std::optional<int> product = selectedProduct(form);
    return product ? Product::info(*product).family.tags : nullptr;
}

void showMandown(Form& form, const QString& word)
{
    form.cmbMandown.select(QStringLiteral("Disabled"));
    for (const auto& entry : WC::mandownTable()) {
        if (word == QLatin1String(entry.word))
            form.cmbMandown.select(QString::fromLatin1(entry.text));
    }
}

void showTone(Form& form, const QString& numberWord, const QString& onWord)
{
    if (onWord == WC::kOff) {
        form.cmbSystemTone.select(WC::kCarrier);
        return;
    }
    const QStringList texts = WC::toneTexts();
    for (int n = 0; n <= 6; ++n) {
        if (numberWord == WC::numberWord(static_cast<unsigned>(n)))
            form.cmbSystemTone.select(texts[n + 1]);
    }
    // A tone number outside 0..6 keeps the previous selection.
}

QString codeText(const BoardImage& image, int firstWord)
{
    return WC::codeText(image.word(firstWord), image.word(firstWord + 1));
}

void showSystemId(Form& form, const QString& word)
{
    const int id = WC::systemIdValue(word);
    // The list offers 0..31 only; an ID outside it selects nothing rather than a wrong item.
    if (!form.cmbSystemID.select(QString::number(id)))
        form.cmbSystemID.index = -1;
}

void showSpeedDial(Form& form, BoardImage& image, int s)
{
    const int i = MM::speedDialWord(s);
    // The lock lives in the box until the form is read back.
    if (WC::isLockMark(image.word(i))) {
        form.chkLock[s].value = 1;
        image.setWord(i, WC::withoutLockMark(image.word(i)));
    } else {
        form.chkLock[s].value = 0;
    }
    form.SpeedDial[s].text =
        WC::speedDialNumber({image.word(i), image.word(i + 1), image.word(i + 2), image.word(i + 3)});
}

void storeCode(BoardImage& image, int firstWord, const QString& text)
{
    const WC::CodeWords words = WC::codeWords(text);
    image.setWord(firstWord, words.first);
    image.setWord(firstWord + 1, words.second);
}

void storeMandown(const Form& form, BoardImage& image)
{
    const QString text = form.cmbMandown.text();
    for (const auto& entry : WC::mandownTable()) {
        if (text == QLatin1String(entry.text))
            image.setWord(MM::kMandown, QString::fromLatin1(entry.word));
    }
}

void storeTone(const Form& form, BoardImage& image)
{
    // With no tone selected the words keep what the last file or board gave them.
    if (form.cmbSystemTone.index < 0)
        return;
    const QString text = form.cmbSystemTone.text();
    if (text == WC::kCarrier) {
        image.setWord(MM::kToneNumber, WC::kOff);
        image.setWord(MM::kToneOn, WC::kOff);
    } else {
        image.setWord(MM::kToneNumber, QStringLiteral("000") + text.right(1));
        image.setWord(MM::kToneOn, WC::kOn);
    }
}

void storeSpeedDial(const Form& form, BoardImage& image, int s)
{
    const std::array<QString, 4> words = WC::speedDialWords(form.SpeedDial[s].text, form.chkLock[s].value == 1);
    for (int k = 0; k < 4; ++k)
        image.setWord(MM::speedDialWord(s) + k, words[k]);
}

QString switchWord(const CheckBox& box)
{
    return WC::switchWord(box.value != 0);
}

} // namespace

void UpdateGUI(Form& form, BoardImage& image)
{
    showMandown(form, image.word(MM::kMandown));                          // 1
    showTone(form, image.word(MM::kToneNumber), image.word(MM::kToneOn)); // 2
    form.chkConventional.value = checked(image.word(MM::kConventional));  // 3
    setFleetDispatch(form, checked(image.word(MM::kFleetDispatch)));      // 4
    form.PrimaryCode.text = codeText(image, MM::kPrimaryCode);            // 5
    form.SecondaryCode.text = codeText(image, MM::kSecondaryCode);        // 6
    form.LowerBlockCode.text = codeText(image, MM::kLowerBlockCode);      // 7
    showSystemId(form, image.word(MM::kSystemId));                        // 8
    form.chkPriority.value = checked(image.word(MM::kPriority));          // 9
    form.chkEmergency.value = checked(image.word(MM::kEmergency));
    form.chkClearChannel.value = checked(image.word(MM::kClearChannel));
    form.chkRadioKill.value = checked(image.word(MM::kRadioKill));
    form.ProgAccessCode.text = WC::accessCodeText(image.word(MM::kAccessCode), // 10
                                                  image.word(MM::kAccessCode + 1), image.word(MM::kAccessCode + 2));
    setMemorySpeed(form, checked(image.word(MM::kMemorySpeed))); // 11
    form.chkRoaming.value = checked(image.word(MM::kRoaming));
    form.UpperBlockCode.text = codeText(image, MM::kUpperBlockCode); // 12

    const WC::OptionBits bits = WC::optionBits(image.word(MM::kOptionBits)); // 13
    form.chkDTMFMic.value = bits.dtmfMic ? 1 : 0;
    form.chkVoiceEncryption.value = bits.voiceEncryption ? 1 : 0;
    form.chkANI.value = bits.ani ? 1 : 0;

    for (int g = 0; g < Form::kGroups; ++g) // 14
        form.GroupCode[g].text = WC::groupCodeText(image.word(MM::groupCodeWord(g)));
    for (int s = 0; s < Form::kSpeedDials; ++s) // 15
        showSpeedDial(form, image, s);

    // The family's Icom_alphaU or Vertex_AlphaU.
    if (const TagCodec* codec = tagCodec(form)) // 16
        AlphaTags::showTags(form, image, *codec);
}

void ReadGUI(const Form& form, BoardImage& image)
{
    if (const std::optional<int> product = selectedProduct(form)) // 1
        image.setWord(MM::kHeader, QString::fromLatin1(Product::info(*product).headerWord));
    storeMandown(form, image);                                            // 2
    storeTone(form, image);                                               // 3
    image.setWord(MM::kConventional, switchWord(form.chkConventional));   // 4
    image.setWord(MM::kFleetDispatch, switchWord(form.chkFleetDispatch)); // 5
    storeCode(image, MM::kPrimaryCode, form.PrimaryCode.text);            // 6
    storeCode(image, MM::kSecondaryCode, form.SecondaryCode.text);        // 7
    storeCode(image, MM::kLowerBlockCode, form.LowerBlockCode.text);      // 8
    // A board's ID outside the list selects nothing; it is kept rather than replaced by 0.
    if (form.cmbSystemID.index >= 0) // 9
        image.setWord(MM::kSystemId, WC::systemIdWord(form.cmbSystemID.text()));
    image.setWord(MM::kPriority, switchWord(form.chkPriority)); // 10
    image.setWord(MM::kEmergency, switchWord(form.chkEmergency));
    image.setWord(MM::kClearChannel, switchWord(form.chkClearChannel));
    // The editor only ever clears a radio kill, never sets one.
    if (form.chkRadioKill.value == 1) // 11
        image.setWord(MM::kRadioKill, WC::kOff);
    const std::array<QString, 3> access = WC::accessCodeWords(form.ProgAccessCode.text); // 12
    for (int k = 0; k < 3; ++k)
        image.setWord(MM::kAccessCode + k, access[k]);
    image.setWord(MM::kMemorySpeed, switchWord(form.chkMemorySpeed)); // 13
    image.setWord(MM::kRoaming, WC::roamingWord(form.chkRoaming.value != 0));
    storeCode(image, MM::kUpperBlockCode, form.UpperBlockCode.text); // 14
    image.setWord(MM::kFixed24, WC::kFixed24);                       // 15
    for (int g = 0; g < Form::kGroups; ++g)                          // 16
        image.setWord(MM::groupCodeWord(g), WC::groupCodeWord(form.GroupCode[g].text));
    image.setWord(MM::kFixed41, WC::kFixed41);  // 17
    for (int s = 0; s < Form::kSpeedDials; ++s) // 18
        storeSpeedDial(form, image, s);
    image.setWord(MM::kOptionBits, WC::optionBitsWord({form.chkVoiceEncryption.value == 1, // 19
                                                       form.chkDTMFMic.value == 1, form.chkANI.value == 1}));

    // The family's Icom_AlphaR or Vertex_AlphaR.
    if (const TagCodec* codec = tagCodec(form)) // 20
        AlphaTags::storeTags(form, image, *codec);
    image.setWord(MM::kEndMark, WC::kEndMark); // 21
}

} // namespace Editor
