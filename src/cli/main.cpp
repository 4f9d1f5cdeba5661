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
                  "Options: -h, --help (this overview), -v, --version.\n"
                  "Exit status: 0 done, 1 refused or failed (ping, read, write: no answer from the board or\n"
                  "the port failed), 2 wrong usage or invalid input file, 3 access code refused,\n"
                  "4 cancelled (Ctrl+C) or timed out, 5 the serial port cannot be opened.\n";
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
    const QString name = args.takeFirst();
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
