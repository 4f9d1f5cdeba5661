#include "CliSupport.h"
#include "Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <memory>

namespace {

// The command named on the line, past the options before it (--trace FILE).
const Cli::Command* commandOnLine(int argc, char* argv[])
{
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--trace") == 0) {
            ++k;
            continue;
        }
        if (std::strncmp(argv[k], "--trace=", 8) == 0)
            continue;
        for (const Cli::Command& c : Cli::commands()) {
            if (std::strcmp(argv[k], c.name) == 0)
                return &c;
        }
        return nullptr;
    }
    return nullptr;
}

// A command that lays out pages needs QtGui's fonts, so it gets a QGuiApplication;
// on the offscreen platform unless QT_QPA_PLATFORM names another, so that vireo
// never needs a display. Every other command stays a plain QtCore program.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[])
{
    const Cli::Command* command = commandOnLine(argc, argv);
    if (!command || !command->drawsPages)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

void printOverview()
{
    Cli::out() << "Usage: vireo COMMAND [ARGUMENTS]\n"
                  "Vireo Logic Board Programmer, command-line companion.\n"
                  "\n"
                  "Commands:\n";
    for (const Cli::Command& c : Cli::commands())
        Cli::out() << "  " << QString::fromLatin1(c.name).leftJustified(10) << c.summary << "\n";
    Cli::out() << "\n"
                  "vireo COMMAND --help shows the arguments of a command.\n"
                  "Options: -h, --help (this overview), -v, --version;\n"
                  "--trace FILE before ping, read, write, restore, doctor or fleet records every byte on\n"
                  "the line in FILE. Exit status: 0 done, 1 refused or failed (board commands: no\n"
                  "answer from the board or the port failed; diff: the files differ), 2 wrong usage or invalid\n"
                  "input file, 3 access code refused, 4 cancelled (Ctrl+C) or timed out, 5 the serial port\n"
                  "cannot be opened, 6 the verify after a write found the board holding other words.\n";
    Cli::out().flush();
}

} // namespace

int main(int argc, char* argv[])
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vireo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VIREO_VERSION));

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        Cli::err() << "vireo: no command given (see --help)\n";
        return Cli::kInvalid;
    }
    // Options before the command: --trace FILE, handed on to the board commands.
    QString trace;
    while (!args.isEmpty() && (args.front() == QLatin1String("--trace") || args.front().startsWith("--trace="))) {
        const QString option = args.takeFirst();
        if (option != QLatin1String("--trace"))
            trace = option.mid(8);
        else if (!args.isEmpty())
            trace = args.takeFirst();
        if (trace.isEmpty()) {
            Cli::err() << "vireo: --trace takes a file name\n";
            return Cli::kInvalid;
        }
    }
    if (args.isEmpty()) {
        Cli::err() << "vireo: no command given (see --help)\n";
        return Cli::kInvalid;
    }
    const QString name = args.takeFirst();
    if (!trace.isEmpty()) {
        static const QStringList traced{QStringLiteral("ping"),    QStringLiteral("read"),   QStringLiteral("write"),
                                        QStringLiteral("restore"), QStringLiteral("doctor"), QStringLiteral("fleet")};
        if (!traced.contains(name)) {
            Cli::err() << "vireo: --trace goes with ping, read, write, restore, doctor or fleet, not \"" << name
                       << "\"\n";
            return Cli::kInvalid;
        }
        args.prepend(QStringLiteral("--trace=") + trace);
    }
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printOverview();
        return Cli::kOk;
    }
    if (name == QLatin1String("--version") || name == QLatin1String("-v")) {
        Cli::out() << "vireo " << QCoreApplication::applicationVersion() << "\n";
        return Cli::kOk;
    }
    for (const Cli::Command& c : Cli::commands()) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    Cli::err() << "vireo: unknown command \"" << name << "\" (see --help)\n";
    return Cli::kInvalid;
}
