#include "Port.h"

#include "SerialTrace.h"

void Port::setPortName(const QString&, const PortMap&) {}

bool Port::startTrace(const QString& path, Clock& clock)
{
    if (!trace_.start(path, clock))
        return false;
    // A port that has failed already is named at the start of the trace.
    failureRecorded_ = false;
    noteFailure();
    return true;
}

void Port::stopTrace()
{
    trace_.stop();
}

void Port::followTrace(std::shared_ptr<SerialTrace> serialTrace, Clock& clock)
{
    switch_ = std::move(serialTrace);
    switchClock_ = &clock;
}

void Port::catchUpWithSwitch()
{
    if (!switch_)
        return;
    const QString wanted = switch_->file();
    if (wanted != followedFile_) {
        stopTrace();
        followedFile_ = wanted;
        if (!wanted.isEmpty())
            startTrace(wanted, *switchClock_);
    }
    // A trace that could not start or stopped early (disk full) is told to the window.
    if (!wanted.isEmpty() && !isTracing())
        switch_->noteError(traceError());
}

void Port::noteFailure()
{
    if (!hasFailed()) {
        failureRecorded_ = false;
        return;
    }
    if (failureRecorded_)
        return;
    failureRecorded_ = true;
    trace_.record(QStringLiteral("ERROR"), failureText());
}

QString Port::failureText() const
{
    const QString system = systemError();
    return system.isEmpty() ? errorMessage() : QStringLiteral("%1 (system: %2)").arg(errorMessage(), system);
}

bool Port::open()
{
    catchUpWithSwitch();
    const bool opened = doOpen();
    trace_.record(QStringLiteral("OPEN"), opened ? QStringLiteral("ok") : QStringLiteral("failed: ") + failureText());
    // The reason is on the OPEN line already.
    failureRecorded_ = hasFailed();
    return opened;
}

void Port::close()
{
    catchUpWithSwitch();
    doClose();
    trace_.record(QStringLiteral("CLOSE"));
    // Closing ends a failure: the next one is traced afresh.
    noteFailure();
}

bool Port::applySettings(const LineSettings& settings)
{
    catchUpWithSwitch();
    const bool applied = doApplySettings(settings);
    trace_.record(QStringLiteral("SET"), settings.text() + (applied ? QString() : QStringLiteral(" refused")));
    noteFailure();
    return applied;
}

qint64 Port::bytesAvailable()
{
    catchUpWithSwitch();
    const qint64 pending = doBytesAvailable();
    noteFailure();
    return pending;
}

QByteArray Port::readAll()
{
    catchUpWithSwitch();
    const QByteArray bytes = doReadAll();
    trace_.recordBytes(QStringLiteral("RX"), bytes);
    noteFailure();
    return bytes;
}

QByteArray Port::read(qint64 maxBytes)
{
    catchUpWithSwitch();
    const QByteArray bytes = doRead(maxBytes);
    trace_.recordBytes(QStringLiteral("RX"), bytes);
    noteFailure();
    return bytes;
}

bool Port::write(const QByteArray& bytes)
{
    catchUpWithSwitch();
    const bool written = doWrite(bytes);
    // Bytes the port refused never reached the line: the ERROR line says why.
    if (written)
        trace_.recordBytes(QStringLiteral("TX"), bytes);
    noteFailure();
    return written;
}

bool Port::waitForReadyRead(int ms)
{
    catchUpWithSwitch();
    const bool arrived = doWaitForReadyRead(ms);
    noteFailure();
    return arrived;
}

bool openWorkingPort(Port& port, const LineSettings& settings, QString* why)
{
    if (port.isOpen() && !port.hasFailed())
        return true;
    if (port.isOpen())
        port.close();
    if (port.applySettings(settings) && port.open())
        return true;
    *why = port.errorMessage();
    port.close();
    return false;
}

void closeFailedPort(Port& port)
{
    if (port.hasFailed())
        port.close();
}
