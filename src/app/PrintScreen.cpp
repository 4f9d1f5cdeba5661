#include "PrintScreen.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace PrintScreen {

std::unique_ptr<QPrinter> defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

bool print(QWidget* widget, QPrinter& printer)
{
    const QPixmap shot = widget->grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    // The window's own size on paper, as on a 96 dpi screen, unless the page is smaller.
    const double perPixel = printer.resolution() / 96.0;
    QSize size(qRound(shot.width() * perPixel), qRound(shot.height() * perPixel));
    if (size.width() > page.width() || size.height() > page.height())
        size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(QPoint(0, 0), size), shot);
    return painter.end();
}

} // namespace PrintScreen
