#include "Backups.h"

#include "DataFile.h"
#include "Product.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace Backups {

namespace {

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

QString kindName(Kind kind) { return kind == Kind::Read ? QStringLiteral("read") : QStringLiteral("write"); }

// When the backup was taken, from its name; invalid for a file named otherwise.
QDateTime stampInName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("_(\\d{8}-\\d{6}-\\d{3})\\.tv2$"));
    const QRegularExpressionMatch m = pattern.match(name);
    if (!m.hasMatch())
        return {};
    return QDateTime::fromString(m.captured(1), kStampFormat);
}

} // namespace

QString folder()
{
    const QString overridden = qEnvironmentVariable("VIREO_BACKUP_DIR");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/vireo/backups");
}

QString fileName(int product, Kind kind, const QDateTime& when)
{
    return QStringLiteral("%1_%2_%3.tv2")
        .arg(QString::fromLatin1(Product::info(product).shortName), kindName(kind), when.toString(kStampFormat));
}

Result save(const BoardImage& image, int product, Kind kind, const QDateTime& when)
{
    Result r;
    const QString dir = folder();
    r.path = QDir(dir).filePath(fileName(product, kind, when));
    if (!QDir().mkpath(dir)) {
        r.message = QStringLiteral("backup not saved: cannot create the folder %1").arg(QDir::toNativeSeparators(dir));
        return r;
    }
    const DataFile::SaveResult saved = DataFile::save(r.path, image);
    r.ok = saved.ok();
    r.message = r.ok ? QStringLiteral("backup saved as %1").arg(QDir::toNativeSeparators(r.path))
                     : QStringLiteral("backup not saved: %1").arg(saved.message);
    return r;
}

PruneResult prune(const QDateTime& now)
{
    PruneResult result;
    const QDateTime limit = now.addDays(-kKeepDays);
    QStringList failed;
    const QDir dir(folder());
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.tv2")}, QDir::Files)) {
        QDateTime taken = stampInName(file.fileName());
        if (!taken.isValid())
            taken = file.lastModified();
        if (taken >= limit)
            continue;
        if (QFile::remove(file.filePath()))
            ++result.removed;
        else
            failed << file.fileName();
    }
    if (!failed.isEmpty())
        result.message = QStringLiteral("old backups could not be deleted: %1").arg(failed.join(QStringLiteral(", ")));
    return result;
}

} // namespace Backups
