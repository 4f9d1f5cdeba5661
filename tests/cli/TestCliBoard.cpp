// vireo ping, read and write run as a user runs them, over a pseudo-terminal
// against the virtual board. These tests run in real time.
#include "BoardImage.h"
#include "BoardOnPty.h"
#include "DataFile.h"
#include "Product.h"
#include "ProductExpectations.h"
#include "VireoRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <grp.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFiller = QStringLiteral("BEEF"); // board words no transfer may touch

int lastWord(int product)
{
    return expectedOf(product).lastWord;
}
QString defaultFile(int product)
{
    return QString::fromLatin1(expectedOf(product).defaultFile);
}

using Run = VireoRun;

struct Board {
    std::unique_ptr<PtyBoard> pty;
    QString path() const { return pty->slavePath(); }
    BoardImage memory() const { return pty->memory(); }
};

// How the board's bytes reach vireo: at a character rate (0: at once), a gap between
// read replies, through an adapter with a latency timer.
struct Wire {
    int baud = 0;
    std::chrono::milliseconds gap{5};
    std::chrono::milliseconds latency{0};
};

// A board whose words above N hold kFiller, so a transfer that strays past N shows.
Board startBoard(int product, BoardImage memory, BoardFaults faults = {}, Wire wire = {})
{
    for (int k = lastWord(product) + 1; k <= BoardImage::kLastIndex; ++k)
        memory.setWord(k, kFiller);
    BoardSetup setup;
    setup.product = product;
    setup.faults = faults;
    setup.replyGap = wire.gap;
    return Board{boardOnPty(setup, memory, wire.baud, wire.latency)};
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
        ::startVireo(p, args, dir_.path(), env);
    }

    Run vireo(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        return runVireo(args, dir_.path(), env);
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
        for (const ProductInfo& info : Product::kAll) {
            const int product = info.index;
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

    // Read replies that reach vireo together (sent back to back, or handed over in an
    // adapter's 16 ms batches) are each read as their own word, and writes through the
    // adapter arrive whole: one product of each family.
    void repliesThatArriveTogether_data()
    {
        QTest::addColumn<int>("product");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("gap");
        QTest::addColumn<int>("latency");
        for (const BoardFamily* family : kBoardFamilies) {
            const auto first = std::find_if(Product::kAll.begin(), Product::kAll.end(), [&](const ProductInfo& p) {
                return p.family == *family && p.lastWord == 98;
            });
            if (first == Product::kAll.end())
                continue;
            const int product = first->index;
            const int baud = first->line.baudRate;
            QTest::addRow("product %d, back to back", product) << product << 0 << 0 << 0;
            QTest::addRow("product %d, 16 ms adapter", product) << product << baud << 2 << 16;
        }
    }
    void repliesThatArriveTogether()
    {
        QFETCH(int, product);
        QFETCH(int, baud);
        QFETCH(int, gap);
        QFETCH(int, latency);
        const Wire wire{baud, std::chrono::milliseconds(gap), std::chrono::milliseconds(latency)};
        const QString p = QString::number(product);
        const BoardImage onBoard = editedImage(product, "2468");
        Board board = startBoard(product, onBoard, {}, wire);
        const QString out = file(QStringLiteral("together%1-%2-%3.tv2").arg(product).arg(gap).arg(latency));
        const Run read = vireo({"read", "--raw", "--product", p, "--port", board.path(), "-o", out});
        QVERIFY2(read.status == 0, read.err.constData());
        const BoardImage saved = load(out);
        for (int k = 0; k <= 98; ++k)
            QCOMPARE(saved.word(k), onBoard.word(k));

        const BoardImage toWrite = editedImage(product, "1357");
        Board writer = startBoard(product, VirtualBoard::factoryMemory(product), {}, wire);
        const Run write = vireo({"write", QStringLiteral("edited%1-1357.tv2").arg(product), "--product", p, "--port",
                                 writer.path(), "--verify"});
        QVERIFY2(write.status == 0, write.err.constData());
        for (int k = 0; k <= 98; ++k)
            QCOMPARE(writer.memory().word(k), toWrite.word(k));
        QCOMPARE(writer.memory().word(99), kFiller);
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

        // An answer that is no configuration is said so, and kept only with --raw. (An
        // Alinco board's link check takes any answer at all.)
        Board noisy = startBoard(1, VirtualBoard::factoryMemory(1), fault("garbage"));
        const auto readNoise = [&](QStringList extra) {
            return vireo(QStringList{"read", "--product", "1", "--port", noisy.path(), "-o", out} + extra);
        };
        r = readNoise({});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("The board's answer is not a configuration: "), r.err.constData());
        QVERIFY(r.err.contains(" of 99 words are not four hexadecimal digits. Check that the product in the "
                               "Product menu is the board's, and the cable."));
        QVERIFY(!QFile::exists(out));
        r = readNoise({"--raw"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.contains("warning: The board's answer is not a configuration: "));
        QVERIFY(r.err.contains("The words are saved as they came (--raw)."));
        QVERIFY(QFile::remove(out));

        r = vireo({"read", "--product", "4", "--port", file("no-such-port"), "-o", out});
        QCOMPARE(r.status, 5);
        QVERIFY(r.err.contains("no-such-port is not there: the adapter is unplugged or was renamed"));

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

    // The doctor names the layer that failed, says what to do, and exits as ping would.
    void doctorSaysWhichLayerFailed()
    {
        struct Case {
            const char* name;
            int boardProduct; // 0: no board
            const char* boardFault;
            QStringList args;
            int status;
            QStringList says;
            QStringList never = {};
        };
        const QString nothingBack = "What to do: Nothing comes back from the board: check the cable, the board's "
                                    "power, and that the board is not still busy after a cancelled transfer "
                                    "(switch it off and on).";
        // One row a case, as written by hand:
        // clang-format off
        const QList<Case> cases{
            {"no such device", 0, "", {"--product", "4", "--port", file("no-such-port")}, 5,
             {"1. The port: FAILED", "no-such-port: there is no such device.",
              "What to do: Plug the adapter in, or choose the port it is on in the Serial Port menu (vireo: --port)."}},
            {"silent board", 4, "silent", {"--product", "4"}, 1,
             {"2. Opening the port: passed\n   Opened at 4800,n,8,2.", "3. An answer at all: FAILED", nothingBack,
              "Tried the other families' wake-ups: Alinco at 4800 baud and Icom at 9600 baud. None got a board's "
              "answer.", "Step 3 failed."}},
            {"garbage board", 4, "garbage", {"--product", "4"}, 1,
             {"3. An answer at all: passed", "4. The family's answer: FAILED",
              "The answer is not a Vertex board's (one that starts with E5).",
              "What to do: The board answers, but as no board family does"}},
            {"Icom board, Vertex chosen", 3, "", {"--product", "5"}, 1,
             {"3. An answer at all: FAILED", "What to do: The board does not answer the wake-up of the product "
              "chosen: step 4 says which board answers.",
              "What to do: A board answers as an Icom board at 9600 baud: choose Icom UT-105 or Icom UT-117 "
              "(Vireo) in the Product menu.\nStep 3 failed."},
             {nothingBack}},
            {"Vertex board, Icom chosen", 4, "", {"--product", "2"}, 1,
             {"What to do: A board answers as an Alinco or Vertex board at 4800 baud: choose Alinco EJ-39D, "
              "Vertex VT-60 (Vireo) or Vertex VTP-50 in the Product menu. Alinco and Vertex boards share their "
              "wake-up: the answer cannot tell them apart.\nStep 3 failed."}},
            {"refused code", 4, "wrongcode", {"--product", "4", "--code", "12345"}, 3,
             {"4. The family's answer: passed", "5. The access code: FAILED\n   The board refuses the access code 12345",
              "Step 5 failed."}},
            {"healthy Alinco", 1, "", {"--product", "1"}, 0,
             {"4. The family's answer: passed\n   The answer is an Alinco board's (one that has at least one byte). "
              "Alinco and Vertex boards share their wake-up: the answer cannot tell them apart.",
              "The board accepts the access code 47203.\nEvery step passed."}},
            {"healthy Icom", 3, "", {"--product", "3"}, 0,
             {"3. An answer at all: passed\n   The board answers the wake-up FE FE EE EF E8 20 24 00 00 00 FD "
              "(sent at 9600,n,8,2) with FE FE EF EE E8 20 24 00 00 00 31 FD.",
              "The answer is an Icom board's (one that ends in 31 FD).", "Every step passed."}},
            {"healthy Vertex", 4, "", {"--product", "4", "--report", file("doctor.txt")}, 0,
             {"1. The port: passed", "No other program holds it open.", "Every step passed."}},
        };
        // clang-format on
        for (const Case& c : cases) {
            Board board;
            QStringList args = QStringList{"doctor"} + c.args;
            if (c.boardProduct) {
                board = startBoard(c.boardProduct, VirtualBoard::factoryMemory(c.boardProduct),
                                   *c.boardFault ? fault(c.boardFault) : BoardFaults{});
                args << "--port" << board.path();
            }
            const Run r = vireo(args);
            QVERIFY2(r.status == c.status, qPrintable(QString(c.name) + ": " + r.out + r.err));
            for (const QString& text : c.says)
                QVERIFY2(r.out.contains(text.toUtf8()), qPrintable(QString(c.name) + ": " + r.out));
            for (const QString& text : c.never)
                QVERIFY2(!r.out.contains(text.toUtf8()), qPrintable(QString(c.name) + ": " + r.out));
            if (c.boardProduct)
                QCOMPARE(board.pty->received().isEmpty(), false);
        }
        // --trace before the command, as for the other board commands.
        QCOMPARE(
            vireo({"--trace", file("doctor-trace.txt"), "doctor", "--product", "4", "--port", file("none")}).status, 5);
        QVERIFY(QFile::exists(file("doctor-trace.txt")));
        QFile report(file("doctor.txt"));
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QByteArray text = report.readAll();
        for (const char* part : {"Vireo Logic Board Programmer ", ", Qt 6.", "Operating system: ", "\nSerial ports:\n",
                                 "\nSteps:\n1. The port: passed", "\nSerial trace:\n", "SET   4800,n,8,2",
                                 "TX    E5 2C\n", "TX    34 37 32 30 33 0D\n"})
            QVERIFY2(text.contains(part), part);
    }

    // A port this user may not open, and one another program holds, fail the first step.
    // The holder is named as its command line names it, not by the system's 15 characters.
    void doctorFindsThePortRefused()
    {
        Board held = startBoard(4, VirtualBoard::factoryMemory(4));
        const QString longName = file("vireo-programmer-holding");
        QVERIFY(QFile::link(QStringLiteral("/bin/sleep"), longName));
        QProcess holder;
        holder.setStandardInputFile(held.path());
        holder.start(longName, {"30"});
        QVERIFY(holder.waitForStarted());
        Run r = vireo({"doctor", "--product", "4", "--port", held.path()});
        QCOMPARE(r.status, 5);
        QVERIFY2(r.out.contains(QStringLiteral("vireo-programmer-holding (process %1) holds it open.")
                                    .arg(holder.processId())
                                    .toUtf8()),
                 r.out);
        QVERIFY(r.out.contains("What to do: Close the program that holds the port, or choose another port."));
        QVERIFY(held.pty->received().isEmpty());
        holder.kill();
        holder.waitForFinished();

        if (::geteuid() != 0)
            QSKIP("needs root to let the line to one group and run the doctor as someone outside it");
        Board locked = startBoard(4, VirtualBoard::factoryMemory(4));
        const QByteArray path = QFile::encodeName(locked.path());
        const group* dialout = ::getgrnam("dialout");
        QVERIFY(dialout && ::chown(path.constData(), 0, dialout->gr_gid) == 0 && ::chmod(path.constData(), 0660) == 0);
        QProcess p;
        p.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
        ::startVireo(p, {"doctor", "--product", "4", "--port", locked.path()}, "/");
        QVERIFY(p.waitForFinished(20000));
        const QByteArray out = p.readAllStandardOutput();
        QVERIFY2(p.exitCode() == 5, out + p.readAllStandardError());
        QVERIFY2(out.contains(", owner root, group dialout, mode 0660; nobody may not open it."), out);
        QVERIFY2(out.contains("What to do: Join the group dialout (sudo usermod -aG dialout nobody), then log out "
                              "and in again."),
                 out);
        QVERIFY(locked.pty->received().isEmpty());
    }

    // Ctrl+C during a read cancels it: status 4, port closed, no file; during the doctor too.
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

        // And the doctor, waiting for the wake-up's answer.
        Board quiet = startBoard(4, VirtualBoard::factoryMemory(4), fault("silent"));
        QProcess doctor;
        startVireo(doctor, {"doctor", "--product", "4", "--port", quiet.path()});
        QTRY_VERIFY_WITH_TIMEOUT(!quiet.pty->received().isEmpty(), 10000);
        ::kill(static_cast<pid_t>(doctor.processId()), SIGINT);
        QVERIFY(doctor.waitForFinished(10000));
        QCOMPARE(doctor.exitCode(), 4);
        QVERIFY(doctor.readAllStandardOutput().endsWith("Cancelled.\n"));
    }

    // Product and port from Config.ini, COM1 mapped to the board by VIREO_COM1, at the real line rate.
    void settingsFileAndComNameAtLineRate()
    {
        Board board = startBoard(5, editedImage(5, "5555"), {}, {.baud = 4800});
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
