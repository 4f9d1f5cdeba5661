// The report on pages: laid out by Qt's text document at the resolution of the
// printer or PDF writer it goes to, with a footer on every page, so that a sheet
// that comes apart from its other page still names its file.
#include "ConfigurationReport.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace {

constexpr qreal kLayoutDpi = 96.0;

QFont footerFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(7.5);
    return font;
}

} // namespace

int ConfigurationReport::print(QPagedPaintDevice& device) const
{
    // Laid out at 96 dots an inch, as a browser shows the HTML, then drawn scaled to
    // the device: the sheet is the same on every printer and in every PDF.
    QImage layoutDevice(1, 1, QImage::Format_Mono);
    layoutDevice.setDotsPerMeterX(qRound(kLayoutDpi / 0.0254));
    layoutDevice.setDotsPerMeterY(qRound(kLayoutDpi / 0.0254));
    const qreal scale = device.logicalDpiX() / kLayoutDpi;
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const QFont font = footerFont();
    const qreal footerHeight = QFontMetricsF(font, &device).lineSpacing() * 2; // in device dots

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&layoutDevice);
    doc.setDocumentMargin(0);
    doc.setHtml(html());
    const QSizeF body(page.width() / scale, (page.height() - footerHeight) / scale);
    doc.setPageSize(body);
    const int pages = doc.pageCount();

    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    for (int k = 0; k < pages; ++k) {
        if (k > 0)
            device.newPage();
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -k * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, k * body.height(), body.width(), body.height());
        context.palette.setColor(QPalette::Text, Qt::black);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(font);
        painter.setPen(Qt::black);
        const QRectF band(0, page.height() - footerHeight, page.width(), footerHeight);
        painter.drawText(band, Qt::AlignLeft | Qt::AlignBottom, footer());
        painter.drawText(band, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("page %1 of %2").arg(k + 1).arg(pages));
    }
    return painter.end() ? pages : 0;
}

QByteArray ConfigurationReport::pdf(const QPageSize& paper) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(paper);
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
        writer.setTitle(footer());
        writer.setCreator(QStringLiteral("Vireo Logic Board Programmer " VIREO_VERSION));
        if (print(writer) == 0)
            return {};
    }
    return buffer.data();
}

QPageSize ConfigurationReport::defaultPaper()
{
    const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}
