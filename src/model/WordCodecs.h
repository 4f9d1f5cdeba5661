#pragma once

#include <QString>
#include <QStringList>

#include <array>

// How settings are held inside board words, both directions. Reading is lenient:
// short or malformed words give whatever the characters present yield, as the
// board image may hold any text. Writing a complete entry always gives four
// upper-case hexadecimal digits.
namespace WordCodec {

inline const QString kOff = QStringLiteral("0000");
inline const QString kOn = QStringLiteral("00FF");
inline const QString kRoamingOn = QStringLiteral("0006");
inline const QString kAbsentCode = QStringLiteral("000F"); // second word of an absent four-digit code
inline const QString kUnusedGroup = QStringLiteral("000F");
inline const QString kEmptyMemoryWord = QStringLiteral("FFFF");
inline const QString kFixed24 = QStringLiteral("0000");
inline const QString kFixed41 = QStringLiteral("FF00");
inline const QString kEndMark = QStringLiteral("FFFF");

// Switch word: "0000" is off, anything else on.
bool isOn(const QString& word);
QString switchWord(bool on);  // "00FF" / "0000"
QString roamingWord(bool on); // "0006" / "0000"

// Number word: four upper-case hex digits, leading zeros, the last four kept.
QString numberWord(unsigned value);

// Character k (1-based) of a text, or nothing beyond its end.
QString charAt(const QString& text, int k);

// Digit pair: "0" d1 "0" d2. FormatData replaces the word by its 2nd and 4th characters.
void FormatData(QString& word);

// A four-digit code in two digit-pair words; an empty text is the absent code.
struct CodeWords {
    QString first, second;
};
CodeWords codeWords(const QString& text);
QString codeText(const QString& first, const QString& second);

// The five-digit access code in three words: "000" d1, "0" d2 "0" d3, "0" d4 "0" d5.
std::array<QString, 3> accessCodeWords(const QString& text);
QString accessCodeText(const QString& w17, const QString& w18, const QString& w19);

// Group code: the four digits as they are; "000F" for a group not in use.
QString groupCodeWord(const QString& text);
QString groupCodeText(const QString& word);

// Speed-dial memory: 16 hex digits over four words; digit 1 is the lock mark
// ("A" locked, "F" unlocked), digits 2..16 the number right-aligned behind F filler.
std::array<QString, 4> speedDialWords(const QString& number, bool locked);
bool isLockMark(const QString& firstWord);         // first character is "A"
QString withoutLockMark(const QString& firstWord); // "F" + last three characters
QString stripFiller(const QString& word);          // one word's digits without F filler
QString speedDialNumber(const std::array<QString, 4>& words);

// Option bits of word 98.
struct OptionBits {
    bool voiceEncryption = false; // 1
    bool dtmfMic = false;         // 2
    bool ani = false;             // 4
};
QString optionBitsWord(const OptionBits& bits); // "FF0" + digit
OptionBits optionBits(const QString& word);     // only the last character counts

// Mandown timer (word 1): the ten values the editor writes, in list order.
struct MandownEntry {
    const char* word;
    int seconds;
    const char* text;
};
const std::array<MandownEntry, 10>& mandownTable();
QStringList mandownTexts();

// System tone (words 2, 3): "Carrier" then tones 0..6, in list order.
QStringList toneTexts();
inline const QString kCarrier = QStringLiteral("Carrier");

// System ID (word 12): the list offers 0..31.
QStringList systemIdTexts();
int systemIdValue(const QString& word); // signed 16-bit reading; empty or non-hex start reads 0
QString systemIdWord(const QString& text);

// Header (word 0) and its validity marker.
bool hasMarker(const QString& word0); // last two characters exactly "E5"

// Four upper-case hexadecimal digits, as the editor writes every word.
bool isWellFormed(const QString& word);

// Five decimal digits: an access code as the board and vireo's --code take it.
bool isFiveDigitCode(const QString& code);

} // namespace WordCodec
