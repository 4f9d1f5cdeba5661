#include "MaskedEdit.h"

#include <QFocusEvent>

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
}

void MaskedEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Opening a menu or switching windows leaves the box the current control.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        emit focusLost();
}
