#pragma once

#include "Clock.h"
#include "Port.h"

#include <QFile>
#include <QString>

// A port that records everything that passes through it to a trace file, for
// support: when a board will not talk, the technician sends the trace.
//
// Use:
//     SerialPort serial(QStringLiteral("COM1"));
//     TracingPort port(serial, clock);              // the dialogue's clock
//     if (!port.startTrace(path))                   // creates or truncates the file
//         report(port.traceError());                // the port still works, untraced
//     LinkContext ctx{port, clock, cancel};         // run the dialogues over `port`
//
// Every call is passed on to the inner port unchanged; the trace never changes what
// the board sees, and a trace file that cannot be written never stops a transfer
// (the trace just ends; traceError() says why). Use it on the thread that uses the
// inner port. The inner port and the clock must outlive the TracingPort.
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
class TracingPort final : public Port {
public:
    TracingPort(Port& inner, Clock& clock);
    ~TracingPort() override;

    TracingPort(const TracingPort&) = delete;
    TracingPort& operator=(const TracingPort&) = delete;

    // Starts a new trace in the file at `path` (created or truncated); the times
    // count from now. False when the file cannot be written: see traceError().
    bool startTrace(const QString& path);
    // Ends the trace and closes the file; the port goes on untraced.
    void stopTrace();
    bool isTracing() const { return file_.isOpen(); }
    // Why the trace could not start or stopped early; empty while all is well.
    QString traceError() const { return traceError_; }

    // Bytes per trace line.
    static constexpr int kBytesPerLine = 16;

    bool open() override;
    void close() override;
    bool isOpen() const override { return inner_.isOpen(); }
    bool applySettings(const LineSettings& settings) override;
    qint64 bytesAvailable() override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;
    bool waitForReadyRead(int ms) override;
    bool hasFailed() const override { return inner_.hasFailed(); }
    QString errorMessage() const override { return inner_.errorMessage(); }
    QString systemError() const override { return inner_.systemError(); }

    // The details of a TX or RX line for up to kBytesPerLine bytes.
    static QString bytesText(const QByteArray& bytes);
    // "4800,n,8,2".
    static QString settingsText(const LineSettings& settings);

private:
    void record(const QString& kind, const QString& details = {});
    void recordBytes(const QString& kind, const QByteArray& bytes);
    // Records an ERROR line when the inner port has just gone from working to failed.
    void noteFailure();
    QString failureText() const;

    Port& inner_;
    Clock& clock_;
    QFile file_;
    QString traceError_;
    qint64 startMicros_ = 0;
    bool failureRecorded_ = false;
};
