// vireo backups: the backups the window and vireo took of every read and write,
// newest first, so a technician can find the file to write back.
#include "CliSupport.h"
#include "Commands.h"

#include "Backups.h"
#include "Product.h"

#include <QDir>

namespace Cli {

namespace {

const QString kBackupsUsage = QStringLiteral("vireo backups [--product N]");

} // namespace

int backups(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the backups of reads and writes newest first, one a line: time, product, kind (read, write, "
        "before-write), primary code, file. The folder is $VIREO_BACKUP_DIR, else vireo/backups in the user's "
        "data folder."));
    parser.addOption(productArgument(QStringLiteral("Only the backups of product %1.")));
    int status = kInvalid;
    if (!parseCommand(parser, QStringLiteral("backups"), kBackupsUsage, 0, {}, args, &status))
        return status;
    std::optional<int> product;
    if (parser.isSet(QStringLiteral("product"))) {
        product = productOption(parser.value(QStringLiteral("product")), QStringLiteral("--product"));
        if (!product)
            return kInvalid;
    }
    for (const Backups::Entry& e : Backups::list(product)) {
        const QString code = e.primaryCode.isEmpty() ? QStringLiteral("-") : e.primaryCode;
        out() << e.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << "  "
              << QString::fromLatin1(Product::info(e.product).shortName).leftJustified(6) << "  "
              << Backups::kindName(e.kind).leftJustified(12) << "  " << code.leftJustified(4) << "  "
              << QDir::toNativeSeparators(e.path) << "\n";
    }
    out().flush();
    return kOk;
}

} // namespace Cli
