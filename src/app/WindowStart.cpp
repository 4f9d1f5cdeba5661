#include "WindowStart.h"

#include "MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTimer>

void startWindow(MainWindow& window, const QString& file)
{
    window.setPortMap(PortAssistant::storedMappings());
    window.Form_Load();
    window.show();
    if (!file.isEmpty())
        QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
}

namespace {

bool sameFolder(const QString& a, const QString& b)
{
    return QDir::cleanPath(a).compare(QDir::cleanPath(b), Qt::CaseInsensitive) == 0;
}

} // namespace

QString windowFolder(const StartPlace& place)
{
    const bool fromDesktop = !place.currentWritable || sameFolder(place.current, place.program)
                             || (!place.file.isEmpty() && sameFolder(place.current, QFileInfo(place.file).path()));
    return fromDesktop ? place.home : place.current;
}

QString enterWindowFolder(const QString& file)
{
    const QString absolute = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    QTemporaryFile probe(QDir::current().filePath(QStringLiteral("vireo-XXXXXX.tmp")));
    const StartPlace place{QDir::currentPath(), QCoreApplication::applicationDirPath(), QDir::homePath(), absolute,
                           probe.open()};
    QDir::setCurrent(windowFolder(place));
    return absolute;
}
