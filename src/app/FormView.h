#pragma once

#include "Form.h"
#include "FormControls.h"

#include <QObject>

#include <functional>
#include <utility>
#include <vector>

class MaskedEdit;
class QWidget;
struct FormControl;
struct MainWindowControls;

// The main window's editing controls as a view of a Form. show() copies the form into
// the widgets; the user's edits (textEdited, clicked, activated) copy back into the
// form and run the editor's rule for that control, one direction at a time, so no
// signal loops. The layout hands the view each row of the editor's table with its widget.
class FormView : public QObject {
    Q_OBJECT
public:
    // `form` must outlive the view; `client` holds the widgets `controls` names.
    FormView(QWidget* client, Form& form, const MainWindowControls& controls);

    void show();
    // The box being typed in is left, as a Tab would leave it (before a write or a save).
    void completeTyping();

signals:
    // A user's edit of `control` is about to change the form: each keystroke in a box,
    // its leaving, a click on a check box, a choice from a list.
    void aboutToEdit(const FormControl& control);
    // The form took a keystroke (the box's text so far).
    void typed();
    // A user's edit is complete: a box left, a check box clicked, a list item chosen.
    void edited(const FormControl& control);
    // The form was shown in the widgets again.
    void shown();

private:
    void bindText(MaskedEdit* edit, const FormControl& control);
    void bindCheck(QWidget* widget, const FormControl& control);
    void bindCombo(QWidget* widget, const FormControl& control);
    void bindLabel(QWidget* widget, const FormControl& control);
    void boxLeft(MaskedEdit* edit, const FormControl& control);

    Form& form_;
    std::vector<std::pair<MaskedEdit*, const FormControl*>> edits_; // the text boxes, for completeTyping
    std::vector<std::function<void()>> shows_;                      // form -> widget, one per control
};
