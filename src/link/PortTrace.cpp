#include "PortTrace.h"

#include <QDateTime>

namespace {

constexpr int kHexColumnWidth = PortTrace::kBytesPerLine * 3;

} // namespace

bool PortTrace::start(const QString& path, Clock& clock)
{
    stop();
    error_.clear();
    file_.setFileName(path);
    const QByteArray header = QStringLiteral("# Vireo serial trace started %1\n")
                                  .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
                                  .toUtf8();
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)
        || file_.write(header) != header.size() || !file_.flush()) {
        error_ = QStringLiteral("The trace file \"%1\" cannot be written: %2.").arg(path, file_.errorString());
        file_.close();
        return false;
    }
    clock_ = &clock;
    startMicros_ = clock.nowMicros();
    return true;
}

void PortTrace::stop()
{
    if (file_.isOpen())
        file_.close();
}

QString PortTrace::bytesText(const QByteArray& bytes)
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

void PortTrace::record(const QString& kind, const QString& details)
{
    if (!file_.isOpen())
        return;
    const qint64 micros = clock_->nowMicros() - startMicros_;
    QString line = QStringLiteral("%1 %2").arg(micros, 10).arg(kind);
    if (!details.isEmpty())
        line += QString(6 - kind.size(), QLatin1Char(' ')) + details;
    const QByteArray bytes = line.toUtf8() + '\n';
    // Flushed line by line: a trace must hold everything up to a crash or an unplugged cable.
    if (file_.write(bytes) != bytes.size() || !file_.flush()) {
        error_ = QStringLiteral("The trace file \"%1\" stopped: %2.").arg(file_.fileName(), file_.errorString());
        file_.close();
    }
}

void PortTrace::recordBytes(const QString& kind, const QByteArray& bytes)
{
    if (!file_.isOpen())
        return; // no text made for every byte of a transfer nobody traces
    for (qsizetype at = 0; at < bytes.size(); at += kBytesPerLine)
        record(kind, bytesText(bytes.mid(at, kBytesPerLine)));
}
