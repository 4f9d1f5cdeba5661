#pragma once

#include <QString>

#include <mutex>

// The window's serial trace: a switch flipped on the GUI thread and followed by
// the link's port on its own thread (Port::followTrace), which starts or ends the
// trace the next time it is used, and keeps it across every reopen of the port.
class SerialTrace {
public:
    // An empty path stops the trace.
    void setFile(const QString& path);
    QString file() const;
    // Why the trace could not be written; empty while all is well.
    QString error() const;
    // The port's report that the trace could not be written; the first one stands
    // until the next setFile.
    void noteError(const QString& why);

private:
    mutable std::mutex mutex_;
    QString file_;
    QString error_;
};
