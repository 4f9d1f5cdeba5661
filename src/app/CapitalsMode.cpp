#include "CapitalsMode.h"

#include "MaskedEdit.h"

#include <QApplication>
#include <QKeyEvent>

CapitalsMode::CapitalsMode(QObject* parent) : QObject(parent) {}

void CapitalsMode::install()
{
    QApplication::instance()->installEventFilter(this);
}

namespace {

bool isFirstReceiver(QObject* watched)
{
    if (!watched->isWidgetType())
        return false;
    QWidget* focus = QApplication::focusWidget();
    return focus ? watched == focus : static_cast<QWidget*>(watched)->isWindow();
}

} // namespace

bool CapitalsMode::eventFilter(QObject* watched, QEvent* event)
{
    if (forwarding_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_CapsLock) {
        // An unused key travels on to the parents and the window: count it once, where
        // it is first delivered.
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat() && isFirstReceiver(watched))
            on_ = !on_;
        return false;
    }
    if (!qobject_cast<MaskedEdit*>(watched) || key->text().size() != 1
        || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
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
    QApplication::sendEvent(watched, &replacement);
    forwarding_ = false;
    return true;
}
