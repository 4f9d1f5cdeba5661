#pragma once

// Where each setting lives in the board's parameter memory (word indices).
namespace MemoryMap {

constexpr int kHeader = 0;     // "00E5", or "20E5" on the VT-60; low byte E5 marks valid data
constexpr int kMandown = 1;    // mandown timer, seconds (255 = continuous)
constexpr int kToneNumber = 2; // system tone number 0..6
constexpr int kToneOn = 3;     // "0000" = carrier only
constexpr int kConventional = 4;
constexpr int kFleetDispatch = 5;
constexpr int kPrimaryCode = 6;     // 6, 7: digit pairs
constexpr int kSecondaryCode = 8;   // 8, 9
constexpr int kLowerBlockCode = 10; // 10, 11
constexpr int kSystemId = 12;
constexpr int kPriority = 13;
constexpr int kEmergency = 14;
constexpr int kClearChannel = 15;
constexpr int kRadioKill = 16;  // non-zero: the radio has been killed
constexpr int kAccessCode = 17; // 17, 18, 19
constexpr int kMemorySpeed = 20;
constexpr int kRoaming = 21;        // automatic registration, written "0006" when on
constexpr int kUpperBlockCode = 22; // 22, 23
constexpr int kFixed24 = 24;        // always "0000"
constexpr int kFirstGroupCode = 25;
constexpr int kFixed41 = 41; // always "FF00"
constexpr int kFirstSpeedDial = 42;
constexpr int kOptionBits = 98; // "FF0" + bits: 1 voice encryption, 2 DTMF mic, 4 PTT ANI
constexpr int kFirstGroupTag = 99;
constexpr int kSpare179 = 179; // belongs to no setting; carried unchanged
constexpr int kFirstSpeedTag = 180;
constexpr int kEndMark = 250;      // always "FFFF"
constexpr int kLastFileWord = 250; // a data file holds words 0..250

constexpr int kGroupCount = 16;
constexpr int kSpeedDialCount = 14;
constexpr int kWordsPerSpeedDial = 4;
constexpr int kWordsPerTag = 5;
constexpr int kTagLength = 10;

// The words of one setting: the first and how many. A control of the editor's table
// takes its words from here, and so does whatever else reads a setting from an image.
struct Span {
    int first = 0;
    int count = 1;
};

constexpr int kWordsPerCode = 2; // a four-digit code: two digit-pair words
constexpr Span kPrimaryCodeWords{kPrimaryCode, kWordsPerCode};
constexpr Span kSecondaryCodeWords{kSecondaryCode, kWordsPerCode};
constexpr Span kLowerBlockCodeWords{kLowerBlockCode, kWordsPerCode};
constexpr Span kUpperBlockCodeWords{kUpperBlockCode, kWordsPerCode};
constexpr Span kAccessCodeWords{kAccessCode, 3};
constexpr Span kToneWords{kToneNumber, 2}; // number, then on/off

// Word 25 + g is group g.
constexpr int groupCodeWord(int g)
{
    return kFirstGroupCode + g;
}
// Memory s takes words 42 + 4s .. 45 + 4s.
constexpr int speedDialWord(int s)
{
    return kFirstSpeedDial + kWordsPerSpeedDial * s;
}
// Group tag g takes words 99 + 5g .. 103 + 5g.
constexpr int groupTagWord(int g)
{
    return kFirstGroupTag + kWordsPerTag * g;
}
// Speed-dial tag s takes words 180 + 5s .. 184 + 5s.
constexpr int speedTagWord(int s)
{
    return kFirstSpeedTag + kWordsPerTag * s;
}

constexpr Span groupCodeWords(int g)
{
    return {groupCodeWord(g), 1};
}
constexpr Span speedDialWords(int s)
{
    return {speedDialWord(s), kWordsPerSpeedDial};
}
constexpr Span groupTagWords(int g)
{
    return {groupTagWord(g), kWordsPerTag};
}
constexpr Span speedTagWords(int s)
{
    return {speedTagWord(s), kWordsPerTag};
}

static_assert(groupCodeWord(kGroupCount - 1) == 40);
static_assert(speedDialWord(kSpeedDialCount - 1) + 3 == 97);
static_assert(groupTagWord(kGroupCount - 1) + 4 == 178);
static_assert(speedTagWord(kSpeedDialCount - 1) + 4 == 249);

} // namespace MemoryMap
