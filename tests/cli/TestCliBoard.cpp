// vireo ping, read and write run as a user runs them, over a pseudo-terminal
// against the virtual board. These tests run in real time.
#include "BoardImage.h"
#include "DataFile.h"
#include "PtyBoard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

constexpr int kProducts[] = {1, 2, 3, 4, 5};
const QString kFiller = QStringLiteral("BEEF"); // board words no transfer may touch

int lastWord(int product) { return product == 3 || product == 4 ? 249 : 98; }
QString defaultFile(int product) { return product == 2 || product == 3 ? "defaulti.tv2" : "default.tv2"; }

struct Run {
    int status = -1;
    QByteArray err;
};

struct Board {
    std::unique_ptr<PtyBoard> pty;
    QString path() const { return pty->slavePath(); }
    BoardImage memory() const { return pty->memory(); }
};

// A board whose words above N hold kFiller, so a transfer that strays past N shows.
Board startBoard(int product, BoardImage memory, BoardFaults faults = {}, int baud = 0)
{
    for (int k = lastWord(product) + 1; k <= BoardImage::kLastIndex; ++k)
        memory.setWord(k, kFiller);
    BoardSetup setup;
    setup.product = product;
    setup.faults = faults;
    // The board sends its next read reply a gap after it saw the last one leave the
    // programmer's queue, and vireo takes all that is pending as one reply. The
    // queue also reads empty while a reply is still on its way through the
    // pseudo-terminal, which a busy machine can hold up for tens of milliseconds:
    // the gap must outlast that, or two replies arrive as one.
    setup.replyGap = std::chrono::milliseconds(60);
    Board b{std::make_unique<PtyBoard>(VirtualBoard::create(setup, memory), baud)};
    const std::optional<QString> failed = b.pty->start();
    if (failed)
        qWarning() << *failed;
    return b;
}

BoardImage load(const QString& path)
{
    BoardImage image;
    const DataFile::LoadResult r = DataFile::load(path, image, DataFile::MarkerRule::NotChecked);
    if (!r.ok())
        qWarning() << path << r.message;
    return image;
}

BoardFaults fault(const char* name)
{
    BoardFaults f;
    f.add(QString::fromLatin1(name));
    return f;
}

} // namespace

class TestCliBoard : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString file(const QString& name) const { return dir_.filePath(name); }

    void startVireo(QProcess& p, const QStringList& args,
                    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        p.setWorkingDirectory(dir_.path());
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("VIREO_BIN_DIR") + QStringLiteral("/vireo"), args);
    }

    Run vireo(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        QProcess p;
        startVireo(p, args, env);
        Run r;
        if (!p.waitForFinished(120000))
            return r;
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.err = p.readAllStandardError();
        return r;
    }

    // What the editor makes of the default file with the primary code changed: a file
    // the window reads and saves back word for word.
    BoardImage editedImage(int product, const QString& primaryCode)
    {
        const QString name = QStringLiteral("edited%1-%2.tv2").arg(product).arg(primaryCode);
        const Run r = vireo({"convert", defaultFile(product), name, "--product", QString::number(product), "--set",
                             "PrimaryCode=" + primaryCode});
        if (r.status != 0)
            qWarning() << r.err;
        return load(file(name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        qputenv("VIREO_BACKUP_DIR", file("backups").toLocal8Bit()); // not the user's own backups
        const QString data = qEnvironmentVariable("VIREO_SOURCE_DIR") + QStringLiteral("/data/");
        for (const char* name : {"default.tv2", "defaulti.tv2"})
            QVERIFY(QFile::copy(data + name, file(name)));
    }

    // Each product: link check, read into a file, write a file back; only words 0..N travel.
    void pingReadWriteEveryProduct()
    {
        for (int product : kProducts) {
            const QString p = QString::number(product);
            const int n = lastWord(product);
            const BoardImage start = load(file(defaultFile(product)));

            const BoardImage onBoard = editedImage(product, "1234");
            Board reader = startBoard(product, onBoard);
            QCOMPARE(vireo({"ping", "--product", p, "--port", reader.path()}).status, 0);
            const QString out = file(QStringLiteral("read%1.tv2").arg(product));
            const Run read = vireo({"read", "--product", p, "--port", reader.path(), "-o", out});
            QVERIFY2(read.status == 0, qPrintable(p + ": " + read.err));
            const BoardImage saved = load(out);
            for (int k = 0; k <= 250; ++k)
                QCOMPARE(saved.word(k), k <= n ? onBoard.word(k) : start.word(k));

            const BoardImage toWrite = editedImage(product, "4321");
            Board writer = startBoard(product, VirtualBoard::factoryMemory(product));
            const QString in = QStringLiteral("edited%1-4321.tv2").arg(product);
            const Run write = vireo({"write", in, "--product", p, "--port", writer.path()});
            QVERIFY2(write.status == 0, qPrintable(p + ": " + write.err));
            const BoardImage after = writer.memory();
            for (int k = 0; k <= BoardImage::kLastIndex; ++k)
                QCOMPARE(after.word(k), k <= n ? toWrite.word(k) : kFiller);
        }
    }

    // What a board held goes back: a factory VT-60 read into a file is written back, and
    // converted, word for word (its speed dials hold 0000, which the boxes never refuse).
    void whatABoardHeldGoesBack()
    {
        Board board = startBoard(4, VirtualBoard::factoryMemory(4));
        const QString read = file("factory4.tv2");
        QCOMPARE(vireo({"read", "--product", "4", "--port", board.path(), "-o", read}).status, 0);
        const BoardImage saved = load(read);
        QCOMPARE(saved.word(46), QStringLiteral("0000"));
        const Run write = vireo({"write", read, "--product", "4", "--port", board.path()});
        QVERIFY2(write.status == 0, write.err.constData());
        for (int k = 0; k <= 249; ++k)
            QCOMPARE(board.memory().word(k), saved.word(k));
        const QString converted = file("converted4.tv2");
        const Run convert = vireo({"convert", read, converted, "--product", "4"});
        QVERIFY2(convert.status == 0, convert.err.constData());
        QFile a(read), b(converted);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
    }

    // --raw moves words the editor would change (factory speed-dial words "0000") as they are,
    // and still refuses a file that is not a board data file.
    void rawTransfersTakeWordsAsTheyAre()
    {
        for (int product : {3, 5}) {
            const QString p = QString::number(product);
            const int n = lastWord(product);
            BoardImage memory = VirtualBoard::factoryMemory(product);
            Board board = startBoard(product, memory);
            const QString out = file(QStringLiteral("raw%1.tv2").arg(product));
            QCOMPARE(vireo({"read", "--raw", "--product", p, "--port", board.path(), "-o", out}).status, 0);
            const BoardImage saved = load(out);
            const BoardImage start = load(file(defaultFile(product)));
            for (int k = 0; k <= 250; ++k)
                QCOMPARE(saved.word(k), k <= n ? memory.word(k) : start.word(k));

            BoardImage numbered = memory;
            for (int k = 20; k <= n; ++k)
                numbered.setWord(k, QStringLiteral("%1").arg(k * 7, 4, 16, QLatin1Char('0')).toUpper());
            const QString in = file(QStringLiteral("numbered%1.tv2").arg(product));
            QVERIFY(DataFile::save(in, numbered).ok());
            QCOMPARE(vireo({"write", "--raw", in, "--product", p, "--port", board.path()}).status, 0);
            for (int k = 0; k <= BoardImage::kLastIndex; ++k)
                QCOMPARE(board.memory().word(k), k <= n ? numbered.word(k) : kFiller);

            numbered.setWord(n, QStringLiteral("12G4"));
            QVERIFY(DataFile::save(in, numbered).ok());
            const QByteArray before = board.pty->received();
            QCOMPARE(vireo({"write", "--raw", in, "--product", p, "--port", board.path()}).status, 2);
            QCOMPARE(board.pty->received(), before); // refused before the port was touched
        }
    }

    // Every failure has its own exit status, and OUT is never created.
    void failuresSayWhatHappened()
    {
        const QString out = file("failed.tv2");
        const auto read = [&](const Board& b, QStringList extra = {}) {
            return vireo(QStringList{"read", "--product", "4", "--port", b.path(), "-o", out} + extra);
        };

        Board refusing = startBoard(4, VirtualBoard::factoryMemory(4), fault("wrongcode"));
        Run r = vireo({"ping", "--product", "4", "--port", refusing.path()});
        QCOMPARE(r.status, 3);
        QVERIFY(r.err.contains("The Access Code entered is invalid."));
        QCOMPARE(read(refusing).status, 3);

        Board silent = startBoard(4, VirtualBoard::factoryMemory(4), fault("silent"));
        r = read(silent);
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("Unable to Establish Communications Link with Logic Board."));
        QCOMPARE(read(silent, {"--no-link-check", "--timeout", "1"}).status, 4);

        Board unplugged = startBoard(4, VirtualBoard::factoryMemory(4), fault("unplug:40"));
        QCOMPARE(read(unplugged).status, 1);

        r = vireo({"read", "--product", "4", "--port", file("no-such-port"), "-o", out});
        QCOMPARE(r.status, 5);
        QVERIFY(r.err.contains("not found"));

        BoardImage unmarked = load(file("default.tv2"));
        unmarked.setWord(0, QStringLiteral("00E6"));
        QVERIFY(DataFile::save(file("unmarked.tv2"), unmarked).ok());
        Board untouched = startBoard(4, VirtualBoard::factoryMemory(4));
        r = vireo({"write", "unmarked.tv2", "--product", "4", "--port", untouched.path()});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("Invalid Tervalo File"));
        QVERIFY(untouched.pty->received().isEmpty());

        QCOMPARE(vireo({"ping", "--port", untouched.path()}).status, 2); // no product anywhere
        QVERIFY(!QFile::exists(out));
    }

    // Ctrl+C during a read cancels it: status 4, port closed, no file.
    void interruptCancelsTheRead()
    {
        Board silent = startBoard(5, VirtualBoard::factoryMemory(5), fault("silent"));
        QProcess p;
        startVireo(p, {"read", "--no-link-check", "--product", "5", "--port", silent.path(), "-o", "cancelled.tv2"});
        QVERIFY(p.waitForStarted());
        // The read command "02" CR has reached the board: vireo is waiting for the answer.
        QTRY_COMPARE_WITH_TIMEOUT(silent.pty->received().size(), qsizetype(3), 10000);
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 4);
        QVERIFY(p.readAllStandardError().contains("Data Transfer Cancelled..."));
        QVERIFY(!QFile::exists(file("cancelled.tv2")));
    }

    // Product and port from Config.ini, COM1 mapped to the board by VIREO_COM1, at the real line rate.
    void settingsFileAndComNameAtLineRate()
    {
        Board board = startBoard(5, editedImage(5, "5555"), {}, 4800);
        QFile config(file("Config.ini"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("1\r\n5\r\n");
        config.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VIREO_COM1", board.path());
        QCOMPARE(vireo({"ping"}, env).status, 0);
        const Run r = vireo({"read", "-o", "rate.tv2"}, env);
        QVERIFY2(r.status == 0, r.err);
        QCOMPARE(load(file("rate.tv2")).word(7), board.memory().word(7));
        QFile::remove(file("Config.ini"));
    }
};

QTEST_GUILESS_MAIN(TestCliBoard)
#include "TestCliBoard.moc"
