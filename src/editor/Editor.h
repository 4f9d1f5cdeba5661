#pragma once

#include "BoardImage.h"
#include "Form.h"

#include <QString>
#include <QStringList>

#include <optional>

struct FormControl;

// The editor's rules as functions over the form and the board image: showing an
// image in the controls, reading the controls back, the two feature frames and the
// product's profile. The main window and the command-line tool both call these;
// neither has a second copy of any rule.
namespace Editor {

// The first ticked product item, scanning the menu from the top; none when no item is ticked.
std::optional<int> selectedProduct(const Form& form);
// The ticked serial-port item; the last one wins when several are ticked.
std::optional<int> selectedPort(const Form& form);

// Image to form. Also removes the lock marks of locked speed-dial memories from the image.
void UpdateGUI(Form& form, BoardImage& image);
// Form to image: words 0..98, the tag words (products whose family has a tag code) and word 250.
void ReadGUI(const Form& form, BoardImage& image);

// Check boxes whose change of value, by the user or by code, raises their click handler.
// Setting the value a box already has runs nothing.
void setFleetDispatch(Form& form, int value);
void setMemorySpeed(Form& form, int value);
void chkFleetDispatch_Click(Form& form);
void chkMemorySpeed_Click(Form& form);
// The frames' rows for the ticked product (with the feature on); nothing without a ticked product.
void ConfigureFleetDispatchFrame(Form& form);
void ConfigureSpeedDialFrame(Form& form);

// The window side of a product's profile: tick, short name, option controls' enabled states.
// A value that is no product's index changes nothing.
void applyProductProfile(Form& form, const QString& product);
// The product menu's effect on the window: untick all, apply the profile, re-apply both frames.
void mnuProduct_Click(Form& form, int index);

// Box rules applied when a box loses the focus.
enum class DisplayFormat { None, FourDigits, FiveDigits, NumberNoLeadingZeros, Capitals };
QString applyDisplayFormat(const QString& text, DisplayFormat format);
// The access-code box: any text that is not five characters becomes "47203". It judges
// the text as typed, so apply it before the box's "00000" format ("123" -> "47203").
QString accessCodeRule(const QString& text);
inline const QString kDefaultAccessCode = QStringLiteral("47203");

// Increment Primary Code. The box holds four digits, so 9999 stays as it is and
// the window tells the user (AtLimit).
enum class IncrementResult { Done, AtLimit };
IncrementResult incrementPrimaryCode(Form& form);

// Readies the boxes for a write or a save. A box whose text would put a word into the
// image that is not four upper-case hexadecimal digits is completed as leaving it would
// complete it (12 -> 0012, an empty access code -> 47203); each box that still would is
// described for the user, in the order of the window ("Primary Code - ESN: \"12G4\"
// must be four digits 0-9 or A-F, or empty"). A box whose words are well formed stays
// exactly as it is, so whatever a board or a file gave can always go back. Empty when
// the form can be written or saved.
QStringList completeEntries(Form& form);
// Whether a box's text puts only words of four upper-case hexadecimal digits into the
// image: the test completeEntries makes of every box.
bool givesBoardWords(const FormControl& control, const Form& form, const QString& text);
// Whether showing the words `text` gives (UpdateGUI) puts `text` itself back into the
// box, with the row's lock for a speed dial: a text a board or a file can leave in the
// box even beyond its length (a factory board's sixteen zeros in a speed dial).
bool showsItsOwnWords(const FormControl& control, const Form& form, const QString& text);

// Words 0..lastWord that are not four upper-case hexadecimal digits, each described
// ("word 179 (\"12\") is not four hexadecimal digits"): what a board must never get.
QStringList malformedWords(const BoardImage& image, int lastWord);

} // namespace Editor
