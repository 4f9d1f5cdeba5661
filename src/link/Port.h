#pragma once

#include "Clock.h"
#include "LineSettings.h"
#include "PortMap.h"
#include "PortTrace.h"

#include <QByteArray>
#include <QString>

#include <memory>

class SerialTrace;

// The serial port as the board dialogues use it. Every byte 0x00..0xFF travels
// unchanged both ways. An operation on a port that is closed or has failed
// (device gone, peer vanished) leaves it failed: hasFailed() then stays true and
// errorMessage() keeps the reason of the first failure, until close() or the next
// successful open(); bytes that arrived before the failure may still be read.
// A failure belongs to the job it happened in: the job closes
// the port when it ends, and the next operation on the closed port fails afresh,
// saying the port is not open.
//
// Every port can record what passes it to a trace file (PortTrace.h): the public
// operations trace themselves and hand the work to the protected ones a port
// implements. Use a port, and its trace, on one thread.
class Port {
public:
    Port() = default;
    virtual ~Port() = default;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // Opens the port; on failure errorMessage() gives a reason a technician can act on.
    bool open();
    void close();
    virtual bool isOpen() const = 0;
    // Only applied while closed, as the board families change line settings.
    bool applySettings(const LineSettings& settings);
    // Chooses the port: COM1..COM4, as `map` says, or a device path; only while
    // closed. A port that stands for no device (a test's board) has no name.
    virtual void setPortName(const QString& portName, const PortMap& map = {});

    // Received bytes not yet read.
    qint64 bytesAvailable();
    // Every received byte not yet read, in one piece; afterwards none is pending.
    QByteArray readAll();
    // At most `maxBytes` of the received bytes not yet read, oldest first; the rest
    // stay pending for the next read.
    QByteArray read(qint64 maxBytes);
    // Hands the bytes over to the line, in order.
    bool write(const QByteArray& bytes);
    // Blocks until new bytes arrive or ms pass; true when new bytes arrived.
    // Only new bytes wake it: look at bytesAvailable() first.
    bool waitForReadyRead(int ms);

    virtual bool hasFailed() const = 0;
    // In the technician's words, starting with the device.
    virtual QString errorMessage() const = 0;
    // The operating system's own words for the same failure, for the serial trace
    // only; empty when it said nothing.
    virtual QString systemError() const { return {}; }

    // Starts a new trace in the file at `path` (created or truncated), timed on
    // `clock` from now. False when the file cannot be written: see traceError();
    // the port works on untraced.
    bool startTrace(const QString& path, Clock& clock);
    // Ends the trace and closes the file; the port goes on untraced.
    void stopTrace();
    bool isTracing() const { return trace_.isOn(); }
    // Why the trace could not start or stopped early; empty while all is well.
    QString traceError() const { return trace_.error(); }
    // From now on the trace follows `serialTrace`, set on another thread: before
    // each operation the port starts or ends it as the switch says, and tells the
    // switch when its file cannot be written.
    void followTrace(std::shared_ptr<SerialTrace> serialTrace, Clock& clock);

protected:
    virtual bool doOpen() = 0;
    virtual void doClose() = 0;
    virtual bool doApplySettings(const LineSettings& settings) = 0;
    virtual qint64 doBytesAvailable() = 0;
    virtual QByteArray doReadAll() = 0;
    virtual QByteArray doRead(qint64 maxBytes) = 0;
    virtual bool doWrite(const QByteArray& bytes) = 0;
    virtual bool doWaitForReadyRead(int ms) = 0;

    // The first maxBytes of what a port has received, taken from it; the rest stays.
    static QByteArray takeFront(QByteArray& received, qint64 maxBytes)
    {
        QByteArray taken = received.left(maxBytes);
        received.remove(0, taken.size());
        return taken;
    }

private:
    // Starts or ends the trace as the followed switch says.
    void catchUpWithSwitch();
    // Records an ERROR line when the port has just gone from working to failed.
    void noteFailure();
    QString failureText() const;

    PortTrace trace_;
    bool failureRecorded_ = false;
    std::shared_ptr<SerialTrace> switch_;
    Clock* switchClock_ = nullptr;
    QString followedFile_; // the file the trace writes for the switch, empty when none
};

// The one policy for the port around a job, for the window's link thread and vireo
// alike. Opens the port with `settings` unless it is open and working: a port that
// failed is closed and opened afresh (an adapter plugged in again works again), and
// one that does not open is left closed, so the next link check finds it closed and
// says so instead of repeating this reason. False, with the reason, when it did not open.
bool openWorkingPort(Port& port, const LineSettings& settings, QString* why);
// After a job: a port that failed is closed, so the next job can open it again.
void closeFailedPort(Port& port);
