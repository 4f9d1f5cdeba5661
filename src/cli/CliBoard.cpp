// vireo ping, read and write: the Clone menu's link check, read and write, run
// over the serial port as the window runs them, for scripts and batch programming.
#include "CliLink.h"
#include "CliSupport.h"
#include "Commands.h"

#include "Backups.h"
#include "DataFile.h"
#include "Product.h"
#include "Restore.h"

#include <QFileInfo>

namespace Cli {

namespace {

const QString kPingUsage = QStringLiteral("vireo ping [--product N] [--port PORT] [--code CODE] [--trace FILE]");
const QString kReadUsage = QStringLiteral("vireo read -o OUT.tv2 [--product N] [--port PORT] [--code CODE] [--raw] "
                                          "[--no-link-check] [--timeout SECONDS] [--trace FILE]");
const QString kWriteUsage = QStringLiteral(
    "vireo write FILE.tv2 [--product N] [--port PORT] [--code CODE] [--raw] "
    "[--no-link-check] [--timeout SECONDS] [--verify] [--backup-first] [--trace FILE]");

const QString kRestoreUsage = QStringLiteral(
    "vireo restore BACKUP.tv2 [--product N] [--port PORT] [--code CODE] [--no-link-check] [--timeout SECONDS] "
    "[--verify] [--backup-first] [--trace FILE]");

const QString kBackupHelp = QStringLiteral(
    "Every read and write that reached the transfer is backed up to a board data file in the backup folder\n"
    "($VIREO_BACKUP_DIR, else vireo/backups in the user's data folder); backups over a year old are deleted.\n"
    "vireo backups lists them; vireo restore puts one back on the board exactly.");

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
    parser.setApplicationDescription(
        QStringLiteral(
            "Reads the board's words 0..N (%1) and saves OUT as the window would save after \"Read from Logic "
            "Board\" and \"Save As...\": the product's default data file in the working directory fills the words "
            "the board does not send. OUT is written only after a complete read.")
            .arg(Product::lastWordNote()));
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
    parser.setApplicationDescription(
        QStringLiteral(
            "Writes FILE to the board as the window would after \"Open...\" and \"Write to Logic Board\": words 0..N "
            "(%1) as the editor reads them from the file.")
            .arg(Product::lastWordNote()));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A board data file (*.tv2)."));
    addTargetOptions(parser, true);
    parser.addOption({QStringLiteral("verify"),
                      QStringLiteral("After a complete write, read the board back and list every setting it holds "
                                     "otherwise; ends with \"Verify passed\" or \"Verify FAILED\" (exit 6).")});
    addBackupFirstOption(parser);
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
        const Restore::Words file = Restore::exactWords(path, t->product);
        if (!file.ok()) {
            report(QStringLiteral("write"), file.problem);
            return kInvalid;
        }
        image = file.image;
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

int restore(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Puts a backup back on the board exactly: words 0..N (%1) as the backup "
            "holds them, as write --raw sends them, so that the board holds again what it held when the backup was "
            "taken. The product is the one the backup's name gives (VT-60_before-write_...tv2) unless --product is "
            "given; a backup of another product is refused before any byte is sent.")
            .arg(Product::lastWordNote()));
    parser.addPositionalArgument(QStringLiteral("BACKUP"), QStringLiteral("A backup (vireo backups lists them)."));
    addTargetOptions(parser, true, false, true, QStringLiteral("the product the backup's name gives"));
    parser.addOption({QStringLiteral("verify"),
                      QStringLiteral("After a complete restore, read the board back and list every setting and "
                                     "word it holds otherwise than the backup (exit 6).")});
    parser.addOption(
        {QStringLiteral("backup-first"),
         QStringLiteral("First read the board into a before-write backup, so that the restore can be undone in "
                        "turn; nothing is written when that backup fails.")});
    const auto productOfBackup = [](const QStringList& files) -> std::optional<int> {
        if (const std::optional<Backups::Entry> backup = Backups::named(files.value(0)))
            return backup->product;
        report(QStringLiteral("restore"),
               QStringLiteral("the name %1 does not say which product it is a backup of (as "
                              "VT-60_before-write_20261207-081502-117.tv2 does): give --product N")
                   .arg(QFileInfo(files.value(0)).fileName()));
        return std::nullopt;
    };
    int status = kInvalid;
    const std::optional<Target> t = parseBoardCommand(
        parser, {QStringLiteral("restore"), kRestoreUsage, 1, true, kBackupHelp, true, productOfBackup}, args, &status);
    if (!t)
        return status;
    const QString path = parser.positionalArguments().front();
    const Restore::Words backup = Restore::backupWords(path, t->product);
    if (!backup.ok()) {
        report(QStringLiteral("restore"), backup.problem + QStringLiteral("; nothing was sent"));
        return kInvalid;
    }
    const EditorSession start = startUp(t->product);
    const BoardJob::Request request{.kind = BoardJob::Kind::Write,
                                    .product = t->product,
                                    .accessCode = accessCode(*t, start),
                                    .linkCheckFirst = t->linkCheck,
                                    .image = backup.image,
                                    .verify = parser.isSet(QStringLiteral("verify")),
                                    .backUpFirst = parser.isSet(QStringLiteral("backup-first"))};
    return onBoardLine(*t, QStringLiteral("restore"),
                       [&](BoardLine& line) { return runJob(line, *t, QStringLiteral("restore"), request); });
}

} // namespace Cli
