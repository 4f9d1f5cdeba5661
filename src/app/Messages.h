#pragma once

#include "LinkMessages.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QMessageBox;
class QWidget;
namespace DataFile {
struct LoadResult;
}

// Every message box of the programmer goes through `Messages::show`, so a test can
// take the messages instead of running a modal loop. Texts keep their CR LF line
// breaks; the desktop box shows them as line breaks.
namespace Messages {

enum class Icon { Exclamation, Stop, Information };

struct Message {
    QString title;
    QString text;
    Icon icon = Icon::Exclamation;
    // A list, one item a line: the box is made wide enough that no line wraps.
    bool keepLines = false;
};

using Sink = std::function<void(QWidget* parent, const Message& message)>;

// Shows a modal box with an OK button (or hands the message to the installed sink).
void show(QWidget* parent, const Message& message);
// Installs a sink; an empty one restores the modal box. Returns the previous sink.
Sink setSink(Sink sink);

// A modal box with a button for each answer; returns the index of the button pressed.
struct Question {
    QString title;
    QString text;
    QStringList buttons;
    int defaultButton = 0; // also what Escape and the box's close button give
    Icon icon = Icon::Information;
};
using Answerer = std::function<int(QWidget* parent, const Question& question)>;
int ask(QWidget* parent, const Question& question);
// Installs an answerer (tests answer for the user); an empty one restores the modal box.
Answerer setAnswerer(Answerer answerer);

// The boxes as the desktop shows them (for the modal loop, and for pictures of them).
// A question's buttons come in the order of its list.
std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const Message& message);
std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const Question& question);

inline const QString kErrorTitle = QStringLiteral("Error Message");
inline const QString kCommTitle = LinkMessages::kTitle;

// "Error Message" boxes, exclamation icon.
void errorMessage(QWidget* parent, const QString& text);
void invalidTervaloFile(QWidget* parent);
// A file Open or Compare refused (no marker: "Invalid Tervalo File"); true when it was taken.
bool reportOpen(QWidget* parent, const DataFile::LoadResult& result);
void transferCancelled(QWidget* parent);

// "Communications Error" boxes, stop icon. A reason, when given, follows as a
// paragraph of its own, so the technician sees which port failed and why.
void commLinkError(QWidget* parent, const QString& reason = {});
void invalidPassword(QWidget* parent);
void invalidSerialPort(QWidget* parent, const QString& reason = {});
// A second board command while one still runs: not an error, an information.
void linkBusy(QWidget* parent);
inline const QString kBusyTitle = QStringLiteral("Board Transfer in Progress");
inline const QString kLinkBusy =
    QStringLiteral("A board transfer is in progress. Wait for it to finish or press Cancel.");

// "Error Message": what was not done, then the entries that stopped it, one a line.
void entriesRefused(QWidget* parent, const QString& what, const QStringList& entries);

} // namespace Messages
