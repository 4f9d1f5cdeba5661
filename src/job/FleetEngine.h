#pragma once

#include "BoardJob.h"
#include "EditorSession.h"
#include "FleetLog.h"
#include "FleetUnits.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A fleet run, the same under vireo fleet and the fleet window: which radio is next,
// what its write job is, what its end does to the run and the line it gives the log.
// The engine runs no job: the front end runs the request `begin` hands it (vireo on
// its own thread, the window on the link's) and gives the result to `finish`. The
// front ends only ask (prompts, buttons) and show (lines, table rows).
//
// Radios come from a units table (each row its own values and primary code) or are
// numbered from the template's primary code, as Increment Primary Code numbers them,
// 9999 being the last. A primary code is never given twice: a numbered radio that is
// skipped gives its number and code to the radio connected after it, so no radio
// holds it; a unit of a table keeps its own row's code.
class FleetEngine {
public:
    // Cancelled: stopped by the technician or the transfer window's Cancel; like a
    // failed radio it is tried again or skipped.
    enum class State { Waiting, Next, Writing, Programmed, Failed, Cancelled, Skipped };

    // Why there is no next radio.
    enum class End {
        Running,        // a radio is next, or one waits for Retry or Skip
        CountReached,   // the radios asked for are programmed
        TableDone,      // every unit was programmed or skipped
        CodesExhausted, // numbered: the radio with 9999 was programmed, and no code is left
        Stopped,        // the technician stopped the run
        Refused,        // numbered without a count: the next radio cannot be built (`refused`)
    };

    struct Settings {
        int product = 1;
        QString accessCode;
        bool linkCheckFirst = true;
        bool verify = false;
        bool backUpFirst = false; // each radio first read into a before-write backup
        int count = 0;            // radios to program; 0: until the technician stops or the codes run out
    };

    struct Radio {
        FleetUnits::Unit unit;
        State state = State::Waiting;
        QString outcome; // the log's outcome of its last try
    };

    // A table read against its log: a problem of the log (which cannot be read), or
    // the table with its problems.
    struct UnitsRead {
        QString logProblem;
        FleetUnits::Table table;
    };
    static UnitsRead readUnits(const EditorSession& templ, const QString& unitsPath, const QString& logPath,
                               bool resume);

    FleetEngine() = default;
    explicit FleetEngine(Settings settings) : settings_(std::move(settings)) {}

    // The radios numbered from `templ`'s primary code: `count` of them built and
    // checked now (fewer when 9999 comes first), or, with no count, each when the one
    // before is done. What a write would refuse when one cannot be built.
    std::optional<EditorSession::Outgoing> numberFrom(const EditorSession& templ);
    void takeUnits(std::vector<FleetUnits::Unit> units);
    // The log opened for appending, every line marked with `templ`'s mark; empty when
    // it is open, else why not.
    QString openLog(const QString& path, const QString& technician, const EditorSession& templ);
    QString logFileName() const { return log_.fileName(); }

    int radioCount() const { return int(radios_.size()); }
    const Radio& radio(int index) const { return radios_[std::size_t(index)]; }
    // The primary code a radio holds or is to get; none for a numbered radio that was
    // skipped, whose code went on to the next.
    QString codeOf(int radio) const;
    // The radio to connect, or the one that waits for Retry or Skip; -1 when the run ended.
    int next() const { return next_; }
    End end() const { return end_; }
    bool waitsForRetry() const;
    // A numbered radio that could not be built when its turn came (run without a count).
    const std::optional<EditorSession::Outgoing>& refused() const { return refused_; }

    // The next radio's write: its state becomes Writing.
    BoardJob::Request begin();
    // The job's end: the radio's state, its log line and the radio after it. Empty when
    // the line reached the log, else why not.
    QString finish(const BoardJob::Result& result);
    // The failed or cancelled radio tried again: it is next again.
    void retry();
    // The failed or cancelled radio left: numbered, its code goes to the next radio.
    void skip();
    void stop();

    int programmed() const { return programmed_; }
    // Numbered runs: the first and last codes programmed.
    QString firstCode() const { return firstCode_; }
    QString lastCode() const { return lastCode_; }

private:
    bool numbered() const { return numbering_.has_value(); }
    // Numbered radios added until `count` are programmed or waiting (one waiting
    // without a count); false when one cannot be built.
    bool numberMore();
    void markNext(int from);

    Settings settings_;
    std::vector<Radio> radios_;
    std::optional<EditorSession> numbering_; // its primary code is the next numbered radio's
    int numberedLabel_ = 0;
    bool codesLeft_ = true;
    std::optional<EditorSession::Outgoing> refused_;
    int next_ = -1;
    End end_ = End::Running;
    int programmed_ = 0;
    QString firstCode_;
    QString lastCode_;
    FleetLog log_;
};
