// vireo-scale-icon SOURCE.png OUT_DIR SIZE...: writes OUT_DIR/SIZExSIZE.png for each
// size, the program's icon at the sizes desktops look for.
// vireo-scale-icon SOURCE.png OUT.ico SIZE...: one Windows icon file holding every
// size (run by hand: data/icons keeps the result for the Windows build).
#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>

namespace {

QImage scaledTo(const QImage& source, int size)
{
    return source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// An icon directory and its images, each stored as PNG (Windows Vista and later).
bool writeIco(const QImage& source, const QList<int>& sizes, const QString& path)
{
    QList<QByteArray> images;
    for (const int size : sizes) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        if (!scaledTo(source, size).save(&png, "PNG"))
            return false;
        images.append(png.data());
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(sizes.size());
    quint32 offset = 6 + 16 * quint32(sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const quint8 side = sizes[i] >= 256 ? 0 : quint8(sizes[i]); // 0 stands for 256
        out << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32) << quint32(images[i].size())
            << offset;
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : images)
        out.writeRawData(image.constData(), int(image.size()));
    return out.status() == QDataStream::Ok;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: vireo-scale-icon SOURCE.png OUT_DIR SIZE...\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "vireo-scale-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString target = QString::fromLocal8Bit(argv[2]);
    if (target.endsWith(QLatin1String(".ico"))) {
        QList<int> sizes;
        for (int k = 3; k < argc; ++k)
            sizes.append(QString::fromLocal8Bit(argv[k]).toInt());
        if (sizes.contains(0) || !writeIco(source, sizes, target)) {
            std::fprintf(stderr, "vireo-scale-icon: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    const QDir out(target);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "vireo-scale-icon: cannot create %s\n", argv[2]);
        return 1;
    }
    for (int k = 3; k < argc; ++k) {
        const int size = QString::fromLocal8Bit(argv[k]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "vireo-scale-icon: bad size %s\n", argv[k]);
            return 2;
        }
        const QImage scaled = scaledTo(source, size);
        const QString path = out.filePath(QStringLiteral("%1x%1.png").arg(size));
        if (!scaled.save(path, "PNG")) {
            std::fprintf(stderr, "vireo-scale-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
