#include "Restore.h"

#include "Backups.h"
#include "DataFile.h"
#include "LinkOperations.h"
#include "Product.h"
#include "WordCodecs.h"

#include <QFileInfo>

namespace Restore {

Words exactWords(const QString& path, int product)
{
    Words w;
    const QString name = QFileInfo(path).fileName();
    const DataFile::LoadResult loaded = DataFile::load(path, w.image, DataFile::MarkerRule::Required);
    if (!loaded.ok()) {
        const bool unmarked = loaded.error == DataFile::Error::MissingMarker;
        w.problem = (unmarked ? name + QStringLiteral(": ") : QString()) + loaded.message;
        return w;
    }
    const int last = LinkOperations::lastWord(product);
    if (loaded.count <= last) {
        w.problem = QStringLiteral("%1 holds %2 words; %3 sends words 0 to %4")
                        .arg(name)
                        .arg(loaded.count)
                        .arg(QLatin1String(Product::info(product).caption))
                        .arg(last);
        return w;
    }
    for (int k = 0; k <= last; ++k) {
        if (!WordCodec::isWellFormed(w.image.word(k))) {
            w.problem = QStringLiteral("word %1 of %2 is \"%3\", not four hexadecimal digits (0-9, A-F)")
                            .arg(k)
                            .arg(name, w.image.word(k));
            return w;
        }
    }
    return w;
}

Words backupWords(const QString& path, int product)
{
    // Another product's backup belongs to another memory map (a VTP-50's holds no tags,
    // a VT-60's header is 20E5): it is refused before any byte is sent.
    const std::optional<Backups::Entry> backup = Backups::named(path);
    if (backup && backup->product != product) {
        Words w;
        w.problem = QStringLiteral("%1 is a backup of the %2, not of the %3")
                        .arg(QFileInfo(path).fileName(), QLatin1String(Product::info(backup->product).caption),
                             QLatin1String(Product::info(product).caption));
        return w;
    }
    return exactWords(path, product);
}

} // namespace Restore
