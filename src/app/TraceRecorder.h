#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QWidget;
class SerialTrace;

// Clone > "Record Serial Trace...": the menu item's tick is the trace's state. The
// file is chosen and tried when the item is ticked; a trace that stops during a board
// command (the disk filled, the file went away) is reported after the command, once,
// and the tick taken off.
class TraceRecorder : public QObject {
    Q_OBJECT
public:
    using PathChooser = std::function<QString()>;

    TraceRecorder(QWidget* window, QAction* menuItem, PathChooser choosePath);

    std::shared_ptr<SerialTrace> trace() const { return trace_; }
    // After a board command; nothing is said while the window is closing.
    void reportFailure(bool closing);

private:
    void toggled(bool on);

    QWidget* window_;
    QAction* menuItem_;
    PathChooser choosePath_;
    std::shared_ptr<SerialTrace> trace_;
};
