#include "MainWindow.h"
#include "WindowDesign.h"
#include "WindowStart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

// --help and --version print their text and end: they need no window, so no display.
bool asksOnlyForText(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

// The data file to open at start-up; empty when none is named.
QString fileToOpen(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The desktop programmer of Tervalo Vireo Logic Boards.\n"
                       "With FILE, the window starts with that board data file open: the product's default\n"
                       "file is loaded first, as always, and FILE is then opened as File > Open opens it.\n"
                       "A file that is not a board data file is refused with \"Invalid Tervalo File\" and\n"
                       "the default file stays."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Board data file (.tv2) to open."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("vireo-programmer: one board data file at a time (see --help)\n", stderr);
        std::exit(EXIT_FAILURE);
    }
    return files.value(0);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("vireo-programmer"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VIREO_VERSION));
    if (asksOnlyForText(argc, argv)) {
        const QCoreApplication app(argc, argv);
        fileToOpen(app);
        return EXIT_SUCCESS;
    }
    QApplication app(argc, argv);
    addFontsBesideProgram();
    QString file = fileToOpen(app);
#ifdef Q_OS_WIN
    file = enterWindowFolder(file);
#endif
    app.setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
    MainWindow window;
    startWindow(window, file);
    return app.exec();
}
