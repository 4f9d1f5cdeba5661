// vireo fleet: one configuration written to radio after radio, each with the next
// primary code, as a technician does with "Write to Logic Board" and "Increment
// Primary Code", with a log of every radio for the fleet's records.
#include "CliLink.h"
#include "CliSupport.h"
#include "Commands.h"

#include "FleetRun.h"

#include <QDateTime>

#include <iostream>
#include <string>

namespace Cli {

namespace {

const QString kCommand = QStringLiteral("fleet");
const QString kFleetUsage = QStringLiteral("vireo fleet FILE.tv2 [--product N] [--port PORT] [--code CODE] "
                                           "[--count K] [--verify] [--log FILE] [--timeout SECONDS] [--trace FILE]");

const QString kFleetHelp = QStringLiteral(
    "For each radio: connect it, press Enter (q and Enter stop the run); the link check, the write and, with\n"
    "--verify, the read-back follow. A radio that fails keeps its primary code: r and Enter try it again,\n"
    "Enter alone waits for another radio with the same code. A primary code is never given twice in a run.\n"
    "The run ends with exit status 0 when every radio was programmed, else the status of the last radio\n"
    "(1 also when 9999 was reached before --count); Ctrl+C ends it with 4.\n"
    "Each radio's write is backed up as with vireo write.");

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

QString outcomeText(int status, bool verifying)
{
    switch (status) {
    case kOk: return verifying ? QStringLiteral("written and verified") : QStringLiteral("written");
    case kFailed: return QStringLiteral("failed: no answer from the board, or the link failed");
    case kCodeRefused: return QStringLiteral("failed: access code refused");
    case kStopped:
        return interruptToken().load() ? QStringLiteral("cancelled") : QStringLiteral("failed: timed out");
    case kPortUnavailable: return QStringLiteral("failed: the serial port cannot be opened");
    case kVerifyFailed: return QStringLiteral("failed: verify found differences");
    }
    return QStringLiteral("failed");
}

struct Run {
    Target target;
    QString accessCode;
    bool verifying = false;
    EditorSession window; // the file, as the window shows it; its primary code is the next radio's
    int count = 0;        // radios to program; 0: until the technician stops
};

int programRadio(BoardLine& line, Run& run)
{
    if (const int opened = line.open(kCommand); opened != kOk)
        return opened;
    const std::optional<BoardImage> image = outgoingImage(run.window, kCommand);
    if (!image)
        return kInvalid;
    const BoardJob::Request request{.kind = BoardJob::Kind::Write,
                                    .product = run.target.product,
                                    .accessCode = run.accessCode,
                                    .linkCheckFirst = run.target.linkCheck,
                                    .image = *image,
                                    .verify = run.verifying};
    return runJob(line, run.target, kCommand, request);
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
    w.form.PrimaryCode.text = FleetRun(w).nextCode(); // four digits, as the board gets it
    return true;
}

// Radio after radio until the count is reached, the technician stops, or the codes run
// out; the last radio's exit status.
int programRadios(BoardLine& line, Run& run, FleetLog& log, FleetRun& progress)
{
    int last = kOk;
    bool connectNext = true;
    std::optional<QString> a = QString();
    for (;;) {
        const QString code = progress.nextCode();
        if (connectNext) {
            a = answer(QStringLiteral("Connect radio %1 (primary code %2) and press Enter; q and Enter stop the run: ")
                           .arg(progress.count() + 1)
                           .arg(code));
            if (!a || *a == QLatin1String("q"))
                break;
        }
        last = programRadio(line, run);
        if (const QString why = log.add(code, outcomeText(last, run.verifying)); !why.isEmpty())
            report(kCommand, QStringLiteral("warning: ") + why);
        if (interruptToken().load())
            break;
        if (last == kOk) {
            progress.programmed();
            out() << "Radio " << progress.count() << ": primary code " << code << " programmed\n";
            out().flush();
            if (run.count > 0 && progress.count() == run.count)
                break;
            if (!progress.advance()) {
                report(kCommand, QStringLiteral("primary code %1 was the last one: there is no code after 9999; "
                                                "the run stops").arg(code));
                return kFailed;
            }
            connectNext = true;
            continue;
        }
        a = answer(QStringLiteral("Radio with primary code %1 failed. r and Enter: try this radio again; Enter: "
                                  "connect another radio for primary code %1; q and Enter: stop the run: ")
                       .arg(code));
        if (!a || *a == QLatin1String("q"))
            break;
        connectNext = *a != QLatin1String("r");
    }
    if (!a) { // the run ended at a prompt, which has no line end of its own
        err() << "\n";
        err().flush();
    }
    return last;
}

} // namespace

int fleet(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes FILE to one radio after another on the same port, as \"Write to Logic Board\" does, and gives "
        "each next radio the next primary code, as \"Increment Primary Code\" does. The first radio gets the "
        "file's primary code."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A board data file (*.tv2)."));
    addTargetOptions(parser, true, false);
    parser.addOption({QStringLiteral("count"), QStringLiteral("Stop after K radios were programmed."),
                      QStringLiteral("K")});
    parser.addOption({QStringLiteral("verify"), QStringLiteral("Read each radio back after its write and compare.")});
    parser.addOption({QStringLiteral("log"),
                      QStringLiteral("The CSV log of the run, appended to (default: fleet-<date>-<time>.csv here)."),
                      QStringLiteral("FILE")});
    int status = kInvalid;
    const std::optional<Target> t =
        parseBoardCommand(parser, {kCommand, kFleetUsage, 1, true, kFleetHelp}, args, &status);
    if (!t)
        return status;
    const std::optional<int> count = countOption(parser);
    if (!count)
        return kInvalid;

    Run run{*t, {}, parser.isSet(QStringLiteral("verify")), startUp(t->product), *count};
    run.accessCode = accessCode(*t, run.window); // the code in the box before the file is opened
    if (!openFleetFile(parser.positionalArguments().front(), run))
        return kInvalid;
    const QString logPath =
        parser.isSet(QStringLiteral("log"))
            ? parser.value(QStringLiteral("log"))
            : QStringLiteral("fleet-%1.csv").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    InterruptGuard guard;
    BoardLine line(run.target);
    if (const int traced = line.startTrace(kCommand); traced != kOk)
        return traced;
    FleetLog log;
    if (const QString why = log.open(logPath); !why.isEmpty()) {
        report(kCommand, why);
        return kInvalid;
    }
    FleetRun progress(run.window);
    const int last = programRadios(line, run, log, progress);
    out() << "Fleet run ended: " << progress.count() << (progress.count() == 1 ? " radio" : " radios") << " programmed";
    if (progress.count() > 0)
        out() << " (primary codes " << progress.firstCode() << " to " << progress.lastCode() << ")";
    out() << "; log in " << logPath << "\n";
    out().flush();
    if (interruptToken().load())
        return kStopped;
    return last;
}

} // namespace Cli
