// vireo fleet: one configuration written to radio after radio, each with the next
// primary code, as a technician does with "Write to Logic Board" and "Increment
// Primary Code", with a log of every radio for the fleet's records.
#include "CliLink.h"
#include "CliSupport.h"
#include "Commands.h"

#include "FleetEngine.h"
#include "PortInspection.h"

#include <QDateTime>

#include <iostream>
#include <string>

namespace Cli {

namespace {

const QString kCommand = QStringLiteral("fleet");
const QString kFleetUsage = QStringLiteral("vireo fleet FILE.tv2 [--product N] [--port PORT] [--code CODE] "
                                           "[--units UNITS.csv] [--resume] [--count K] [--verify] [--backup-first] "
                                           "[--log FILE] [--technician NAME] [--timeout SECONDS] [--trace FILE]");

const QString kFleetHelp = QStringLiteral(
    "For each radio: connect it, press Enter (q and Enter stop the run); the link check, the write and, with\n"
    "--verify, the read-back follow. A radio that fails keeps its primary code: r and Enter try it again,\n"
    "Enter alone waits for another radio with the same code. A primary code is never given twice in a run.\n"
    "The run ends with exit status 0 when every radio was programmed, else the status of the last radio\n"
    "(1 also when 9999 was reached before --count); Ctrl+C ends it with 4.\n"
    "Each radio's write is backed up as with vireo write; with --backup-first each radio is first read into a\n"
    "before-write backup, and a radio whose backup fails is not written.\n"
    "With --units, each row of UNITS.csv is one radio: its first column Unit labels it (asset tag, serial\n"
    "number, holder), the other columns are named by the controls' names as vireo dump --json gives them\n"
    "(PrimaryCode, SecondaryCode, GroupAlpha(3), chkEmergency...) and hold the values entered into the file\n"
    "for that radio, as --set of vireo convert enters them; a blank cell keeps the file's value. Every row\n"
    "is checked before the first radio: a refused value, a repeated unit or primary code, or a primary code\n"
    "the log records as programmed ends the run with exit status 2 before any byte is sent. A failed unit\n"
    "can be tried again (r), skipped (s) or the run stopped (q). --resume leaves out the units the log\n"
    "records as programmed.\n"
    "The log's columns: time,primary_code,outcome,unit,verify,backup,technician,program,template (verify:\n"
    "passed, FAILED or not run; template: the first 8 hexadecimal digits of the SHA-256 of FILE as Save As\n"
    "writes it, the same mark the fleet window gives the same configuration).");

// One answer typed at a prompt; nothing at the end of input or on Ctrl+C.
std::optional<QString> answer(const QString& prompt)
{
    err() << prompt;
    err().flush();
    std::string line;
    if (!std::getline(std::cin, line) || interruptToken().load())
        return std::nullopt;
    return QString::fromLocal8Bit(line.c_str()).trimmed().toLower();
}

struct Run {
    Target target;
    QString accessCode;
    bool verifying = false;
    bool backUpFirst = false;
    EditorSession window; // the file, as the window shows it; its primary code is the first radio's
    int count = 0;        // radios to program; 0: until the technician stops

    FleetEngine::Settings settings() const
    {
        return {target.product, accessCode, target.linkCheck, verifying, backUpFirst, count};
    }
};

// The next radio written (and verified) and its line in the log; the radio's exit status.
int programRadio(BoardLine& line, Run& run, FleetEngine& engine)
{
    const BoardJob::Request request = engine.begin();
    BoardJob::Result result;
    result.end = BoardJob::End::PortUnavailable; // until the port is open
    int status = line.open(kCommand);
    if (status == kOk)
        status = runJob(line, run.target, kCommand, request, &result);
    if (const QString why = engine.finish(result); !why.isEmpty())
        report(kCommand, QStringLiteral("warning: ") + why);
    return status;
}

std::optional<int> countOption(const QCommandLineParser& parser)
{
    if (!parser.isSet(QStringLiteral("count")))
        return 0;
    bool ok = false;
    const int count = parser.value(QStringLiteral("count")).toInt(&ok);
    if (ok && count > 0)
        return count;
    err() << "vireo fleet: --count takes a number of radios above 0, not \"" << parser.value(QStringLiteral("count"))
          << "\"\n";
    return std::nullopt;
}

// The file opened as "Open..." does, ready to number radios from its primary code.
bool openFleetFile(const QString& path, Run& run)
{
    EditorSession& w = run.window;
    if (!reportOpen(w.open(path), path, kCommand))
        return false;
    if (w.form.PrimaryCode.text.isEmpty()) {
        report(kCommand, QStringLiteral("the file has no primary code to number the radios from; set the first "
                                        "radio's with vireo convert --set PrimaryCode=NNNN"));
        return false;
    }
    if (!outgoingImage(w, kCommand))
        return false;
    w.form.PrimaryCode.text = FleetUnits::fourDigits(w.form); // four digits, as the board gets it
    return true;
}

// Radio after radio, numbered or of the table, until the count is reached, the
// technician stops, or the radios or codes run out; the last radio's exit status.
int programRadios(BoardLine& line, Run& run, FleetEngine& engine, bool numbered)
{
    int last = kOk;
    bool connect = true;
    std::optional<QString> a = QString();
    while (engine.next() >= 0) {
        const FleetUnits::Unit& u = engine.radio(engine.next()).unit;
        if (connect) {
            a = answer((numbered ? QStringLiteral("Connect radio %1 (primary code %2) and press Enter; q and Enter "
                                                  "stop the run: ")
                                 : QStringLiteral("Connect unit \"%1\" (primary code %2) and press Enter; q and "
                                                  "Enter stop the run: "))
                           .arg(u.label, u.primaryCode));
            if (!a || *a == QLatin1String("q"))
                break;
        }
        const QString label = u.label; // the radio's row moves when a skip gives its code on
        const QString code = u.primaryCode;
        last = programRadio(line, run, engine);
        if (interruptToken().load())
            break;
        if (last == kOk) {
            out() << (numbered ? "Radio " : "Unit \"") << label << (numbered ? "" : "\"") << ": primary code " << code
                  << " programmed\n";
            out().flush();
            connect = true;
            continue;
        }
        a = answer(numbered ? QStringLiteral("Radio with primary code %1 failed. r and Enter: try this radio again; "
                                             "Enter: connect another radio for primary code %1; q and Enter: stop "
                                             "the run: ")
                                  .arg(code)
                            : QStringLiteral("Unit \"%1\" failed. r and Enter: try it again; s and Enter: skip it; "
                                             "q and Enter: stop the run: ")
                                  .arg(label));
        if (!a || *a == QLatin1String("q"))
            break;
        // A numbered radio is left for another with the same code unless r; a unit is
        // tried again unless s.
        connect = numbered ? *a != QLatin1String("r") : *a == QLatin1String("s");
        if (connect)
            engine.skip();
        else
            engine.retry();
    }
    if (!a) { // the run ended at a prompt, which has no line end of its own
        err() << "\n";
        err().flush();
    }
    if (engine.next() >= 0)
        engine.stop();
    if (engine.end() == FleetEngine::End::CodesExhausted) {
        report(kCommand, QStringLiteral("primary code %1 was the last one: there is no code after 9999; the run stops")
                             .arg(engine.lastCode()));
        return kFailed;
    }
    if (engine.end() == FleetEngine::End::Refused) {
        outgoingImage(*engine.refused(), kCommand);
        return kInvalid;
    }
    return last;
}

// The table read and every row checked against the file and the log, or the radios
// numbered from the file's primary code; false when they are refused (reported).
bool loadRadios(FleetEngine& engine, const Run& run, const QString& unitsPath, const QString& logPath, bool resume)
{
    if (unitsPath.isNull()) {
        const std::optional<EditorSession::Outgoing> refused = engine.numberFrom(run.window);
        return !refused || outgoingImage(*refused, kCommand);
    }
    const FleetEngine::UnitsRead read = FleetEngine::readUnits(run.window, unitsPath, logPath, resume);
    if (!read.logProblem.isEmpty()) {
        report(kCommand, read.logProblem);
        return false;
    }
    const FleetUnits::Table& table = read.table;
    if (!table.ok()) {
        err() << "vireo fleet: the table \"" << unitsPath << "\" is refused; no radio was started:\n";
        for (const QString& p : table.problems)
            err() << "  " << p << "\n";
        err().flush();
        return false;
    }
    if (table.skipped > 0)
        out() << "Resuming: " << table.skipped << (table.skipped == 1 ? " unit" : " units") << " already programmed, "
              << table.units.size() << " to go\n";
    engine.takeUnits(table.units);
    return true;
}

} // namespace

namespace {

void addFleetOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Writes FILE to one radio after another on the same port, as \"Write to Logic Board\" does, and gives "
        "each next radio the next primary code, as \"Increment Primary Code\" does. The first radio gets the "
        "file's primary code. With --units, each radio gets its own row of UNITS.csv instead."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A board data file (*.tv2)."));
    addTargetOptions(parser, true, false, false);
    parser.addOption({QStringLiteral("units"), QStringLiteral("The table of radios, one row each (CSV)."),
                      QStringLiteral("UNITS.csv")});
    parser.addOption({QStringLiteral("resume"),
                      QStringLiteral("With --units and --log: leave out the units the log records as programmed.")});
    parser.addOption(
        {QStringLiteral("count"), QStringLiteral("Stop after K radios were programmed."), QStringLiteral("K")});
    parser.addOption({QStringLiteral("verify"), QStringLiteral("Read each radio back after its write and compare.")});
    addBackupFirstOption(parser);
    parser.addOption({QStringLiteral("log"),
                      QStringLiteral("The CSV log of the run, appended to (default: fleet-<date>-<time>.csv here)."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("technician"),
                      QStringLiteral("The technician's name in the log (default: the login name)."),
                      QStringLiteral("NAME")});
}

QString technician(const QCommandLineParser& parser)
{
    return parser.isSet(QStringLiteral("technician")) ? parser.value(QStringLiteral("technician"))
                                                      : PortInspection::userName();
}

void reportEnd(const FleetEngine& engine, bool numbered, const QString& logPath)
{
    const int programmed = engine.programmed();
    out() << "Fleet run ended: " << programmed << (programmed == 1 ? " radio" : " radios") << " programmed";
    if (numbered && programmed > 0)
        out() << " (primary codes " << engine.firstCode() << " to " << engine.lastCode() << ")";
    out() << "; log in " << logPath << "\n";
    out().flush();
}

} // namespace

int fleet(const QStringList& args)
{
    QCommandLineParser parser;
    addFleetOptions(parser);
    int status = kInvalid;
    const std::optional<Target> t = parseBoardCommand(parser, {kCommand, kFleetUsage, 1, true, kFleetHelp}, args,
                                                      &status);
    if (!t)
        return status;
    const std::optional<int> count = countOption(parser);
    if (!count)
        return kInvalid;
    const bool units = parser.isSet(QStringLiteral("units"));
    const bool resume = parser.isSet(QStringLiteral("resume"));
    if (resume && (!units || !parser.isSet(QStringLiteral("log")))) {
        report(kCommand, QStringLiteral("--resume needs --units and the --log of the run it goes on with"));
        return kInvalid;
    }

    Run run{*t,
            {},
            parser.isSet(QStringLiteral("verify")),
            parser.isSet(QStringLiteral("backup-first")),
            startUp(t->product),
            *count};
    run.accessCode = accessCode(*t, run.window); // the code in the box before the file is opened
    const QString file = parser.positionalArguments().front();
    if (!openFleetFile(file, run))
        return kInvalid;
    const QString logPath = parser.isSet(QStringLiteral("log"))
                                ? parser.value(QStringLiteral("log"))
                                : QStringLiteral("fleet-%1.csv")
                                      .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    FleetEngine engine(run.settings());
    if (!loadRadios(engine, run, units ? parser.value(QStringLiteral("units")) : QString(), logPath, resume))
        return kInvalid;
    InterruptGuard guard;
    BoardLine line(run.target);
    if (const int traced = line.startTrace(kCommand); traced != kOk)
        return traced;
    if (const QString why = engine.openLog(logPath, technician(parser), run.window); !why.isEmpty()) {
        report(kCommand, why);
        return kInvalid;
    }
    const int last = programRadios(line, run, engine, !units);
    reportEnd(engine, !units, logPath);
    if (interruptToken().load())
        return kStopped;
    return last;
}

} // namespace Cli
