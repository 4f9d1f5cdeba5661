#include "SerialTrace.h"

#include "SerialPort.h"
#include "TracingPort.h"

namespace {

// Passes every call on to whichever serial port is current, so one TracingPort
// outlives the ports the link makes.
class CurrentPort final : public Port {
public:
    Port* target = nullptr;

    bool open() override { return target && target->open(); }
    void close() override
    {
        if (target)
            target->close();
    }
    bool isOpen() const override { return target && target->isOpen(); }
    bool applySettings(const LineSettings& s) override { return target && target->applySettings(s); }
    qint64 bytesAvailable() override { return target ? target->bytesAvailable() : 0; }
    QByteArray readAll() override { return target ? target->readAll() : QByteArray(); }
    bool write(const QByteArray& bytes) override { return target && target->write(bytes); }
    bool waitForReadyRead(int ms) override { return target && target->waitForReadyRead(ms); }
    bool hasFailed() const override { return !target || target->hasFailed(); }
    QString errorMessage() const override { return target ? target->errorMessage() : QString(); }
    QString systemError() const override { return target ? target->systemError() : QString(); }
};

} // namespace

struct SerialTrace::State {
    SteadyClock clock;
    CurrentPort current;
    TracingPort tracing{current, clock};
    QString tracingFile; // the file the TracingPort writes, empty when none
};

// The port the link gets: its own SerialPort, seen through the shared TracingPort.
class TracedSerialPort final : public Port {
public:
    TracedSerialPort(std::shared_ptr<SerialTrace> trace, const QString& name)
        : trace_(std::move(trace)), serial_(name)
    {
        state().current.target = &serial_;
    }
    ~TracedSerialPort() override { state().current.target = nullptr; }

    bool open() override { return traced().open(); }
    void close() override { traced().close(); }
    bool isOpen() const override { return serial_.isOpen(); }
    bool applySettings(const LineSettings& s) override { return traced().applySettings(s); }
    qint64 bytesAvailable() override { return traced().bytesAvailable(); }
    QByteArray readAll() override { return traced().readAll(); }
    bool write(const QByteArray& bytes) override { return traced().write(bytes); }
    bool waitForReadyRead(int ms) override { return traced().waitForReadyRead(ms); }
    bool hasFailed() const override { return serial_.hasFailed(); }
    QString errorMessage() const override { return serial_.errorMessage(); }
    QString systemError() const override { return serial_.systemError(); }

private:
    SerialTrace::State& state() const
    {
        std::lock_guard lock(trace_->mutex_);
        if (!trace_->state_)
            trace_->state_ = std::make_unique<SerialTrace::State>();
        return *trace_->state_;
    }

    // Starts or ends the trace as the window last asked.
    TracingPort& traced()
    {
        SerialTrace::State& s = state();
        const QString wanted = trace_->file();
        if (wanted != s.tracingFile) {
            s.tracing.stopTrace();
            s.tracingFile = wanted;
            if (!wanted.isEmpty())
                s.tracing.startTrace(wanted);
        }
        // A trace that could not start or stopped early (disk full) is told to the window.
        if (!wanted.isEmpty() && !s.tracing.isTracing()) {
            std::lock_guard lock(trace_->mutex_);
            if (trace_->error_.isEmpty())
                trace_->error_ = s.tracing.traceError();
        }
        return s.tracing;
    }

    std::shared_ptr<SerialTrace> trace_;
    SerialPort serial_;
};

SerialTrace::SerialTrace() = default;
SerialTrace::~SerialTrace() = default;

void SerialTrace::setFile(const QString& path)
{
    std::lock_guard lock(mutex_);
    file_ = path;
    error_.clear();
}

QString SerialTrace::file() const
{
    std::lock_guard lock(mutex_);
    return file_;
}

QString SerialTrace::error() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

LinkWorker::PortFactory SerialTrace::factory(std::shared_ptr<SerialTrace> trace)
{
    return [trace](const QString& name) -> std::unique_ptr<Port> {
        return std::make_unique<TracedSerialPort>(trace, name);
    };
}
