// What the editing boxes do on their own: display formats when a box loses the
// focus, the access-code rule, Increment Primary Code, and the check of entries
// that cannot become board words.
#include "Editor.h"

#include "AlphaTags.h"
#include "FormControls.h"

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

bool isDecimal(char16_t u) { return u >= '0' && u <= '9'; }
bool isHex(char16_t u) { return isDecimal(u) || (u >= 'A' && u <= 'F'); }
// F is the filler of a speed-dial memory, so a number cannot hold it.
bool isDialDigit(char16_t u) { return isDecimal(u) || (u >= 'A' && u <= 'E'); }

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

QString accessCodeRule(const QString& text) { return text.size() == 5 ? text : kDefaultAccessCode; }

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

QStringList entryProblems(const Form& form)
{
    QStringList problems;
    const auto problem = [&](const QString& caption, const QString& text, const char* need) {
        problems << QStringLiteral("%1: \"%2\" must be %3").arg(caption, text, QLatin1String(need));
    };
    for (const FormControl& control : FormControls::all()) {
        if (control.kind != ControlKind::Text)
            continue;
        const QString& text = control.textBox(form)->text;
        switch (control.entry) {
        case EntryRule::None:
            break;
        case EntryRule::FourDigitsOrEmpty:
            if (!text.isEmpty() && !isDigits(text, 4, 4))
                problem(control.caption, text, "four digits");
            break;
        case EntryRule::FiveDigits:
            if (!isDigits(text, 5, 5))
                problem(control.caption, text, "five digits");
            break;
        case EntryRule::FourHexDigitsOrEmpty:
            if (!text.isEmpty() && !(text.size() == 4 && allOf(text, isHex)))
                problem(control.caption, text, "four digits 0-9 or A-F");
            break;
        case EntryRule::DialDigits:
            if (text.size() > 15 || !allOf(text, isDialDigit))
                problem(control.caption, text, "up to 15 digits 0-9 or A-E");
            break;
        }
    }
    return problems;
}

} // namespace Editor
