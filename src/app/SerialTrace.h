#pragma once

#include "LinkWorker.h"

#include <QString>

#include <memory>
#include <mutex>

// The window's serial trace: a switch the window flips and a port factory for the
// LinkWorker whose ports record through one TracingPort for as long as the switch
// is on, across every reopen of the port (each port command makes a new port).
// The window sets the file; the link's thread starts or ends the trace the next time
// it touches the port, since a TracingPort lives on that thread.
class SerialTrace {
public:
    SerialTrace();
    ~SerialTrace();
    SerialTrace(const SerialTrace&) = delete;
    SerialTrace& operator=(const SerialTrace&) = delete;

    // An empty path stops the trace.
    void setFile(const QString& path);
    QString file() const;
    // Why the trace could not be written; empty while all is well.
    QString error() const;

    // Makes a SerialPort for the name, traced while a file is set.
    static LinkWorker::PortFactory factory(std::shared_ptr<SerialTrace> trace);

    struct State; // on the link's thread

private:
    mutable std::mutex mutex_;
    QString file_;
    QString error_;
    std::unique_ptr<State> state_;
    friend class TracedSerialPort;
};
