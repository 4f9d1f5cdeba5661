#include "CapitalsMode.h"

#include "MaskedEdit.h"

#include <QCoreApplication>
#include <QKeyEvent>

CapitalsMode::CapitalsMode(QObject* parent) : QObject(parent) {}

void CapitalsMode::install()
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool CapitalsMode::eventFilter(QObject* watched, QEvent* event)
{
    if (forwarding_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_CapsLock) {
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
            on_ = !on_;
        return false;
    }
    if (!qobject_cast<MaskedEdit*>(watched) || key->text().size() != 1)
        return false;
    const QChar typed = key->text().front();
    if (!typed.isLetter() || typed.toUpper() == typed.toLower())
        return false;

    // The desktop's Caps Lock is ignored here: Shift alone gives the case, and the
    // program's mode inverts it.
    const bool shifted = key->modifiers() & Qt::ShiftModifier;
    const bool capital = shifted != on_;
    const QChar wanted = capital ? typed.toUpper() : typed.toLower();
    if (wanted == typed)
        return false;

    QKeyEvent replacement(key->type(), key->key(), key->modifiers(), QString(wanted), key->isAutoRepeat(),
                          key->count());
    forwarding_ = true;
    QCoreApplication::sendEvent(watched, &replacement);
    forwarding_ = false;
    return true;
}
