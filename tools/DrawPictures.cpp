// Draws the programmer's pictures into PNG files: the About window's three stages
// of the maker's logo, the transfer window's radio and computer, and the window
// icon. Run once by hand (vireo-draw-pictures <folder>); the files are kept in
// data/pictures and compiled into the program.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor kInk(0x12, 0x3a, 0x6b);
const QColor kAccent(0xc8, 0x2a, 0x1e);

QFont boldFont(int pixels, bool italic = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    font.setItalic(italic);
    return font;
}

// A picture of the given size, drawn by `draw` with smoothed edges.
template <typename Draw>
QImage picture(int width, int height, const QColor& background, Draw draw)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return image;
}

// The maker's logo, and `mark` (a part of the generation mark "V2") beside it.
QImage logo(const QString& mark)
{
    return picture(252, 62, Qt::white, [&mark](QPainter& p) {
        // A swoosh under the name.
        QPainterPath swoosh;
        swoosh.moveTo(8, 50);
        swoosh.cubicTo(60, 62, 120, 40, 172, 48);
        swoosh.cubicTo(120, 46, 60, 66, 8, 50);
        p.fillPath(swoosh, kAccent);

        p.setPen(kInk);
        p.setFont(boldFont(34));
        p.drawText(QRect(6, 2, 176, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TERVALO"));

        if (!mark.isEmpty()) {
            p.setPen(kAccent);
            p.setFont(boldFont(40, true));
            p.drawText(QRect(184, 0, 66, 58), Qt::AlignLeft | Qt::AlignVCenter, mark);
        }
    });
}

QImage radio()
{
    return picture(33, 32, Qt::transparent, [](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        // Antenna.
        p.setBrush(Qt::black);
        p.drawRect(QRectF(19.5, 1.5, 2, 9));
        // Body.
        p.setBrush(QColor(0x30, 0x30, 0x30));
        p.drawRoundedRect(QRectF(10.5, 9.5, 13, 21), 2, 2);
        // Display and speaker grille.
        p.setBrush(QColor(0x9e, 0xd8, 0x9a));
        p.drawRect(QRectF(12.5, 12.5, 9, 5));
        p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1));
        for (int y = 21; y <= 27; y += 2)
            p.drawLine(QPointF(13, y + 0.5), QPointF(21, y + 0.5));
        // Knob.
        p.setPen(Qt::black);
        p.setBrush(kAccent);
        p.drawRect(QRectF(13.5, 6.5, 3, 3));
    });
}

QImage computer()
{
    return picture(33, 32, Qt::transparent, [](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        // Monitor and screen.
        p.setBrush(QColor(0xd8, 0xd4, 0xc8));
        p.drawRoundedRect(QRectF(4.5, 1.5, 24, 18), 1.5, 1.5);
        QLinearGradient glass(0, 4, 0, 16);
        glass.setColorAt(0, QColor(0x3a, 0x6e, 0xc0));
        glass.setColorAt(1, QColor(0x12, 0x3a, 0x6b));
        p.setBrush(glass);
        p.drawRect(QRectF(7.5, 4.5, 18, 12));
        // Stand and keyboard.
        p.setBrush(QColor(0xb8, 0xb4, 0xa8));
        p.drawRect(QRectF(13.5, 19.5, 6, 3));
        p.drawRect(QRectF(2.5, 23.5, 28, 7));
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
        for (int x = 5; x <= 27; x += 3)
            p.drawPoint(QPointF(x + 0.5, 26.5));
        for (int x = 6; x <= 26; x += 3)
            p.drawPoint(QPointF(x + 0.5, 28.5));
    });
}

QImage icon()
{
    return picture(32, 32, Qt::transparent, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
        p.setBrush(kAccent);
        p.drawRect(QRectF(4, 24, 24, 3));
        p.setPen(Qt::white);
        p.setFont(boldFont(20));
        p.drawText(QRect(0, 0, 32, 26), Qt::AlignCenter, QStringLiteral("T"));
    });
}

bool save(const QImage& image, const QDir& dir, const char* name)
{
    const QString path = dir.filePath(QLatin1String(name));
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    bool ok = save(logo(QString()), dir, "about0.png");
    ok = save(logo(QStringLiteral("V")), dir, "about1.png") && ok;
    ok = save(logo(QStringLiteral("V2")), dir, "about2.png") && ok;
    ok = save(radio(), dir, "radio.png") && ok;
    ok = save(computer(), dir, "computer.png") && ok;
    ok = save(icon(), dir, "icon.png") && ok;
    return ok ? 0 : 1;
}
