#pragma once

#include "ControlWords.h"
#include "Editor.h"
#include "Form.h"

#include <QString>

#include <functional>
#include <variant>
#include <vector>

// Every control of the main window that holds a value or whose enabled state the
// frames and the product change, by its control name ("GroupCode(3)"), in the
// order of the window, each declared once: its caption, its box's length and
// display format, what its text must be to become words, the image words it shows
// with how they encode and decode, and the click handler its value change raises. The window builds its boxes from
// this table (its layout adds only places and sizes); Compare, verify and the
// command-line tool find controls and their words through it.
enum class ControlKind { Text, Combo, Check, Label };

// How a text box's text becomes board words, which decides what the box must hold
// before a write or a save: four-digit codes in two digit-pair words, the access code
// in three, a group code as its word, a speed-dial number in four words behind its
// lock mark. Alpha tags are encoded by the family's tag code, which always gives
// four hexadecimal digits.
enum class EntryRule { None, CodeDigits, AccessCode, GroupCode, DialNumber };

using ControlRef = std::variant<TextBox*, ComboBox*, CheckBox*, Label*>;

struct FormControl {
    QString name;    // control name: "PrimaryCode", "chkLock(0)"
    QString caption; // for people: "Primary Code - ESN", "Group Codes, row 3"
    QString frame;   // the frame it sits in; empty for the top strip
    ControlKind kind = ControlKind::Text;
    int maxLength = 0; // text boxes
    Editor::DisplayFormat format = Editor::DisplayFormat::None;
    EntryRule entry = EntryRule::None;
    int row = -1; // row of a group or speed-dial line; -1 elsewhere
    std::function<ControlRef(Form&)> access;
    std::vector<int> words; // the image words its value comes from; none for a label
    // How those words become its value and back; none for a label and an alpha tag (the
    // family's tag code takes the tags).
    const WordCoding* coding = nullptr;
    void (*click)(Form&) = nullptr; // run when a check box's value changes (the two frame switches)

    TextBox* textBox(Form& form) const { return std::get<TextBox*>(access(form)); }
    const TextBox* textBox(const Form& form) const { return textBox(const_cast<Form&>(form)); }
    ComboBox* comboBox(Form& form) const { return std::get<ComboBox*>(access(form)); }
    const ComboBox* comboBox(const Form& form) const { return comboBox(const_cast<Form&>(form)); }
    CheckBox* checkBox(Form& form) const { return std::get<CheckBox*>(access(form)); }
    const CheckBox* checkBox(const Form& form) const { return checkBox(const_cast<Form&>(form)); }

    bool isEditing() const { return kind != ControlKind::Label; }
    bool enabled(const Form& form) const;
    // The text a box holds (no display format), the selected item's text, "0"/"1" for a check box,
    // a label's caption.
    QString value(const Form& form) const;
};

namespace FormControls {

// All controls, in the order of the window: top strip, paging codes, options,
// group codes, speed dial.
const std::vector<FormControl>& all();
// The control of that name, or nullptr.
const FormControl* find(const QString& name);
// The row of a control of `form`, given the control itself (form.PrimaryCode,
// form.chkLock[3]): how the editor's rules reach a row without naming it twice.
const FormControl& rowOf(const Form& form, const void* control);

// A user's entry into a control, as the window would take it: a text typed into a
// box and the box left (display format, access-code rule), a list item picked by its
// exact text, a check box set to 0 or 1 (raising its click handler). Refused, with the
// reason, when the control is disabled or would not take the value; the form is then
// unchanged.
struct EntryResult {
    bool ok = true;
    QString message;
};
EntryResult enter(Form& form, const FormControl& control, const QString& value);

// The box-left rule: what a text box holds once the user leaves it. The access-code
// box first puts the default code back for a text that is not five characters, then
// every box applies its display format.
QString leftText(const FormControl& control, const QString& typed);

// A check box's new value; a change raises its click handler (the frame switches
// reconfigure their frames), setting the value it already has runs nothing.
void setCheck(Form& form, const FormControl& control, int value);

} // namespace FormControls
