#pragma once

#include <QObject>

// The programmer's own Caps Lock: while it is on, a letter typed into one of the
// board's editing boxes arrives as a capital (with Shift: in lower case). The Caps
// Lock key toggles it. Only the program's MaskedEdit boxes are affected; file
// dialogs and the rest of the desktop keep their own keyboard state.
class CapitalsMode : public QObject {
    Q_OBJECT
public:
    explicit CapitalsMode(QObject* parent);

    bool isOn() const { return on_; }
    void setOn(bool on) { on_ = on; }

    // Installs the filter on the application.
    void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool on_ = false;
    bool forwarding_ = false;
};
