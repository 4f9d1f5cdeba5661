#include "CliSupport.h"
#include "Commands.h"

#include <QCoreApplication>

namespace {

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
                  "--trace FILE before ping, read, write, doctor or fleet records every byte on the line\n"
                  "in FILE. Exit status: 0 done, 1 refused or failed (ping, read, write, doctor, fleet: no\n"
                  "answer from the board or the port failed; diff: the files differ), 2 wrong usage or invalid\n"
                  "input file, 3 access code refused, 4 cancelled (Ctrl+C) or timed out, 5 the serial port\n"
                  "cannot be opened, 6 the verify after a write found the board holding other words.\n";
    Cli::out().flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
        static const QStringList traced{QStringLiteral("ping"), QStringLiteral("read"), QStringLiteral("write"),
                                        QStringLiteral("fleet")};
        if (!traced.contains(name)) {
            Cli::err() << "vireo: --trace goes with ping, read, write or fleet, not \"" << name << "\"\n";
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
