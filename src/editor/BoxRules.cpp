// What the editing boxes do on their own: display formats when a box loses the
// focus, the access-code rule, Increment Primary Code, and the completion and check
// of entries before their words go to a board or a file.
#include "Editor.h"

#include "AlphaTags.h"
#include "FormControls.h"
#include "WordCodecs.h"

#include <algorithm>

namespace Editor {

namespace {

bool allOf(const QString& text, bool (*accept)(char16_t))
{
    for (QChar c : text) {
        if (!accept(c.unicode()))
            return false;
    }
    return true;
}

bool isDecimal(char16_t u)
{
    return u >= '0' && u <= '9';
}

bool isDigits(const QString& text, int minLength, int maxLength)
{
    return text.size() >= minLength && text.size() <= maxLength && allOf(text, isDecimal);
}

QString zeroPadded(const QString& text, int width)
{
    return isDigits(text, 1, width) ? text.rightJustified(width, QLatin1Char('0')) : text;
}

QString withoutLeadingZeros(const QString& text)
{
    if (!isDigits(text, 1, static_cast<int>(text.size())))
        return text;
    qsizetype first = 0;
    while (first < text.size() - 1 && text[first] == QLatin1Char('0'))
        ++first;
    return text.mid(first);
}

} // namespace

QString applyDisplayFormat(const QString& text, DisplayFormat format)
{
    switch (format) {
    case DisplayFormat::None: return text;
    case DisplayFormat::FourDigits: return zeroPadded(text, 4);
    case DisplayFormat::FiveDigits: return zeroPadded(text, 5);
    case DisplayFormat::NumberNoLeadingZeros: return withoutLeadingZeros(text);
    case DisplayFormat::Capitals: {
        QString out = text;
        for (QChar& c : out)
            c = AlphaTags::capital(c);
        return out;
    }
    }
    return text;
}

QString accessCodeRule(const QString& text)
{
    return text.size() == 5 ? text : kDefaultAccessCode;
}

IncrementResult incrementPrimaryCode(Form& form)
{
    const QString& text = form.PrimaryCode.text;
    qsizetype digits = 0;
    while (digits < text.size() && isDecimal(text[digits].unicode()))
        ++digits;
    const QString prefix = withoutLeadingZeros(text.left(digits));
    // The box and the board hold four digits: 9999 has no successor.
    if (prefix.size() > 4 || prefix.toInt() >= 9999)
        return IncrementResult::AtLimit;
    // The box shows the new code through its "0000" format, as it does not have the
    // focus; the text takes that form too, so that a write or save straight after
    // the increment stores the four digits the technician sees (124 is shown and
    // stored as 0124), never the malformed words a three-digit text would give.
    form.PrimaryCode.text = applyDisplayFormat(QString::number(prefix.toInt() + 1), DisplayFormat::FourDigits);
    return IncrementResult::Done;
}

namespace {

// The words a box's text puts into the image, as ReadGUI makes them: the row's encoding.
std::vector<QString> wordsOf(const FormControl& control, const Form& form, const QString& text)
{
    if (!control.coding || !control.coding->encode)
        return {};
    return control.coding->encode(control, form, text);
}

const char* needed(EntryRule rule)
{
    switch (rule) {
    case EntryRule::CodeDigits:
    case EntryRule::GroupCode: return "four digits 0-9 or A-F, or empty";
    case EntryRule::AccessCode: return "five characters 0-9 or A-F";
    case EntryRule::DialNumber: return "digits 0-9 or A-F only";
    case EntryRule::None: break;
    }
    return "";
}

} // namespace

bool givesBoardWords(const FormControl& control, const Form& form, const QString& text)
{
    const std::vector<QString> words = wordsOf(control, form, text);
    return std::all_of(words.begin(), words.end(), WordCodec::isWellFormed);
}

bool showsItsOwnWords(const FormControl& control, const Form& form, const QString& text)
{
    if (control.entry != EntryRule::DialNumber) // the other boxes show at most their length
        return text.size() <= control.maxLength && givesBoardWords(control, form, text);
    const bool locked = form.chkLock[control.row].value == 1;
    std::array<QString, 4> words = WordCodec::speedDialWords(text, locked);
    if (!std::all_of(words.begin(), words.end(), WordCodec::isWellFormed) || WordCodec::isLockMark(words[0]) != locked)
        return false;
    if (locked)
        words[0] = WordCodec::withoutLockMark(words[0]);
    return WordCodec::speedDialNumber(words) == text;
}

QStringList completeEntries(Form& form)
{
    QStringList problems;
    for (const FormControl& control : FormControls::all()) {
        if (control.kind != ControlKind::Text || control.entry == EntryRule::None)
            continue;
        QString& text = control.textBox(form)->text;
        // What a board or a file gave, or a box already left, is never touched when it
        // gives back well-formed words (a board's 16-zero speed dial stays as it is).
        if (givesBoardWords(control, form, text))
            continue;
        const QString left = FormControls::leftText(control, text);
        if (givesBoardWords(control, form, left)) {
            text = left;
            continue;
        }
        problems
            << QStringLiteral("%1: \"%2\" must be %3").arg(control.caption, text, QLatin1String(needed(control.entry)));
    }
    return problems;
}

QStringList malformedWords(const BoardImage& image, int lastWord)
{
    QStringList problems;
    for (int i = 0; i <= lastWord; ++i) {
        if (!WordCodec::isWellFormed(image.word(i)))
            problems << QStringLiteral("word %1 (\"%2\") is not four hexadecimal digits").arg(i).arg(image.word(i));
    }
    return problems;
}

} // namespace Editor
