#pragma once

#include "BoardImage.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// Automatic backups of what went to and came from a board, so a technician can
// always get back the configuration a radio had before it was overwritten.
// Each backup is an ordinary board data file in one folder:
//   <product short name>_<read|write|before-write>_<yyyyMMdd-HHmmss-zzz>.tv2
// e.g. VT-60_read_20261207-081502-117.tv2; "before-write" holds what a board held
// just before a write replaced it, so restoring it (Restore) undoes the write.
// The folder is $VIREO_BACKUP_DIR when that is set, else "vireo/backups" in the
// user's data directory (QStandardPaths::GenericDataLocation, so the window and the
// command line share it; QStandardPaths::setTestModeEnabled moves it for tests).
// A failed backup never stops a transfer: callers report the message and go on.
namespace Backups {

enum class Kind { Read, Write, BeforeWrite };

// "read", "write", "before-write": as in the file names.
QString kindName(Kind kind);

struct Result {
    bool ok = false;
    QString path;    // the file written (or that would have been)
    QString message; // for the user: where the backup went, or why it failed
};

// The backup folder; not created here.
QString folder();

// The file name a backup of this product and kind taken at `when` gets (no folder).
QString fileName(int product, Kind kind, const QDateTime& when);

// Saves words 0..250 of `image` through DataFile::save into folder(), creating it
// when needed. `product` is 1..Product::kCount.
Result save(const BoardImage& image, int product, Kind kind, const QDateTime& when);

// A backup in the folder, as its name and its words tell.
struct Entry {
    QString path;
    QDateTime taken;
    int product = 1;
    Kind kind = Kind::Read;
    QString primaryCode; // as the window shows it; empty when the file cannot be read
};

// The backups in folder(), newest first; only those of `product` when given. Files
// named otherwise are left out.
std::vector<Entry> list(std::optional<int> product = std::nullopt);

// A file's product, kind and time as its name tells, wherever it lies (the file is
// not read: no primary code); nothing for a file not named as a backup is.
std::optional<Entry> named(const QString& path);

// How long a backup is kept.
constexpr int kKeepDays = 365;

struct PruneResult {
    int removed = 0;
    QString message; // empty when every old backup went
};

// Deletes the *.tv2 files in folder() older than a year before `now`: by the
// timestamp in the name, else by the file's modification time.
PruneResult prune(const QDateTime& now);

} // namespace Backups
