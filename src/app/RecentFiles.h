#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QMenu;

// File > Recent Files: the last eight data files opened or saved, newest first. The
// list is kept with the user's options, so it outlives the run and is shared by every
// window of the programmer; the submenu is filled afresh each time the File menu opens.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<bool(const QString& path)>;
    static constexpr int kMax = 8;
    inline static const QString kTitle = QStringLiteral("Recent Files");

    // Fills `recentMenu` whenever `fileMenu` opens; a file chosen there goes to `open`.
    RecentFiles(QMenu* fileMenu, QMenu* recentMenu, Opener open);

    // The list, newest first (absolute paths).
    static QStringList paths();
    // `path` goes to the top of the list (once), the ninth falls off.
    static void add(const QString& path);

    // A file chosen from the submenu: opened, or, when it is gone, taken off with a message.
    void choose(const QString& path);

private:
    void fill();

    QMenu* fileMenu_;
    QMenu* recentMenu_;
    Opener open_;
};
