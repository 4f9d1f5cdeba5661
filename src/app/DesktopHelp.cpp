#include "DesktopHelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace DesktopHelp {

QString helpFile()
{
    QStringList places{QDir::current().absoluteFilePath(kHelpFile)};
#ifdef Q_OS_WIN
    places << QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(kHelpFile);
#endif
    for (const QString& place : places) {
        if (QFileInfo::exists(place))
            return place;
    }
    return {};
}

QString manualPath()
{
    const QString program = QCoreApplication::applicationDirPath();
    const QString places[] = {
        // Installed with the program, under whatever prefix it was installed to.
        program + QStringLiteral("/../share/doc/vireo-programmer/manual/index.html"),
#ifdef VIREO_DATA_DIR
        // Installed where this build installs to.
        QStringLiteral(VIREO_DATA_DIR "/../doc/vireo-programmer/manual/index.html"),
#endif
        // Unpacked beside the program, as the build tree has it.
        program + QStringLiteral("/manual/index.html"),
    };
    for (const QString& place : places) {
        if (QFileInfo::exists(place))
            return QDir::cleanPath(place);
    }
    return {};
}

bool desktopShowsChm()
{
#ifdef Q_OS_WIN
    return true; // Windows shows help files itself
#else
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/vnd.ms-htmlhelp")});
    if (!query.waitForFinished(2000)) {
        query.kill();
        query.waitForFinished(500);
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
#endif
}

QString installedDataDir()
{
#ifdef VIREO_DATA_DIR
    return QStringLiteral(VIREO_DATA_DIR);
#else
    return QCoreApplication::applicationDirPath();
#endif
}

} // namespace DesktopHelp
