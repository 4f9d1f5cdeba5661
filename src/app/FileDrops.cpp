#include "FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

FileDrops::FileDrops(QWidget* window, Opener open) : QObject(window), open_(std::move(open))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(this);
}

QString FileDrops::dataFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && url.toLocalFile().endsWith(QLatin1String(".tv2"), Qt::CaseInsensitive))
            return url.toLocalFile();
    }
    return {};
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = dataFile(drop->mimeData());
    if (path.isEmpty())
        return QObject::eventFilter(watched, event);
    // Always a copy: a file manager told "moved" would take the file away.
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // Opened once the drag has ended: a message box inside the drop would hold the
    // file manager's drag until it is answered.
    if (type == QEvent::Drop)
        QTimer::singleShot(0, this, [this, path] { open_(path); });
    return true;
}
