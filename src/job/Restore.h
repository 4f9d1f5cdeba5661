#pragma once

#include "BoardImage.h"

#include <QString>

// Words that go to a board exactly as a file holds them, the editor left out:
// `vireo write --raw`, and a backup put back on its board (the Backups window's
// "Restore to Board...", `vireo restore`). A board restored gets back its own words,
// those the window does not show (41, 98, the spare 179 ...) included, so a write
// is undone word for word.
namespace Restore {

struct Words {
    BoardImage image; // words 0..N as the file holds them
    QString problem;  // why they cannot go to the board; empty when they can
    bool ok() const { return problem.isEmpty(); }
};

// A file's words for a board of `product`: a board data file (the "E5" marker in
// word 0) holding words 0..N, each four hexadecimal digits.
Words exactWords(const QString& path, int product);

// A backup's words for a board of `product`, as exactWords gives them; a file whose
// name says it is a backup of another product is refused.
Words backupWords(const QString& path, int product);

} // namespace Restore
