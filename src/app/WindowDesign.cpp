#include "WindowDesign.h"

#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QTableWidget>
#include <QWidget>

QTableWidget* readOnlyTable(QWidget* parent, const QString& name, const QStringList& headings, const QSize& minimum)
{
    auto* table = new QTableWidget(0, int(headings.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setMinimumSize(minimum);
    return table;
}

void centreOnScreen(QWidget* window)
{
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = window->frameGeometry().size();
    window->move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

namespace {

class CentreOnce : public QObject {
public:
    explicit CentreOnce(QWidget* window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            window->removeEventFilter(this);
            centreOnScreen(window);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void centreOnFirstShow(QWidget* window)
{
    new CentreOnce(window);
}

QFont boardFont()
{
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(11);
    return font;
}
