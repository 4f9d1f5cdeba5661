#include "TracingPort.h"

#include <QDateTime>

namespace {

constexpr int kHexColumnWidth = TracingPort::kBytesPerLine * 3;

} // namespace

TracingPort::TracingPort(Port& inner, Clock& clock) : inner_(inner), clock_(clock) {}

TracingPort::~TracingPort() { stopTrace(); }

bool TracingPort::startTrace(const QString& path)
{
    stopTrace();
    traceError_.clear();
    file_.setFileName(path);
    const QByteArray header = QStringLiteral("# Vireo serial trace started %1\n")
                                  .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
                                  .toUtf8();
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)
        || file_.write(header) != header.size() || !file_.flush()) {
        traceError_ = QStringLiteral("The trace file \"%1\" cannot be written: %2.").arg(path, file_.errorString());
        file_.close();
        return false;
    }
    startMicros_ = clock_.nowMicros();
    // A port that has failed already is named at the start of the trace.
    failureRecorded_ = false;
    noteFailure();
    return true;
}

void TracingPort::stopTrace()
{
    if (file_.isOpen())
        file_.close();
}

QString TracingPort::bytesText(const QByteArray& bytes)
{
    QString hex;
    QString ascii;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += QStringLiteral("%1 ").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        ascii += (b >= 0x20 && b < 0x7F) ? QLatin1Char(c) : QLatin1Char('.');
    }
    return hex.leftJustified(kHexColumnWidth) + QLatin1Char('|') + ascii + QLatin1Char('|');
}

QString TracingPort::settingsText(const LineSettings& s)
{
    return s.text();
}

void TracingPort::record(const QString& kind, const QString& details)
{
    if (!file_.isOpen())
        return;
    const qint64 micros = clock_.nowMicros() - startMicros_;
    QString line = QStringLiteral("%1 %2").arg(micros, 10).arg(kind);
    if (!details.isEmpty())
        line += QString(6 - kind.size(), QLatin1Char(' ')) + details;
    const QByteArray bytes = line.toUtf8() + '\n';
    // Flushed line by line: a trace must hold everything up to a crash or an unplugged cable.
    if (file_.write(bytes) != bytes.size() || !file_.flush()) {
        traceError_ = QStringLiteral("The trace file \"%1\" stopped: %2.").arg(file_.fileName(), file_.errorString());
        file_.close();
    }
}

void TracingPort::recordBytes(const QString& kind, const QByteArray& bytes)
{
    for (qsizetype at = 0; at < bytes.size(); at += kBytesPerLine)
        record(kind, bytesText(bytes.mid(at, kBytesPerLine)));
}

void TracingPort::noteFailure()
{
    if (!inner_.hasFailed()) {
        failureRecorded_ = false;
        return;
    }
    if (failureRecorded_)
        return;
    failureRecorded_ = true;
    record(QStringLiteral("ERROR"), failureText());
}

QString TracingPort::failureText() const
{
    const QString system = inner_.systemError();
    return system.isEmpty() ? inner_.errorMessage()
                            : QStringLiteral("%1 (system: %2)").arg(inner_.errorMessage(), system);
}

bool TracingPort::open()
{
    const bool opened = inner_.open();
    record(QStringLiteral("OPEN"), opened ? QStringLiteral("ok") : QStringLiteral("failed: ") + failureText());
    // The reason is on the OPEN line already.
    failureRecorded_ = inner_.hasFailed();
    return opened;
}

void TracingPort::close()
{
    inner_.close();
    record(QStringLiteral("CLOSE"));
    // Closing ends a failure: the next one is traced afresh.
    noteFailure();
}

bool TracingPort::applySettings(const LineSettings& settings)
{
    const bool applied = inner_.applySettings(settings);
    record(QStringLiteral("SET"), settingsText(settings) + (applied ? QString() : QStringLiteral(" refused")));
    noteFailure();
    return applied;
}

qint64 TracingPort::bytesAvailable()
{
    const qint64 pending = inner_.bytesAvailable();
    noteFailure();
    return pending;
}

QByteArray TracingPort::readAll()
{
    const QByteArray bytes = inner_.readAll();
    recordBytes(QStringLiteral("RX"), bytes);
    noteFailure();
    return bytes;
}

bool TracingPort::write(const QByteArray& bytes)
{
    const bool written = inner_.write(bytes);
    // Bytes the port refused never reached the line: the ERROR line says why.
    if (written)
        recordBytes(QStringLiteral("TX"), bytes);
    noteFailure();
    return written;
}

bool TracingPort::waitForReadyRead(int ms)
{
    const bool arrived = inner_.waitForReadyRead(ms);
    noteFailure();
    return arrived;
}
