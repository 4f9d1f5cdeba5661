#pragma once

#include "BoardImage.h"
#include "EditorSession.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The radios of a fleet run, each the template with its own values: from a table a
// shop keeps (one row a radio, its label in the first column "Unit", the other
// columns named by the controls' names as vireo dump --json and convert --set use
// them), or numbered from the template's primary code. Every radio is built and
// checked before the first is connected, so a refused value costs no radio.
namespace FleetUnits {

struct Unit {
    int line = 0;        // the table's line the row starts on; 0 when numbered
    QString label;       // the asset tag, serial number or holder, as the table gives it
    QString primaryCode; // four digits, as the board gets it
    BoardImage image;    // what "Write to Logic Board" sends for it
};

// A radio an earlier run's log records as programmed.
struct Programmed {
    QString unit;
    QString primaryCode;
    int line = 0; // of the log
};

struct Table {
    QStringList problems; // for the user, one a line: "line 4, column GroupCode(3): ..."
    std::vector<Unit> units;
    int skipped = 0; // resuming: units the log records as programmed, left out
    bool ok() const { return problems.isEmpty(); }
};

// The table's rows entered into copies of `templ` as convert --set enters values (a
// blank cell keeps the template's value). Refused: a missing Unit column, a column no
// control is named by, a blank or repeated unit, a value a control refuses, an entry
// a write would refuse, a primary code given twice or already programmed by the log's
// `programmed` radios. With `resume` the units the log records as programmed are left
// out, and their codes are theirs.
Table read(const EditorSession& templ, const QString& path, const std::vector<Programmed>& programmed, bool resume);
Table parse(const EditorSession& templ, const QByteArray& bytes, const std::vector<Programmed>& programmed,
            bool resume);

// A form's primary code as the board gets it: four digits.
QString fourDigits(const Form& form);

// The radios a fleet log records as programmed (outcome "written..."); problems when
// the log cannot be read. A log that does not exist yet records none.
struct LogRecords {
    QString problem;
    std::vector<Programmed> programmed;
};
LogRecords programmedIn(const QString& logPath);

} // namespace FleetUnits
