// vireo ping, read and write: the Clone menu's link check, read and write, run
// over the serial port as the window runs them, for scripts and batch programming.
#include "CliLink.h"
#include "CliSupport.h"
#include "Commands.h"

#include "DataFile.h"
#include "Editor.h"
#include "LinkOperations.h"
#include "MemoryMap.h"
#include "Product.h"
#include "WordCodecs.h"

#include <QFileInfo>

namespace Cli {

namespace {

const QString kPingUsage = QStringLiteral("vireo ping [--product N] [--port PORT] [--code CODE] [--trace FILE]");
const QString kReadUsage = QStringLiteral("vireo read -o OUT.tv2 [--product N] [--port PORT] [--code CODE] [--raw] "
                                          "[--no-link-check] [--timeout SECONDS] [--trace FILE]");
const QString kWriteUsage = QStringLiteral(
    "vireo write FILE.tv2 [--product N] [--port PORT] [--code CODE] [--raw] "
    "[--no-link-check] [--timeout SECONDS] [--verify] [--backup-first] [--trace FILE]");

const QString kBackupHelp = QStringLiteral(
    "Every read and write that reached the transfer is backed up to a board data file in the backup folder\n"
    "($VIREO_BACKUP_DIR, else vireo/backups in the user's data folder); backups over a year old are deleted.\n"
    "vireo backups lists them.");

// Opens the line (with its trace) under Ctrl+C's guard and runs `body` on it; the
// port is closed again whatever the end.
int onBoardLine(const Target& t, const QString& command, const std::function<int(BoardLine&)>& body)
{
    InterruptGuard guard;
    BoardLine line(t);
    if (const int traced = line.startTrace(command); traced != kOk)
        return traced;
    if (const int opened = line.open(command); opened != kOk)
        return opened;
    return body(line);
}

// "write --raw": the file's words 0..N exactly, each four hexadecimal digits, marker in word 0.
std::optional<BoardImage> rawFileImage(const QString& path, const Target& t, const EditorSession& start)
{
    BoardImage image;
    const DataFile::LoadResult loaded = start.openCopy(path, image);
    if (!reportOpen(loaded, path, QStringLiteral("write")))
        return std::nullopt;
    const int last = LinkOperations::lastWord(t.product);
    if (loaded.count <= last) {
        report(QStringLiteral("write"), QStringLiteral("%1 holds %2 words; %3 sends words 0 to %4")
                                            .arg(QFileInfo(path).fileName())
                                            .arg(loaded.count)
                                            .arg(QString::fromLatin1(Product::info(t.product).caption))
                                            .arg(last));
        return std::nullopt;
    }
    for (int k = 0; k <= last; ++k) {
        if (!WordCodec::isWellFormed(image.word(k))) {
            report(QStringLiteral("write"),
                   QStringLiteral("word %1 of %2 is \"%3\", not four hexadecimal digits (0-9, A-F)")
                       .arg(k)
                       .arg(QFileInfo(path).fileName(), image.word(k)));
            return std::nullopt;
        }
    }
    return image;
}

} // namespace

int ping(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the link check of \"Establish Comm Link to Logic Board\": wakes the board and hands it the "
        "access code."));
    addTargetOptions(parser, false);
    int status = kInvalid;
    const std::optional<Target> t = parseBoardCommand(parser, {QStringLiteral("ping"), kPingUsage, 0, false}, args,
                                                      &status);
    if (!t)
        return status;
    const EditorSession start = startUp(t->product);
    return onBoardLine(*t, QStringLiteral("ping"), [&](BoardLine& line) {
        const BoardJob::Request request{.kind = BoardJob::Kind::LinkCheck,
                                        .product = t->product,
                                        .accessCode = accessCode(*t, start)};
        const int pinged = runJob(line, *t, QStringLiteral("ping"), request);
        if (pinged == kOk)
            out() << "Communications Link is Established\n";
        return pinged;
    });
}

int read(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads the board's words 0..N (N = 98, or 249 for products 3 and 4) and saves OUT as the window would "
        "save after \"Read from Logic Board\" and \"Save As...\": the product's default data file in the working "
        "directory fills the words the board does not send. OUT is written only after a complete read."));
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                      QStringLiteral("The board data file to write."),
                      QStringLiteral("OUT")});
    addTargetOptions(parser, true);
    int status = kInvalid;
    const std::optional<Target> t =
        parseBoardCommand(parser, {QStringLiteral("read"), kReadUsage, 0, true, kBackupHelp}, args, &status);
    if (!t)
        return status;
    if (!parser.isSet(QStringLiteral("o"))) {
        err() << "Usage: " << kReadUsage << "\n";
        return kInvalid;
    }
    const QString outPath = parser.value(QStringLiteral("o"));
    EditorSession w = startUp(t->product);
    // The transfer works on a copy; what came from the board is backed up as it came,
    // even from a read that did not finish.
    const BoardJob::Request request{.kind = BoardJob::Kind::Read,
                                    .product = t->product,
                                    .accessCode = accessCode(*t, w),
                                    .linkCheckFirst = t->linkCheck,
                                    .image = w.image,
                                    .keepNoise = t->raw};
    BoardJob::Result result;
    status = onBoardLine(*t, QStringLiteral("read"),
                         [&](BoardLine& line) { return runJob(line, *t, QStringLiteral("read"), request, &result); });
    if (status != kOk)
        return status;
    const BoardImage& image = result.image;
    DataFile::SaveResult saved;
    if (t->raw) {
        if (result.wordsNotHex > 0)
            report(QStringLiteral("read"), QStringLiteral("warning: ") + BoardJob::notAConfiguration(result)
                                               + QStringLiteral(" The words are saved as they came (--raw)."));
        saved = DataFile::save(outPath, image);
    } else {
        // The window after the read, saved as Save As saves it.
        w.show(image);
        if (w.checkSave().invalidImage) {
            report(QStringLiteral("read"), QStringLiteral("word 0 from the board is \"%1\": ").arg(image.word(0))
                                               + DataFile::kInvalidFileMessage);
            return kInvalid;
        }
        saved = w.save(outPath);
    }
    if (!saved.ok()) {
        report(QStringLiteral("read"), saved.message);
        return kInvalid;
    }
    return kOk;
}

int write(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes FILE to the board as the window would after \"Open...\" and \"Write to Logic Board\": words 0..N "
        "(N = 98, or 249 for products 3 and 4) as the editor reads them from the file."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A board data file (*.tv2)."));
    addTargetOptions(parser, true);
    parser.addOption({QStringLiteral("verify"),
                      QStringLiteral("After a complete write, read the board back and list every setting it holds "
                                     "otherwise; ends with \"Verify passed\" or \"Verify FAILED\" (exit 6).")});
    parser.addOption({QStringLiteral("backup-first"),
                      QStringLiteral("First read the board into a before-write backup, so the write can be undone "
                                     "by writing that file back; nothing is written when the backup fails.")});
    int status = kInvalid;
    const std::optional<Target> t =
        parseBoardCommand(parser, {QStringLiteral("write"), kWriteUsage, 1, true, kBackupHelp}, args, &status);
    if (!t)
        return status;
    const QString path = parser.positionalArguments().front();
    EditorSession w = startUp(t->product);
    const QString code = accessCode(*t, w); // the code in the box before the file is opened
    BoardImage image;
    if (t->raw) {
        const std::optional<BoardImage> file = rawFileImage(path, *t, w);
        if (!file)
            return kInvalid;
        image = *file;
    } else {
        if (!reportOpen(w.open(path), path, QStringLiteral("write")))
            return kInvalid;
        const std::optional<BoardImage> outgoing = outgoingImage(w, QStringLiteral("write"));
        if (!outgoing)
            return kInvalid;
        image = *outgoing;
    }
    const BoardJob::Request request{.kind = BoardJob::Kind::Write,
                                    .product = t->product,
                                    .accessCode = code,
                                    .linkCheckFirst = t->linkCheck,
                                    .image = image,
                                    .verify = parser.isSet(QStringLiteral("verify")),
                                    .backUpFirst = parser.isSet(QStringLiteral("backup-first"))};
    return onBoardLine(*t, QStringLiteral("write"),
                       [&](BoardLine& line) { return runJob(line, *t, QStringLiteral("write"), request); });
}

} // namespace Cli
