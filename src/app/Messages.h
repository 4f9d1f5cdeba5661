#pragma once

#include "LinkMessages.h"

#include <QString>

#include <functional>

class QWidget;

// Every message box of the programmer goes through `Messages::show`, so a test can
// take the messages instead of running a modal loop. Texts keep their CR LF line
// breaks; the desktop box shows them as line breaks.
namespace Messages {

enum class Icon { Exclamation, Stop, Information };

struct Message {
    QString title;
    QString text;
    Icon icon = Icon::Exclamation;
};

using Sink = std::function<void(QWidget* parent, const Message& message)>;

// Shows a modal box with an OK button (or hands the message to the installed sink).
void show(QWidget* parent, const Message& message);
// Installs a sink; an empty one restores the modal box. Returns the previous sink.
Sink setSink(Sink sink);

inline const QString kErrorTitle = QStringLiteral("Error Message");
inline const QString kCommTitle = LinkMessages::kTitle;

// "Error Message" boxes, exclamation icon.
void errorMessage(QWidget* parent, const QString& text);
void invalidTervaloFile(QWidget* parent);
void transferCancelled(QWidget* parent);

// "Communications Error" boxes, stop icon. A reason, when given, follows as a
// paragraph of its own, so the technician sees which port failed and why.
void commLinkError(QWidget* parent, const QString& reason = {});
void invalidPassword(QWidget* parent);
void invalidSerialPort(QWidget* parent, const QString& reason = {});
// A second board command while one still runs.
void linkBusy(QWidget* parent);
inline const QString kLinkBusy =
    QStringLiteral("A board transfer is in progress. Wait for it to finish or press Cancel.");

// Lines joined as the board programmer's messages join them.
QString lines(std::initializer_list<QString> parts);

} // namespace Messages
