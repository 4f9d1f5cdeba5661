// vireo fleet: one configuration written to radio after radio, each with the next
// primary code, as a technician does with "Write to Logic Board" and "Increment
// Primary Code", with a log of every radio for the fleet's records.
#include "CliLink.h"
#include "CliSupport.h"
#include "Commands.h"

#include "Editor.h"

#include <QDateTime>
#include <QFile>

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

// The log: one line per radio, "time,primary_code,outcome", the time in ISO 8601 with its offset.
class FleetLog {
public:
    bool open(const QString& path)
    {
        file_.setFileName(path);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            report(kCommand, QStringLiteral("cannot write the log \"%1\": %2").arg(path, file_.errorString()));
            return false;
        }
        if (file_.size() == 0)
            writeLine(QStringLiteral("time,primary_code,outcome"));
        return file_.error() == QFile::NoError;
    }

    void add(const QString& primaryCode, const QString& outcome)
    {
        const QDateTime now = QDateTime::currentDateTime();
        const QString time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
        writeLine(QStringLiteral("%1,%2,%3").arg(time, primaryCode, csvField(outcome)));
    }

private:
    static QString csvField(QString text)
    {
        if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
            return text;
        return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    }

    void writeLine(const QString& line)
    {
        const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
        if (file_.write(bytes) != bytes.size() || !file_.flush())
            report(kCommand, QStringLiteral("warning: the log \"%1\" cannot be written: %2")
                                 .arg(file_.fileName(), file_.errorString()));
    }

    QFile file_;
};

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
};

// The primary code as the board gets it: four digits.
QString primaryCode(const Form& form)
{
    return Editor::applyDisplayFormat(form.PrimaryCode.text, Editor::DisplayFormat::FourDigits);
}

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
    w.form.PrimaryCode.text = primaryCode(w.form);
    return true;
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

    Run run{*t, {}, parser.isSet(QStringLiteral("verify")), startUp(t->product)};
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
    if (!log.open(logPath))
        return kInvalid;

    int programmed = 0;
    int last = kOk;
    QString firstCode;
    QString lastCode;
    bool connectNext = true;
    bool atPrompt = false; // the run ended at a prompt, which has no line end of its own
    for (;;) {
        const QString code = primaryCode(run.window.form);
        if (connectNext) {
            const std::optional<QString> a =
                answer(QStringLiteral("Connect radio %1 (primary code %2) and press Enter; q and Enter stop the run: ")
                           .arg(programmed + 1)
                           .arg(code));
            atPrompt = !a;
            if (!a || *a == QLatin1String("q"))
                break;
        }
        last = programRadio(line, run);
        log.add(code, outcomeText(last, run.verifying));
        if (interruptToken().load())
            break;
        if (last == kOk) {
            ++programmed;
            if (firstCode.isEmpty())
                firstCode = code;
            lastCode = code;
            out() << "Radio " << programmed << ": primary code " << code << " programmed\n";
            out().flush();
            if (*count > 0 && programmed == *count)
                break;
            if (Editor::incrementPrimaryCode(run.window.form) == Editor::IncrementResult::AtLimit) {
                report(kCommand, QStringLiteral("primary code %1 was the last one: there is no code after 9999; "
                                                "the run stops").arg(code));
                last = kFailed;
                break;
            }
            run.window.form.PrimaryCode.text = primaryCode(run.window.form);
            connectNext = true;
            continue;
        }
        const std::optional<QString> a = answer(
            QStringLiteral("Radio with primary code %1 failed. r and Enter: try this radio again; Enter: connect "
                           "another radio for primary code %1; q and Enter: stop the run: ")
                .arg(code));
        atPrompt = !a;
        if (!a || *a == QLatin1String("q"))
            break;
        connectNext = *a != QLatin1String("r");
    }
    if (atPrompt) {
        err() << "\n";
        err().flush();
    }
    out() << "Fleet run ended: " << programmed << (programmed == 1 ? " radio" : " radios") << " programmed";
    if (programmed > 0)
        out() << " (primary codes " << firstCode << " to " << lastCode << ")";
    out() << "; log in " << logPath << "\n";
    out().flush();
    if (interruptToken().load())
        return kStopped;
    return last;
}

} // namespace Cli
