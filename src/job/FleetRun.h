#pragma once

#include "EditorSession.h"

#include <QFile>
#include <QString>

// A fleet run: one configuration written to radio after radio, each with the next
// primary code, as a technician does with "Write to Logic Board" and "Increment
// Primary Code", and a log of every radio for the fleet's records.

// The log: one CSV line per radio, "time,primary_code,outcome", the time in ISO 8601
// with its offset; appended to, and flushed after every radio so that a run stopped
// half-way leaves its record.
class FleetLog {
public:
    // Empty when the log is open for appending (its header written when it was empty);
    // else why not, for the user.
    QString open(const QString& path);
    // Empty when the line reached the disk; else why not.
    QString add(const QString& primaryCode, const QString& outcome);
    QString fileName() const { return file_.fileName(); }

private:
    QString writeLine(const QString& line);

    QFile file_;
};

// Where a run stands: the configuration as the window shows it, whose primary code is
// the next radio's, and the radios programmed so far.
class FleetRun {
public:
    explicit FleetRun(EditorSession& session) : session_(session) {}

    // The next radio's primary code as the board gets it: four digits.
    QString nextCode() const;
    // The next radio was programmed: counted.
    void programmed();
    // On to the next primary code, as Increment Primary Code does; false when the
    // code was 9999, after which there is none.
    bool advance();

    int count() const { return count_; }
    QString firstCode() const { return firstCode_; }
    QString lastCode() const { return lastCode_; }

private:
    EditorSession& session_;
    int count_ = 0;
    QString firstCode_;
    QString lastCode_;
};
