#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QEvent;
class QMimeData;
class QWidget;

// A .tv2 file dropped anywhere on the window is opened as File > Open opens it. The
// window's boxes take drops of their own (a dragged text is pasted into a line edit),
// so the window and every control on it hand file drags to this object first; a drag
// of text still reaches the box.
class FileDrops : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<void(const QString& path)>;

    // Watches `window` and each widget on it now (the window builds its controls once).
    FileDrops(QWidget* window, Opener open);

    // The first local .tv2 file a drag carries; empty when it carries none.
    static QString dataFile(const QMimeData* mime);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Opener open_;
};
