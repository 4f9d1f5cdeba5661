#include "ControlWords.h"

#include "FormControls.h"
#include "WordCodecs.h"

namespace ControlWords {

namespace WC = WordCodec;

namespace {

using Words = std::vector<QString>;

Words wordsIn(const FormControl& c, const BoardImage& image)
{
    Words words;
    for (const int w : c.words)
        words.push_back(image.word(w));
    return words;
}

void setWords(const FormControl& c, BoardImage& image, const Words& words)
{
    for (std::size_t k = 0; k < c.words.size(); ++k)
        image.setWord(c.words[k], words[k]);
}

const QString& firstWord(const FormControl& c, const BoardImage& image)
{
    return image.word(c.words.front());
}

// Text boxes: the row's codec both ways.
void showText(const FormControl& c, Form& form, BoardImage& image)
{
    c.textBox(form)->text = c.coding->decode(wordsIn(c, image));
}

void storeText(const FormControl& c, const Form& form, BoardImage& image)
{
    setWords(c, image, c.coding->encode(c, form, c.textBox(form)->text));
}

Words codeWords(const FormControl&, const Form&, const QString& text)
{
    const WC::CodeWords words = WC::codeWords(text);
    return {words.first, words.second};
}

QString codeText(const Words& words)
{
    return WC::codeText(words[0], words[1]);
}

Words accessCodeWords(const FormControl&, const Form&, const QString& text)
{
    const std::array<QString, 3> words = WC::accessCodeWords(text);
    return {words.begin(), words.end()};
}

QString accessCodeText(const Words& words)
{
    return WC::accessCodeText(words[0], words[1], words[2]);
}

Words groupCodeWords(const FormControl&, const Form&, const QString& text)
{
    return {WC::groupCodeWord(text)};
}

QString groupCodeText(const Words& words)
{
    return WC::groupCodeText(words[0]);
}

Words dialWords(const FormControl& c, const Form& form, const QString& text)
{
    const std::array<QString, 4> words = WC::speedDialWords(text, form.chkLock[c.row].value == 1);
    return {words.begin(), words.end()};
}

QString dialText(const Words& words)
{
    return WC::speedDialNumber({words[0], words[1], words[2], words[3]});
}

// Check boxes.
int checked(const QString& word)
{
    return WC::isOn(word) ? 1 : 0;
}

void showSwitch(const FormControl& c, Form& form, BoardImage& image)
{
    FormControls::setCheck(form, c, checked(firstWord(c, image)));
}

void storeSwitch(const FormControl& c, const Form& form, BoardImage& image)
{
    image.setWord(c.words.front(), WC::switchWord(c.checkBox(form)->value != 0));
}

void storeRoaming(const FormControl& c, const Form& form, BoardImage& image)
{
    image.setWord(c.words.front(), WC::roamingWord(c.checkBox(form)->value != 0));
}

void storeRadioKill(const FormControl& c, const Form& form, BoardImage& image)
{
    if (c.checkBox(form)->value == 1)
        image.setWord(c.words.front(), WC::kOff);
}

void showLock(const FormControl& c, Form& form, BoardImage& image)
{
    // The lock lives in the box until the form is read back.
    const int w = c.words.front();
    if (WC::isLockMark(image.word(w))) {
        c.checkBox(form)->value = 1;
        image.setWord(w, WC::withoutLockMark(image.word(w)));
    } else {
        c.checkBox(form)->value = 0;
    }
}

template <bool WC::OptionBits::*bit>
void showBit(const FormControl& c, Form& form, BoardImage& image)
{
    c.checkBox(form)->value = WC::optionBits(firstWord(c, image)).*bit ? 1 : 0;
}

// The word holds all three bits: each of their rows writes the whole word.
void storeOptionBits(const FormControl& c, const Form& form, BoardImage& image)
{
    image.setWord(c.words.front(), WC::optionBitsWord({form.chkVoiceEncryption.value == 1, form.chkDTMFMic.value == 1,
                                                       form.chkANI.value == 1}));
}

// Lists.
void showMandown(const FormControl& c, Form& form, BoardImage& image)
{
    ComboBox& list = *c.comboBox(form);
    list.select(QStringLiteral("Disabled"));
    for (const auto& entry : WC::mandownTable()) {
        if (firstWord(c, image) == QLatin1String(entry.word))
            list.select(QString::fromLatin1(entry.text));
    }
}

void storeMandown(const FormControl& c, const Form& form, BoardImage& image)
{
    const QString text = c.comboBox(form)->text();
    for (const auto& entry : WC::mandownTable()) {
        if (text == QLatin1String(entry.text))
            image.setWord(c.words.front(), QString::fromLatin1(entry.word));
    }
}

void showTone(const FormControl& c, Form& form, BoardImage& image)
{
    ComboBox& list = *c.comboBox(form);
    const QString& numberWord = image.word(c.words[0]);
    if (image.word(c.words[1]) == WC::kOff) {
        list.select(WC::kCarrier);
        return;
    }
    const QStringList texts = WC::toneTexts();
    for (int n = 0; n <= 6; ++n) {
        if (numberWord == WC::numberWord(static_cast<unsigned>(n)))
            list.select(texts[n + 1]);
    }
    // A tone number outside 0..6 keeps the previous selection.
}

void storeTone(const FormControl& c, const Form& form, BoardImage& image)
{
    const ComboBox& list = *c.comboBox(form);
    // With no tone selected the words keep what the last file or board gave them.
    if (list.index < 0)
        return;
    const QString text = list.text();
    if (text == WC::kCarrier)
        setWords(c, image, {WC::kOff, WC::kOff});
    else
        setWords(c, image, {QStringLiteral("000") + text.right(1), WC::kOn});
}

void showSystemId(const FormControl& c, Form& form, BoardImage& image)
{
    ComboBox& list = *c.comboBox(form);
    const int id = WC::systemIdValue(firstWord(c, image));
    // The list offers 0..31 only; an ID outside it selects nothing rather than a wrong item.
    if (!list.select(QString::number(id)))
        list.index = -1;
}

void storeSystemId(const FormControl& c, const Form& form, BoardImage& image)
{
    const ComboBox& list = *c.comboBox(form);
    // A board's ID outside the list selects nothing; it is kept rather than replaced by 0.
    if (list.index >= 0)
        image.setWord(c.words.front(), WC::systemIdWord(list.text()));
}

} // namespace

const WordCoding kCode{showText, storeText, codeWords, codeText};
const WordCoding kAccessCode{showText, storeText, accessCodeWords, accessCodeText};
const WordCoding kGroupCode{showText, storeText, groupCodeWords, groupCodeText};
const WordCoding kDialNumber{showText, storeText, dialWords, dialText};
const WordCoding kSwitch{showSwitch, storeSwitch};
const WordCoding kRoaming{showSwitch, storeRoaming};
const WordCoding kRadioKill{showSwitch, storeRadioKill};
const WordCoding kLock{showLock, nullptr};
const WordCoding kVoiceEncryptionBit{showBit<&WC::OptionBits::voiceEncryption>, storeOptionBits};
const WordCoding kDtmfMicBit{showBit<&WC::OptionBits::dtmfMic>, storeOptionBits};
const WordCoding kAniBit{showBit<&WC::OptionBits::ani>, storeOptionBits};
const WordCoding kMandown{showMandown, storeMandown};
const WordCoding kTone{showTone, storeTone};
const WordCoding kSystemId{showSystemId, storeSystemId};

} // namespace ControlWords
