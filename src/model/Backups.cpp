#include "Backups.h"

#include "DataFile.h"
#include "MemoryMap.h"
#include "Product.h"
#include "WordCodecs.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace Backups {

namespace {

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

// When the backup was taken, from its name; invalid for a file named otherwise.
QDateTime stampInName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("_(\\d{8}-\\d{6}-\\d{3})\\.tv2$"));
    const QRegularExpressionMatch m = pattern.match(name);
    if (!m.hasMatch())
        return {};
    return QDateTime::fromString(m.captured(1), kStampFormat);
}

// A backup's name taken apart; nothing for a file named otherwise.
std::optional<Entry> entryNamed(const QFileInfo& file)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(.+)_(read|write|before-write)_(\\d{8}-\\d{6}-\\d{3})\\.tv2$"));
    const QRegularExpressionMatch m = pattern.match(file.fileName());
    if (!m.hasMatch())
        return std::nullopt;
    const auto product = std::find_if(Product::kAll.begin(), Product::kAll.end(), [&](const ProductInfo& p) {
        return QLatin1String(p.shortName) == m.captured(1);
    });
    if (product == Product::kAll.end())
        return std::nullopt;
    Entry e;
    e.path = file.filePath();
    e.taken = QDateTime::fromString(m.captured(3), kStampFormat);
    e.product = product->index;
    for (const Kind kind : {Kind::Read, Kind::Write, Kind::BeforeWrite}) {
        if (kindName(kind) == m.captured(2))
            e.kind = kind;
    }
    return e;
}

QString primaryCodeIn(const QString& path)
{
    BoardImage image;
    if (!DataFile::load(path, image, DataFile::MarkerRule::NotChecked).ok())
        return {};
    // The words and the digit-pair code the window's Primary Code box shows.
    const MemoryMap::Span code = MemoryMap::kPrimaryCodeWords;
    return WordCodec::codeText(image.word(code.first), image.word(code.first + 1));
}

} // namespace

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Read: return QStringLiteral("read");
    case Kind::Write: return QStringLiteral("write");
    case Kind::BeforeWrite: break;
    }
    return QStringLiteral("before-write");
}

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

std::optional<Entry> named(const QString& path)
{
    std::optional<Entry> e = entryNamed(QFileInfo(path));
    if (!e || !e->taken.isValid())
        return std::nullopt;
    return e;
}

std::vector<Entry> list(std::optional<int> product)
{
    std::vector<Entry> entries;
    const QDir dir(folder());
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.tv2")}, QDir::Files)) {
        std::optional<Entry> e = named(file.filePath());
        if (!e || (product && e->product != *product))
            continue;
        e->primaryCode = primaryCodeIn(e->path);
        entries.push_back(std::move(*e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.taken != b.taken ? a.taken > b.taken : a.path > b.path; });
    return entries;
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
