#include "WordCodecs.h"

#include <cstdint>

namespace WordCodec {

bool isOn(const QString& word)
{
    return word != kOff;
}
QString switchWord(bool on)
{
    return on ? kOn : kOff;
}
QString roamingWord(bool on)
{
    return on ? kRoamingOn : kOff;
}

QString numberWord(unsigned value)
{
    return (QStringLiteral("0000") + QString::number(value, 16).toUpper()).right(4);
}

QString charAt(const QString& text, int k)
{
    return (k >= 1 && k <= text.size()) ? text.mid(k - 1, 1) : QString();
}

void FormatData(QString& word)
{
    word = charAt(word, 2) + charAt(word, 4);
}

namespace {

// FormatData of a copy: the word itself stays as it is.
QString digitsOf(QString word)
{
    FormatData(word);
    return word;
}

} // namespace

CodeWords codeWords(const QString& text)
{
    if (text.isEmpty())
        return {kOff, kAbsentCode};
    const QString zero = QStringLiteral("0");
    return {zero + charAt(text, 1) + zero + charAt(text, 2), zero + charAt(text, 3) + zero + charAt(text, 4)};
}

QString codeText(const QString& first, const QString& second)
{
    if (second == kAbsentCode)
        return {};
    return digitsOf(first) + digitsOf(second);
}

std::array<QString, 3> accessCodeWords(const QString& text)
{
    const QString zero = QStringLiteral("0");
    return {QStringLiteral("000") + charAt(text, 1), zero + charAt(text, 2) + zero + charAt(text, 3),
            zero + charAt(text, 4) + zero + charAt(text, 5)};
}

QString accessCodeText(const QString& w17, const QString& w18, const QString& w19)
{
    return w17.mid(3) + digitsOf(w18) + digitsOf(w19);
}

QString groupCodeWord(const QString& text)
{
    return text.isEmpty() ? kUnusedGroup : text;
}
QString groupCodeText(const QString& word)
{
    return word == kUnusedGroup ? QString() : word;
}

std::array<QString, 4> speedDialWords(const QString& number, bool locked)
{
    if (number.isEmpty())
        return {kEmptyMemoryWord, kEmptyMemoryWord, kEmptyMemoryWord, kEmptyMemoryWord};
    QString digits = (QString(16, QLatin1Char('F')) + number).right(16);
    if (locked)
        digits = QStringLiteral("A") + digits.right(15);
    return {digits.mid(0, 4), digits.mid(4, 4), digits.mid(8, 4), digits.mid(12, 4)};
}

bool isLockMark(const QString& firstWord)
{
    return firstWord.startsWith(QLatin1Char('A'));
}
QString withoutLockMark(const QString& firstWord)
{
    return QStringLiteral("F") + firstWord.right(3);
}

QString stripFiller(const QString& word)
{
    QString w = word;
    if (w.left(4) == QLatin1String("FFFF"))
        w.clear();
    if (w.left(3) == QLatin1String("FFF"))
        w = w.right(1);
    if (w.left(2) == QLatin1String("FF"))
        w = w.right(2);
    if (w.left(1) == QLatin1String("F"))
        w = w.right(3);
    return w;
}

QString speedDialNumber(const std::array<QString, 4>& words)
{
    return stripFiller(words[0]) + stripFiller(words[1]) + stripFiller(words[2]) + stripFiller(words[3]);
}

QString optionBitsWord(const OptionBits& bits)
{
    int n = 0;
    if (bits.dtmfMic)
        n = 2;
    if (bits.voiceEncryption)
        n |= 1;
    if (bits.ani)
        n |= 4;
    return QStringLiteral("FF0") + QString::number(n);
}

OptionBits optionBits(const QString& word)
{
    int n = 0;
    if (!word.isEmpty()) {
        bool ok = false;
        n = QString(word.back()).toInt(&ok, 16);
        if (!ok)
            n = 0;
    }
    return {(n & 1) != 0, (n & 2) != 0, (n & 4) != 0};
}

const std::array<MandownEntry, 10>& mandownTable()
{
    static const std::array<MandownEntry, 10> table{{
        {"0000", 0, "Disabled"},
        {"000A", 10, "10 sec"},
        {"0014", 20, "20 sec"},
        {"001E", 30, "30 sec"},
        {"002D", 45, "45 sec"},
        {"003C", 60, "1 min"},
        {"005A", 90, "1.5 min"},
        {"0078", 120, "2 min"},
        {"00B4", 180, "3 min"},
        {"00FF", 255, "Continuous"},
    }};
    return table;
}

QStringList mandownTexts()
{
    QStringList texts;
    for (const auto& e : mandownTable())
        texts << QString::fromLatin1(e.text);
    return texts;
}

QStringList toneTexts()
{
    return {kCarrier,
            QStringLiteral("100.0hz   0"),
            QStringLiteral("107.2hz   1"),
            QStringLiteral("114.8hz   2"),
            QStringLiteral("123.0hz   3"),
            QStringLiteral("131.8hz   4"),
            QStringLiteral("141.3hz   5"),
            QStringLiteral("151.4hz   6")};
}

QStringList systemIdTexts()
{
    QStringList texts;
    for (int i = 0; i <= 31; ++i)
        texts << QString::number(i);
    return texts;
}

int systemIdValue(const QString& word)
{
    // The longest hexadecimal prefix, as a signed 16-bit number (8000..FFFF are negative).
    unsigned value = 0;
    int digits = 0;
    for (QChar c : word) {
        bool ok = false;
        const int d = QString(c).toInt(&ok, 16);
        if (!ok || digits == 4)
            break;
        value = value * 16 + static_cast<unsigned>(d);
        ++digits;
    }
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

QString systemIdWord(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return numberWord(ok ? static_cast<unsigned>(n) & 0xFFFFu : 0u);
}

bool hasMarker(const QString& word0)
{
    return word0.size() >= 2 && word0.right(2) == QLatin1String("E5");
}

bool isFiveDigitCode(const QString& code)
{
    if (code.size() != 5)
        return false;
    for (QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool isWellFormed(const QString& word)
{
    if (word.size() != 4)
        return false;
    for (QChar c : word) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

} // namespace WordCodec
