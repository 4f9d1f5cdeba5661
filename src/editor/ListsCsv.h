#pragma once

#include "Form.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The group and speed-dial lists in one CSV file, for the spreadsheets technicians
// keep their talk-group plans and directories in:
//
//     List,Row,Number,Alpha Tag,Lock
//     Group,0,1234,DISPATCH,
//     Speed Dial,D,5551234,OFFICE,1
//
// Row is the row's label in the window (0..15; 0..9 and A..D), Number the group
// code or speed-dial number, Alpha Tag the tag, Lock 1 or 0 for a speed dial and
// empty for a group; every value is the text of its box. The window's File menu
// and `vireo export` / `vireo import` both go through here.
namespace ListsCsv {

inline const QStringList kHeader{QStringLiteral("List"), QStringLiteral("Row"), QStringLiteral("Number"),
                                 QStringLiteral("Alpha Tag"), QStringLiteral("Lock")};

// All 30 rows in the order of the window, each box's text as the window shows it,
// greyed boxes included; RFC 4180 with CR LF line ends, UTF-8.
QByteArray exportLists(const Form& form);

enum class Mode {
    Merge,   // rows not in the file keep their values
    Replace, // both lists are emptied first
};

struct ImportResult {
    enum class Outcome { Done, Refused, Unreadable };
    Outcome outcome = Outcome::Done;
    // Refused: every fault found, one a line, in the order of the file ("line 7,
    // column Number: \"12G4\" is not a group code"), then any entry a save would
    // refuse; Unreadable: why the file could not be read.
    QStringList problems;
    Form form; // Done: the form with the file's rows in its lists
    bool ok() const { return outcome == Outcome::Done; }
};

// The file's rows put into a copy of `form`, as its boxes would take them: each
// value exactly as given, greyed box or not, with the two completions leaving a box
// makes (tag letters in capitals; a group code of fewer than four digits with its
// leading zeros back), speed-dial numbers exactly as given. Columns are found by
// their header names in any order; other columns are left alone. A text longer than
// its box, an unknown list or row, a row given twice or a lock that is not 0 or 1
// refuses the whole file; so do the entry checks of a save on the result. `form`
// itself never changes.
ImportResult importLists(const Form& form, const QString& path, Mode mode);
ImportResult importLists(const Form& form, const QByteArray& bytes, Mode mode);

} // namespace ListsCsv
