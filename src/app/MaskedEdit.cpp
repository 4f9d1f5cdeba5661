#include "MaskedEdit.h"

#include <QAction>
#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>

MaskedEdit::MaskedEdit(int maxLength, Editor::DisplayFormat format, QWidget* parent)
    : QLineEdit(parent), designMaxLength_(maxLength), format_(format)
{
    setMaxLength(maxLength);
}

void MaskedEdit::showText(const QString& text)
{
    const int limit = std::max(designMaxLength_, static_cast<int>(text.size()));
    if (maxLength() != limit)
        setMaxLength(limit);
    if (this->text() != text)
        setText(text);
    setModified(false); // nothing typed here since the program put the text in
}

bool MaskedEdit::event(QEvent* event)
{
    // On X11 a line edit claims Ctrl+E (end of line) and similar keys for itself;
    // the window's menu keys (Ctrl+E is Exit) must win while the user types.
    // Undo and Redo among them: the Edit menu takes back the typing in this box first.
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : window()->findChildren<QAction*>()) {
            if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                event->ignore();
                return true;
            }
        }
    }
    return QLineEdit::event(event);
}

void MaskedEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Opening a menu or switching windows leaves the box the current control.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        emit focusLost();
}
