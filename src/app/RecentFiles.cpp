#include "RecentFiles.h"

#include "Messages.h"
#include "UserSettings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

const QString kRecentFilesKey = QStringLiteral("recentFiles");

void store(const QStringList& paths)
{
    userSettings().setValue(kRecentFilesKey, paths);
}

} // namespace

RecentFiles::RecentFiles(QMenu* fileMenu, QMenu* recentMenu, Opener open)
    : QObject(recentMenu), fileMenu_(fileMenu), recentMenu_(recentMenu), open_(std::move(open))
{
    connect(fileMenu_, &QMenu::aboutToShow, this, &RecentFiles::fill);
    fill();
}

QStringList RecentFiles::paths()
{
    return userSettings().value(kRecentFilesKey).toStringList();
}

void RecentFiles::add(const QString& path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList list = paths();
    list.removeAll(absolute);
    list.prepend(absolute);
    store(list.mid(0, kMax));
}

void RecentFiles::choose(const QString& path)
{
    if (QFileInfo::exists(path)) {
        open_(path);
        return;
    }
    QStringList list = paths();
    list.removeAll(path);
    // The submenu is filled afresh when the File menu next opens.
    store(list);
    QWidget* bar = fileMenu_->parentWidget();
    Messages::show(bar ? bar->window() : nullptr,
                   {kTitle,
                    QStringLiteral("The file %1 is no longer there. It has been taken off the Recent Files list.")
                        .arg(QDir::toNativeSeparators(path)),
                    Messages::Icon::Exclamation});
}

void RecentFiles::fill()
{
    recentMenu_->clear();
    const QStringList list = paths();
    for (int i = 0; i < list.size(); ++i) {
        const QString path = list[i];
        QString caption = QDir::toNativeSeparators(path);
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        a->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, path] { choose(path); });
    }
    // Nothing to offer yet: the item is greyed rather than opening an empty list.
    recentMenu_->menuAction()->setEnabled(!list.isEmpty());
}
