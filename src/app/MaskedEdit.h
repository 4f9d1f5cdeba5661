#pragma once

#include "Editor.h"

#include <QLineEdit>

// The editing box of the board's fields: a line edit with a length limit and a
// display format that is applied when the user leaves the box.
class MaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    MaskedEdit(int maxLength, Editor::DisplayFormat format, QWidget* parent);

    Editor::DisplayFormat displayFormat() const { return format_; }
    int designMaxLength() const { return designMaxLength_; }

    // Shows a text from the program without cutting it to the length limit: a longer
    // text (from a file or a board) widens the limit until the next text fits again.
    // isModified() is true from the user's first keystroke until the program shows a text.
    void showText(const QString& text);

signals:
    // The focus went to another control of the program (not to a menu or another window).
    void focusLost();

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int designMaxLength_;
    Editor::DisplayFormat format_;
};
