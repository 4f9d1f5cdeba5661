// vireo-scale-icon SOURCE.png OUT_DIR SIZE...: writes OUT_DIR/SIZExSIZE.png for each
// size, the program's icon at the sizes desktops look for.
#include <QDir>
#include <QImage>

#include <cstdio>

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
    const QDir out(QString::fromLocal8Bit(argv[2]));
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
        const QImage scaled = source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QString path = out.filePath(QStringLiteral("%1x%1.png").arg(size));
        if (!scaled.save(path, "PNG")) {
            std::fprintf(stderr, "vireo-scale-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
