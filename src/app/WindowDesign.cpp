#include "WindowDesign.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QWidget>

#include <algorithm>

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
#ifdef Q_OS_WIN
    // Windows does not choose a condensed face by its width: it narrows the upright
    // one and spaces its letters apart. The condensed face by its own name, where the
    // program brought it (fonts/ beside it), draws as the window does elsewhere.
    if (const QString condensed = QStringLiteral("DejaVu Sans Condensed"); QFontDatabase::hasFamily(condensed)) {
        QFont font(condensed);
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(11);
        return font;
    }
#endif
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif); // never a fixed-pitch face in its place
    font.setStretch(QFont::SemiCondensed);
    font.setPixelSize(11);
    return font;
}

void addFontsBesideProgram()
{
    const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& face : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(face));
}

int widthForTitle(const QString& title, int drawn)
{
    constexpr int kTitleBar = 100; // the bar's icon, close button and margins
    QFont bold = QApplication::font();
    bold.setBold(true);
    return std::max(drawn, QFontMetrics(bold).horizontalAdvance(title) + kTitleBar);
}

void fitColumns(QTableWidget* table, const QList<int>& columns, const QFont& font)
{
    // An item's text margins (the focus frame and one pixel, each side) and the grid line.
    const int margins = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) + 2;
    const QFontMetrics plain(table->font());
    const QFontMetrics marked(font);
    for (int c : columns) {
        int width = table->horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < table->rowCount(); ++r) {
            const QTableWidgetItem* item = table->item(r, c);
            if (item && table->columnSpan(r, c) == 1)
                width = std::max(width,
                                 std::max(plain.horizontalAdvance(item->text()), marked.horizontalAdvance(item->text()))
                                     + margins);
        }
        table->setColumnWidth(c, width);
    }
}
