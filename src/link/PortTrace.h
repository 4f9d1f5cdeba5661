#pragma once

#include "Clock.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// What passed a port, recorded to a trace file for support: when a board will not
// talk, the technician sends the trace. Every Port carries one; it is off until
// Port::startTrace (or Port::followTrace) switches it on. The trace never changes
// what the board sees, and a trace file that cannot be written never stops a
// transfer (the trace just ends; error() says why). It lives on its port's thread.
//
// The file is UTF-8 text, one event per line, each line written and flushed at once
// (a trace survives a crash up to its last line). After a first line "# ..." naming
// the start time, every line is
//
//     <microseconds since the trace started, 10 wide> <kind, 5 wide> <details>
//
// kind  details
// TX    bytes handed to the line: hex bytes, then the printable ASCII between bars
// RX    bytes read from the line: the same form
// OPEN  "ok", or "failed: <failure>"
// CLOSE (nothing)
// SET   the line settings applied, as "4800,n,8,2" ("refused" when the port said no)
// ERROR the port's failure, once each time the port goes from working to failed
//
// A failure is the reason the technician is shown, followed by the operating
// system's own words when it gave any: "<reason> (system: <text>)".
//
// Bytes are shown 16 to a line; a longer piece takes more lines with the same time.
// Example:
//     # Vireo serial trace started 2026-12-07T07:30:00Z
//              0 OPEN  ok
//           8000 TX    E5                                              |.|
//          16000 TX    2C                                              |,|
//         266000 RX    E5                                              |.|
class PortTrace {
public:
    // Bytes per trace line.
    static constexpr int kBytesPerLine = 16;

    PortTrace() = default;
    ~PortTrace() { stop(); }
    PortTrace(const PortTrace&) = delete;
    PortTrace& operator=(const PortTrace&) = delete;

    // Starts a new trace in the file at `path` (created or truncated); the times
    // count from now on `clock`, which must outlive the trace. False when the file
    // cannot be written: see error().
    bool start(const QString& path, Clock& clock);
    // Ends the trace and closes the file.
    void stop();
    bool isOn() const { return file_.isOpen(); }
    // Why the trace could not start or stopped early; empty while all is well.
    QString error() const { return error_; }

    // One line of the given kind; nothing while the trace is off.
    void record(const QString& kind, const QString& details = {});
    // TX or RX lines for the bytes, kBytesPerLine to a line.
    void recordBytes(const QString& kind, const QByteArray& bytes);

    // The details of a TX or RX line for up to kBytesPerLine bytes.
    static QString bytesText(const QByteArray& bytes);

private:
    Clock* clock_ = nullptr;
    QFile file_;
    QString error_;
    qint64 startMicros_ = 0;
};
