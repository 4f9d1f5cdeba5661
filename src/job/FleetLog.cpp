#include "FleetLog.h"

#include "Csv.h"
#include "DataFile.h"

#include <QCryptographicHash>
#include <QDateTime>

QString FleetLog::open(const QString& path, RunInfo run)
{
    run_ = std::move(run);
    file_.close(); // the window loads its radios again with the same or another log
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return QStringLiteral("cannot write the log \"%1\": %2").arg(path, file_.errorString());
    if (file_.size() == 0)
        return writeLine(kHeader.split(QLatin1Char(',')));
    return {};
}

QString FleetLog::add(const Radio& radio)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
    return writeLine({time, radio.primaryCode, radio.outcome, radio.unit, radio.verify, radio.backup, run_.technician,
                      QStringLiteral(VIREO_VERSION), run_.templateHash});
}

QString FleetLog::writeLine(const QStringList& fields)
{
    QByteArray bytes = Csv::format({fields});
    bytes.chop(2); // the log keeps one line end, LF, as it always had
    bytes += '\n';
    if (file_.write(bytes) != bytes.size() || !file_.flush())
        return QStringLiteral("the log \"%1\" cannot be written: %2").arg(file_.fileName(), file_.errorString());
    return {};
}

QString FleetLog::templateHash(EditorSession configuration)
{
    const QByteArray saved = DataFile::serialize(configuration.outgoing().image);
    return QString::fromLatin1(QCryptographicHash::hash(saved, QCryptographicHash::Sha256).toHex().left(8)).toUpper();
}

QString FleetLog::outcomeOf(const BoardJob::Result& result)
{
    using BoardJob::End;
    switch (result.end) {
    case End::Done: return result.verified ? QStringLiteral("written and verified") : QStringLiteral("written");
    case End::NoAnswer:
    case End::PortFailed: return QStringLiteral("failed: no answer from the board, or the link failed");
    case End::CodeRefused: return QStringLiteral("failed: access code refused");
    case End::Cancelled: return QStringLiteral("cancelled");
    case End::TimedOut: return QStringLiteral("failed: timed out");
    case End::PortUnavailable: return QStringLiteral("failed: the serial port cannot be opened");
    case End::VerifyFailed: return QStringLiteral("failed: verify found differences");
    case End::BackupFailed: return QStringLiteral("failed: the board could not be backed up first");
    case End::NotAConfiguration: return QStringLiteral("failed: the board's answer is not a configuration");
    }
    return QStringLiteral("failed");
}

QString FleetLog::verifyText(const BoardJob::Result& result)
{
    if (!result.verified)
        return QStringLiteral("not run");
    return result.end == BoardJob::End::Done ? QStringLiteral("passed") : QStringLiteral("FAILED");
}

QString FleetLog::backupOf(const BoardJob::Result& result)
{
    return result.backup && result.backup->ok ? result.backup->path : QString();
}
