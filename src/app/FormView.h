#pragma once

#include "Form.h"

#include <QObject>

#include <functional>
#include <vector>

class MaskedEdit;
class QWidget;
struct FormControl;

// The main window's editing controls as a view of a Form. show() copies the form into
// the widgets; the user's edits (textEdited, clicked, activated) copy back into the
// form and run the editor's rule for that control, one direction at a time, so no
// signal loops. The widgets carry the control names of the editor's table.
class FormView : public QObject {
    Q_OBJECT
public:
    // `form` must outlive the view; `client` holds the widgets.
    FormView(QWidget* client, Form& form);

    void show();
    // The box being typed in is left, as a Tab would leave it (before a write or a save).
    void completeTyping();

private:
    void bindText(MaskedEdit* edit, const FormControl& control);
    void bindCheck(QWidget* widget, const FormControl& control);
    void bindCombo(QWidget* widget, const FormControl& control);
    void bindLabel(QWidget* widget, const FormControl& control);
    void boxLeft(MaskedEdit* edit, const FormControl& control);

    QWidget* client_;
    Form& form_;
    std::vector<std::function<void()>> shows_; // form -> widget, one per control
};
