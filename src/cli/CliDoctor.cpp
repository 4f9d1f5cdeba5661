// vireo doctor: the window's "Diagnose Link...", step by step on stdout.
#include "CliLink.h"
#include "CliSupport.h"
#include "Commands.h"

#include "LinkDoctor.h"

#include <QFile>

namespace Cli {

namespace {

const QString kDoctorUsage =
    QStringLiteral("vireo doctor [--product N] [--port PORT] [--code CODE] [--report FILE] [--trace FILE]");

const QString kDoctorHelp = QStringLiteral(
    "\nSteps: 1 the port (the device, its owner and group, other programs holding it, the adapter);\n"
    "2 opening it with the product's line settings; 3 an answer at all to the wake-up; 4 the family's\n"
    "answer (else the other families' wake-ups are tried, to say which product answers); 5 the access code.\n"
    "Exit status of doctor: 0 every step passed; else that of the first failing step: 5 the port or\n"
    "opening it, 1 no answer or not the family's, 3 access code refused; 4 cancelled (Ctrl+C); 2 wrong usage.");

int exitStatus(LinkDoctor::End end)
{
    switch (end) {
    case LinkDoctor::End::AllPassed: return kOk;
    case LinkDoctor::End::PortFailed: return kPortUnavailable;
    case LinkDoctor::End::NoAnswer: return kFailed;
    case LinkDoctor::End::CodeRefused: return kCodeRefused;
    case LinkDoctor::End::Cancelled: return kStopped;
    }
    return kFailed;
}

bool writeReport(const QString& path, const QString& text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) && file.write(text.toUtf8()) >= 0
        && file.flush())
        return true;
    report(QStringLiteral("doctor"), QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return false;
}

} // namespace

int doctor(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Diagnoses the link to the board as \"Diagnose Link...\" does: runs its steps in order and says of each "
        "whether it passed, what was seen, and what to do."));
    addTargetOptions(parser, false);
    parser.addOption({QStringLiteral("report"),
                      QStringLiteral("Also write FILE for support: the program's and Qt's versions, the operating "
                                     "system, every serial port, the steps and the serial trace of the doctor's "
                                     "bytes."),
                      QStringLiteral("FILE")});
    int status = kInvalid;
    const std::optional<Target> t =
        parseBoardCommand(parser, {QStringLiteral("doctor"), kDoctorUsage, 0, false, kDoctorHelp, false}, args,
                          &status);
    if (!t)
        return status;
    const EditorSession start = startUp(t->product);
    InterruptGuard guard;
    BoardLine line(*t);
    if (const int traced = line.startTrace(QStringLiteral("doctor")); traced != kOk)
        return traced;
    LinkContext ctx = line.context();
    const LinkDoctor::Report r = LinkDoctor::run(
        ctx, {.product = t->product, .portName = t->port, .portMap = {}, .accessCode = accessCode(*t, start)});
    out() << LinkDoctor::stepsText(r);
    out().flush();
    if (parser.isSet(QStringLiteral("report"))
        && !writeReport(parser.value(QStringLiteral("report")), LinkDoctor::diagnostics(r)))
        return kInvalid;
    return exitStatus(r.end);
}

} // namespace Cli
