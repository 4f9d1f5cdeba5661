#pragma once

#include "BoardJob.h"
#include "EditorSession.h"

#include <QFile>
#include <QString>

// A fleet run's log (the run itself is FleetEngine's): one CSV line per radio,
// "time,primary_code,outcome,unit,verify,backup,technician,program,template", the
// time in ISO 8601 with its offset; appended to, and flushed after every radio so that
// a run stopped half-way leaves its record.
class FleetLog {
public:
    // What every line of a run repeats.
    struct RunInfo {
        QString technician;   // who ran it
        QString templateHash; // the first 8 hexadecimal digits of the template's SHA-256
    };
    // One radio's line.
    struct Radio {
        QString primaryCode;
        QString outcome; // "written", "written and verified", "failed: ..."
        QString unit;
        QString verify; // "passed", "FAILED", "not run"
        QString backup; // the backup file of the write
    };
    inline static const QString kHeader =
        QStringLiteral("time,primary_code,outcome,unit,verify,backup,technician,program,template");

    // Empty when the log is open for appending (its header written when it was empty);
    // else why not, for the user.
    QString open(const QString& path, RunInfo run);
    // Empty when the line reached the disk; else why not.
    QString add(const Radio& radio);
    QString fileName() const { return file_.fileName(); }

    // The template's mark in the log, the same in the window and in vireo: the first 8
    // hexadecimal digits, upper case ("3FA0C21B"), of the SHA-256 of the bytes Save As
    // writes for the configuration.
    static QString templateHash(EditorSession configuration);
    // How a radio's job ended, as the log gives it: "written", "written and verified",
    // "failed: access code refused", ...
    static QString outcomeOf(const BoardJob::Result& result);
    // A write's verify as the log gives it.
    static QString verifyText(const BoardJob::Result& result);
    // The backup of a write, when one was saved.
    static QString backupOf(const BoardJob::Result& result);

private:
    QString writeLine(const QStringList& fields);

    QFile file_;
    RunInfo run_;
};
