#include "TagCodecs.h"

#include "MemoryMap.h"

#include <optional>

namespace AlphaTags {

namespace {

constexpr int kTagLength = MemoryMap::kTagLength;

// Vertex display characters for the board codes 0x30..0x60.
const QString kVertexDisplay = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ()+-=*/D?S:_");
// Vertex board code of each character from blank (0x20) to "Z" (0x5A); 00 where the board has none.
const QString kVertexEntry = QStringLiteral(
    "54,00,00,00,00,00,00,00,55,56,5A,57,00,58,00,5B,30,31,32,33,34,35,36,37,38,39,5F,00,00,59,00,5D,00,"
    "3A,3B,3C,3D,3E,3F,40,41,42,43,44,45,46,47,48,49,4A,4B,4C,4D,4E,4F,50,51,52,53");

// What a box shows for a code its family has no character for. One mark for both
// families: control pictures and the like are missing from the window's font.
constexpr char16_t kMark = 0x2022;
constexpr int kIcomUnknown = 0x3F; // "?" for a character without a single-byte code

bool vertexMarked(int code)
{
    return code < 0x30;
}
bool icomMarked(int code)
{
    return code <= 0x1F || code == 0x7F;
}

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
}

// A half is exactly two hexadecimal digits, or it has no code.
std::optional<int> hexByte(const QString& half)
{
    if (half.size() != 2 || !isHexDigit(half[0]) || !isHexDigit(half[1]))
        return std::nullopt;
    return half.toInt(nullptr, 16);
}

QString hex2(int code)
{
    return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

// The two halves of a word: its first two and its last two characters.
std::array<QString, 2> halves(const QString& word)
{
    return {word.left(2), word.right(2)};
}

// The code behind character position p (0..9) of a slot.
std::optional<int> codeAt(const SlotWords& words, int p)
{
    return hexByte(halves(words[p / 2])[p % 2]);
}

// Ten blanks in front, the last ten kept, letters as capitals.
QString rightAligned(const QString& text)
{
    QString t = (QString(kTagLength, QLatin1Char(' ')) + text).right(kTagLength);
    for (QChar& c : t)
        c = capital(c);
    return t;
}

QString shown(const QString& text)
{
    return text == QString(kTagLength, QLatin1Char(' ')) ? QString() : text;
}

int vertexCode(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0x20 && u <= 0x5A)
        return kVertexEntry.mid(3 * (u - 0x20), 2).toInt(nullptr, 16);
    if (u == '_')
        return 0x60; // the board's underscore comes back as it was read
    return 0x00;
}

QString vertexChar(const QString& half)
{
    const std::optional<int> code = hexByte(half);
    if (!code || *code > 0x60)
        return {};
    if (vertexMarked(*code))
        return QString(QChar(kMark));
    return kVertexDisplay.mid(*code - 0x30, 1);
}

int icomCode(QChar c)
{
    const char16_t u = c.unicode();
    return u <= 0xFF ? u : kIcomUnknown;
}

QString icomChar(const QString& half)
{
    const std::optional<int> code = hexByte(half);
    if (!code)
        return QStringLiteral("?");
    if (icomMarked(*code))
        return QString(QChar(kMark));
    return QString(QChar(char16_t(*code)));
}

SlotWords encode(const QString& text, const SlotWords& before, int (*code)(QChar), bool (*marked)(int))
{
    const QString t = rightAligned(text);
    const auto codeAtPosition = [&](int p) {
        if (t[p] == QChar(kMark)) {
            const std::optional<int> held = codeAt(before, p);
            if (held && marked(*held))
                return *held;
        }
        return code(t[p]); // the mark itself has no board code
    };
    SlotWords words;
    for (int k = 0; k < 5; ++k)
        words[k] = hex2(codeAtPosition(2 * k)) + hex2(codeAtPosition(2 * k + 1));
    return words;
}

QString decode(const SlotWords& words, QString (*character)(const QString&))
{
    QString text;
    for (const QString& word : words) {
        for (const QString& half : halves(word))
            text += character(half);
    }
    return shown(text);
}

} // namespace

QChar capital(QChar c)
{
    const QChar upper = c.toUpper();
    return (c.unicode() <= 0xFF && upper.unicode() > 0xFF) ? c : upper;
}

QString vertexDecode(const SlotWords& words)
{
    return decode(words, vertexChar);
}
SlotWords vertexEncode(const QString& text, const SlotWords& before)
{
    return encode(text, before, vertexCode, vertexMarked);
}
QString icomDecode(const SlotWords& words)
{
    return decode(words, icomChar);
}
SlotWords icomEncode(const QString& text, const SlotWords& before)
{
    return encode(text, before, icomCode, icomMarked);
}

} // namespace AlphaTags
