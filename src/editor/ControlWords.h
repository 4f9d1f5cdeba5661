#pragma once

#include "BoardImage.h"
#include "Form.h"

#include <QString>

#include <vector>

struct FormControl;

// How a control's value and its board words meet, both ways, in the encodings of
// the memory map. Each row of the control table (FormControls) points at one of
// these with its own words; UpdateGUI, ReadGUI and the box rules go through the row.
struct WordCoding {
    // The control's words into its value (a step of UpdateGUI).
    void (*show)(const FormControl& control, Form& form, BoardImage& image) = nullptr;
    // Its value into its words (a step of ReadGUI); none where another row's words carry
    // the value (a speed-dial lock travels in its number's first word).
    void (*store)(const FormControl& control, const Form& form, BoardImage& image) = nullptr;
    // A text box's text as its words (a speed dial with its row's lock), and back.
    std::vector<QString> (*encode)(const FormControl& control, const Form& form, const QString& text) = nullptr;
    QString (*decode)(const std::vector<QString>& words) = nullptr;
};

namespace ControlWords {

// Text boxes.
extern const WordCoding kCode;       // four digits in two digit-pair words
extern const WordCoding kAccessCode; // five digits in three words
extern const WordCoding kGroupCode;  // the four digits as one word
extern const WordCoding kDialNumber; // a number over four words behind its lock mark
// Check boxes.
extern const WordCoding kSwitch;    // "00FF" / "0000"; a box with a click handler raises it on a change
extern const WordCoding kRoaming;   // "0006" / "0000"
extern const WordCoding kRadioKill; // the editor only ever clears a radio kill
extern const WordCoding kLock;      // the lock mark of a speed dial's first word
extern const WordCoding kVoiceEncryptionBit, kDtmfMicBit, kAniBit; // the three bits of one word
// Lists.
extern const WordCoding kMandown, kTone, kSystemId;

} // namespace ControlWords
