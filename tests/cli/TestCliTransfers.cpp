// vireo write --verify, the backups of reads and writes, vireo fleet and --trace,
// run as a user runs them over a pseudo-terminal against the virtual board. Real time.
#include "BoardImage.h"
#include "BoardOnPty.h"
#include "DataFile.h"
#include "LineBoard.h"
#include "VireoRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

// A Vertex board that answers one word of every read with something else than it
// holds, as a board whose memory did not take a word would.
class ForgetfulBoard final : public VirtualBoard {
public:
    ForgetfulBoard(const BoardSetup& setup, const BoardImage& memory, int word, QByteArray says)
        : VirtualBoard(setup, memory), word_(word), says_(std::move(says))
    {
    }

protected:
    void parse(char byte) override { parseLine(byte); }
    QByteArray wakeUpAnswer() const override { return answers().wakeUp; }
    QByteArray codeAnswer(bool accepted) const override { return accepted ? answers().accepted : answers().refused; }
    QByteArray readReply(int index, const QByteArray& word) const override
    {
        return (index == 0 ? answers().firstWordPrefix : QByteArray()) + (index == word_ ? says_ : word) + "\n\r";
    }
    QByteArray writeCommandAnswer() const override { return answers().writeCommand; }
    QByteArray wordAck(const QByteArray& word, bool) const override
    {
        return answers().ackPrefix + word + answers().ackEnd;
    }

private:
    static const LineBoard::Answers& answers() { return LineBoard::vertex(); }
    int word_;
    QByteArray says_;
};

BoardSetup setupFor(int product, BoardFaults faults = {})
{
    BoardSetup setup;
    setup.product = product;
    setup.faults = faults;
    return setup;
}

std::unique_ptr<PtyBoard> startBoard(int product, BoardFaults faults = {})
{
    return boardOnPty(setupFor(product, faults), VirtualBoard::factoryMemory(product));
}

BoardImage load(const QString& path)
{
    BoardImage image;
    const DataFile::LoadResult r = DataFile::load(path, image, DataFile::MarkerRule::NotChecked);
    if (!r.ok())
        qWarning() << path << r.message;
    return image;
}

// A vireo run whose prompts a test answers as a technician would.
class Session {
public:
    Session(const QString& dir, const QStringList& args) { startVireo(p_, args, dir); }
    ~Session()
    {
        if (p_.state() != QProcess::NotRunning) {
            p_.kill();
            p_.waitForFinished();
        }
    }
    // Waits until the n-th prompt containing `text` was shown, then types `line` and Enter.
    bool answer(const QByteArray& text, int n, const QByteArray& line)
    {
        QElapsedTimer timer;
        timer.start();
        while (err_.count(text) < n) {
            if (timer.hasExpired(60000) || p_.state() == QProcess::NotRunning)
                return false;
            p_.waitForReadyRead(100);
            err_ += p_.readAllStandardError();
        }
        p_.write(line + "\n");
        return p_.waitForBytesWritten(5000);
    }
    int finish()
    {
        p_.closeWriteChannel();
        if (!p_.waitForFinished(60000))
            return -1;
        err_ += p_.readAllStandardError();
        return p_.exitStatus() == QProcess::NormalExit ? p_.exitCode() : -1;
    }
    QProcess& process() { return p_; }
    QByteArray err() const { return err_; }
    QByteArray out() { return out_ += p_.readAllStandardOutput(); }

private:
    QProcess p_;
    QByteArray err_;
    QByteArray out_;
};

} // namespace

class TestCliTransfers : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString backups_;

    QString file(const QString& name) const { return dir_.filePath(name); }

    struct Run {
        int status = -1;
        QByteArray out, err;
    };
    Run vireo(const QStringList& args)
    {
        Session s(dir_.path(), args);
        Run r;
        r.status = s.finish();
        r.out = s.out();
        r.err = s.err();
        return r;
    }

    QStringList backupsNamed(const QString& pattern) const
    {
        return QDir(backups_).entryList({pattern}, QDir::Files, QDir::Name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        backups_ = file("backups");
        qputenv("VIREO_BACKUP_DIR", backups_.toLocal8Bit());
        QVERIFY(QFile::copy(qEnvironmentVariable("VIREO_SOURCE_DIR") + "/data/default.tv2", file("default.tv2")));
        // A VT-60 configuration with group 3 and a primary code to number radios from.
        QCOMPARE(vireo({"convert", "default.tv2", "fleet.tv2", "--product", "4", "--set", "chkFleetDispatch=1", "--set",
                        "GroupCode(3)=1234", "--set", "PrimaryCode=1000"})
                     .status,
                 0);
    }

    // A write is backed up as sent and verified; a read and a cancelled read are backed up
    // as read; a backup over a year old goes at the next backup, a recent one stays.
    void transfersAreBackedUpAndPruned()
    {
        QVERIFY(QDir().mkpath(backups_));
        const QString old = QDir(backups_).filePath("VT-60_read_20200101-000000-000.tv2");
        const QString recent = QDir(backups_).filePath(
            "VT-60_read_" + QDateTime::currentDateTime().addDays(-300).toString("yyyyMMdd-HHmmss-zzz") + ".tv2");
        QVERIFY(DataFile::save(old, load(file("default.tv2"))).ok());
        QVERIFY(DataFile::save(recent, load(file("default.tv2"))).ok());

        std::unique_ptr<PtyBoard> board = startBoard(4);
        Run r = vireo({"write", "fleet.tv2", "--verify", "--product", "4", "--port", board->slavePath()});
        QVERIFY2(r.status == 0, r.err);
        QCOMPARE(r.out, QByteArray("Verify passed\n"));
        QVERIFY(!QFile::exists(old));
        QVERIFY(QFile::exists(recent));
        const QStringList writes = backupsNamed("VT-60_write_*.tv2");
        QCOMPARE(writes.size(), 1);
        const BoardImage sent = load(QDir(backups_).filePath(writes[0]));
        for (int k = 0; k <= 249; ++k)
            QCOMPARE(sent.word(k), board->memory().word(k));

        QCOMPARE(vireo({"read", "-o", "read.tv2", "--product", "4", "--port", board->slavePath()}).status, 0);
        const QStringList reads = backupsNamed("VT-60_read_2026*.tv2"); // not the recent one planted above
        QVERIFY(reads.size() >= 1);
        QCOMPARE(load(QDir(backups_).filePath(reads.last())).word(28), QStringLiteral("1234"));

        // Ctrl+C while a silent board is waited for: the read is still backed up.
        std::unique_ptr<PtyBoard> silent = startBoard(5, [] {
            BoardFaults f;
            f.silent = true;
            return f;
        }());
        Session s(dir_.path(),
                  {"read", "--no-link-check", "--product", "5", "--port", silent->slavePath(), "-o", "never.tv2"});
        QTRY_COMPARE_WITH_TIMEOUT(silent->received().size(), qsizetype(3), 10000);
        ::kill(static_cast<pid_t>(s.process().processId()), SIGINT);
        QCOMPARE(s.finish(), 4);
        QCOMPARE(backupsNamed("VTP-50_read_*.tv2").size(), 1);
        QVERIFY(!QFile::exists(file("never.tv2")));
    }

    // A board that gives back another group code than it was sent: each difference by
    // setting, a clear verdict, exit 6.
    void verifyCatchesAWrongWord()
    {
        std::unique_ptr<PtyBoard> board = boardOnPty(
            std::make_unique<ForgetfulBoard>(setupFor(5), VirtualBoard::factoryMemory(5), 28, QByteArray("1235")));
        const Run r = vireo({"write", "fleet.tv2", "--verify", "--product", "5", "--port", board->slavePath()});
        QCOMPARE(r.status, 6);
        QCOMPARE(r.out, QByteArray("Group Codes, row 3: 1234 on file, 1235 on board\nVerify FAILED: 1 difference\n"));
    }

    // Two radios (VTP-50s, whose writes are short) on one port: codes 1000 and 1001 written in turn, none twice,
    // each backed up first (--backup-first), logged; a refused radio keeps its code for the retry; 9999 ends a run.
    void fleetNumbersRadiosAndLogsThem()
    {
        std::unique_ptr<PtyBoard> board = startBoard(5);
        const qsizetype backupsBefore = backupsNamed("VTP-50_write_*.tv2").size();
        const qsizetype beforeWrites = backupsNamed("VTP-50_before-write_*.tv2").size();
        Session s(dir_.path(), {"fleet", "fleet.tv2", "--product", "5", "--port", board->slavePath(), "--count", "2",
                                "--verify", "--backup-first", "--log", "run.csv"});
        for (int radio = 1; radio <= 2; ++radio) {
            QVERIFY2(s.answer(QStringLiteral("Connect radio %1 ").arg(radio).toLatin1(), 1, ""), s.err());
            if (radio > 1) { // the radio before holds the code before
                QCOMPARE(board->memory().word(6), QStringLiteral("0100"));
                QCOMPARE(board->memory().word(7), QStringLiteral("000%1").arg(radio - 2));
            }
        }
        QCOMPARE(s.finish(), 0);
        QCOMPARE(board->memory().word(7), QStringLiteral("0001"));
        QVERIFY(s.out().contains("Fleet run ended: 2 radios programmed (primary codes 1000 to 1001); log in run.csv"));
        QCOMPARE(s.out().count("Verify passed"), 2);
        QFile log(file("run.csv"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("time,primary_code,outcome,unit,verify,backup,technician,program,template"));
        for (int k = 1; k <= 2; ++k) {
            const QStringList fields = lines[k].split(',');
            QVERIFY(QDateTime::fromString(fields[0], Qt::ISODate).isValid());
            QCOMPARE(fields.mid(1, 4),
                     (QStringList{QString::number(999 + k), "written and verified", QString::number(k), "passed"}));
        }
        QCOMPARE(backupsNamed("VTP-50_write_*.tv2").size(), backupsBefore + 2);
        QCOMPARE(backupsNamed("VTP-50_before-write_*.tv2").size(), beforeWrites + 2);

        // The board refuses the code: retried with the same code, then stopped.
        std::unique_ptr<PtyBoard> refusing = startBoard(5, [] {
            BoardFaults f;
            f.wrongCode = true;
            return f;
        }());
        Session refused(dir_.path(), {"fleet", "fleet.tv2", "--product", "5", "--port", refusing->slavePath(), "--log",
                                      "refused.csv"});
        QVERIFY(refused.answer("Connect radio 1 (primary code 1000)", 1, ""));
        QVERIFY(refused.answer("Radio with primary code 1000 failed. r and Enter", 1, "r"));
        QVERIFY(refused.answer("Radio with primary code 1000 failed.", 2, "q"));
        QCOMPARE(refused.finish(), 3);
        QFile refusedLog(file("refused.csv"));
        QVERIFY(refusedLog.open(QIODevice::ReadOnly));
        const QByteArray rows = refusedLog.readAll();
        QCOMPARE(rows.count(",1000,failed: access code refused,1,not run,,"), 2);
        QCOMPARE(rows.count('\n'), 3);

        // From 9998: two radios, then no code is left.
        QCOMPARE(vireo({"convert", "fleet.tv2", "last.tv2", "--product", "4", "--set", "PrimaryCode=9998"}).status, 0);
        Session last(dir_.path(), {"fleet", "last.tv2", "--product", "5", "--port", board->slavePath(), "--count", "5",
                                   "--log", "last.csv"});
        QVERIFY(last.answer("Connect radio 1 (primary code 9998)", 1, ""));
        QVERIFY(last.answer("Connect radio 2 (primary code 9999)", 1, ""));
        QCOMPARE(last.finish(), 1);
        QVERIFY(last.err().contains("there is no code after 9999"));
        QCOMPARE(board->memory().word(6), QStringLiteral("0909"));
    }

    // --backup-first reads the board into a before-write backup first; a write that then
    // times out names it last. vireo backups lists it, newest first.
    void writeBacksUpTheBoardFirstAndBackupsListsIt()
    {
        BoardImage held = VirtualBoard::factoryMemory(5);
        held.setWord(6, QStringLiteral("0102"));
        held.setWord(7, QStringLiteral("0304"));
        BoardFaults faults;
        faults.wrongAck = true;
        std::unique_ptr<PtyBoard> board = boardOnPty(VirtualBoard::create(setupFor(5, faults), held));
        const qsizetype earlier = backupsNamed("VTP-50_before-write_*.tv2").size(); // the fleet's
        const Run r = vireo({"write", "fleet.tv2", "--backup-first", "--timeout", "0.5", "--product", "5", "--port",
                             board->slavePath()});
        QCOMPARE(r.status, 4);
        const QStringList before = backupsNamed("VTP-50_before-write_*.tv2");
        QCOMPARE(before.size(), earlier + 1);
        const QString path = QDir(backups_).filePath(before.last());
        QVERIFY2(r.err.endsWith("The board as it was before the write is backed up in " + path.toUtf8() + "\n"), r.err);
        const BoardImage backup = load(path);
        QCOMPARE(backup.word(6), QStringLiteral("0102"));
        QCOMPARE(backup.word(7), QStringLiteral("0304"));
        QCOMPARE(backup.word(17), held.word(17));

        const Run listed = vireo({"backups", "--product", "5"});
        QCOMPARE(listed.status, 0);
        const QStringList lines = QString::fromUtf8(listed.out).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 2);
        QVERIFY2(lines[0].contains(
                     QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  VTP-50  write         1000  ")),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].endsWith("  VTP-50  before-write  1234  " + path), qPrintable(lines[1]));
        QVERIFY(!listed.out.contains("VT-60"));
    }

    // restore puts a before-write backup back word for word, those the window writes its
    // own values into (41, 98) included, and --verify compares the board with it; the
    // product comes from the backup's name. A backup of another product, or a file whose
    // name gives no product, is refused before any byte.
    void restorePutsTheBoardBackExactly()
    {
        const BoardImage factory = VirtualBoard::factoryMemory(2);
        std::unique_ptr<PtyBoard> board = startBoard(2);
        Run r = vireo({"write", "fleet.tv2", "--backup-first", "--product", "2", "--port", board->slavePath()});
        QVERIFY2(r.status == 0, r.err);
        QCOMPARE(board->memory().word(41), QStringLiteral("FF00"));
        QCOMPARE(board->memory().word(98), QStringLiteral("FF00"));
        const QStringList before = backupsNamed("UT-105_before-write_*.tv2");
        QCOMPARE(before.size(), 1);
        const QString backup = QDir(backups_).filePath(before[0]);

        const qsizetype sent = board->received().size();
        r = vireo({"restore", backup, "--product", "5", "--port", board->slavePath()});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, "vireo restore: " + before[0].toUtf8()
                            + " is a backup of the Icom UT-105, not of the Vertex VTP-50; nothing was sent\n");
        QVERIFY(QFile::copy(backup, file("radio 7.tv2")));
        r = vireo({"restore", "radio 7.tv2", "--port", board->slavePath()});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QByteArray("vireo restore: the name radio 7.tv2 does not say which product it is a backup "
                                   "of (as VT-60_before-write_20261207-081502-117.tv2 does): give --product N\n"));
        QCOMPARE(board->received().size(), sent);

        r = vireo({"restore", backup, "--verify", "--port", board->slavePath()});
        QVERIFY2(r.status == 0, r.err);
        QCOMPARE(r.out, QByteArray("Verify passed\n"));
        for (int k = 0; k <= 98; ++k)
            QCOMPARE(board->memory().word(k), factory.word(k));
    }

    // A table of five units, each radio getting its row's primary and group codes: tables
    // with a repeated code, a bad value or a code the log has programmed are refused before
    // any byte; two units, a stop, and a resumed run that writes only the other three.
    void fleetProgramsATableOfUnits()
    {
        const auto write = [this](const QString& name, const QByteArray& text) {
            QFile f(file(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        write("repeated.csv", "Unit,PrimaryCode\r\nA1,2001\r\nA2,2001\r\n");
        write("bad.csv", "\xEF\xBB\xBFUnit;PrimaryCode;GroupCode(3)\nA1;2001;12345\n");
        write("units.csv", "Unit,PrimaryCode,GroupCode(3)\r\nTruck 1,2001,3001\r\nTruck 2,2002,3002\r\n"
                           "Truck 3,2003,3003\r\nTruck 4,2004,\r\n\"Smith, J.\",2005,3005\r\n");
        write("again.csv", "Unit,PrimaryCode\nTruck 9,2003\n");
        std::unique_ptr<PtyBoard> board = startBoard(2); // an Icom UT-105: its writes are the shortest
        const QStringList fleet{"fleet",  "fleet.tv2",        "--product", "2",
                                "--port", board->slavePath(), "--log",     "units.log"};

        Run r = vireo(fleet + QStringList{"--units", "repeated.csv"});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("  line 3, column PrimaryCode: primary code 2001 is already unit A1's\n"), r.err);
        r = vireo(fleet + QStringList{"--units", "bad.csv"});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("  line 2, column GroupCode(3): GroupCode(3) "), r.err);
        QVERIFY(r.err.contains(": \"12345\" is longer than the box's 4 characters\n"));
        QVERIFY(board->received().isEmpty());
        QVERIFY(!QFile::exists(file("units.log")));

        // Each radio holds its row's values when the next is connected (group code 3: word 28);
        // no --verify here, the board's memory is the read-back (the numbered run verifies).
        const auto holds = [&](const char* w7, const char* w28) {
            return board->memory().word(6) == QLatin1String("0200") && board->memory().word(7) == QLatin1String(w7)
                   && board->memory().word(28) == QLatin1String(w28);
        };
        Session first(dir_.path(),
                      fleet + QStringList{"--units", "units.csv", "--count", "2", "--technician", "bench 7"});
        QVERIFY2(first.answer("Connect unit \"Truck 1\" (primary code 2001)", 1, ""), first.err());
        QVERIFY2(first.answer("Connect unit \"Truck 2\" (primary code 2002)", 1, ""), first.err());
        QVERIFY(holds("0001", "3001"));
        QCOMPARE(first.finish(), 0);
        QVERIFY(holds("0002", "3002"));

        Session rest(dir_.path(), fleet + QStringList{"--units", "units.csv", "--resume", "--technician", "bench 7"});
        QVERIFY2(rest.answer("Connect unit \"Truck 3\" (primary code 2003)", 1, ""), rest.err());
        QVERIFY2(rest.answer("Connect unit \"Truck 4\" (primary code 2004)", 1, ""), rest.err());
        QVERIFY(holds("0003", "3003"));
        QVERIFY2(rest.answer("Connect unit \"Smith, J.\" (primary code 2005)", 1, ""), rest.err());
        QVERIFY(holds("0004", "1234")); // a blank cell keeps the file's group code
        QCOMPARE(rest.finish(), 0);
        QVERIFY(holds("0005", "3005"));
        QCOMPARE(rest.err().count("Connect unit"), 3);
        QVERIFY(rest.out().startsWith("Resuming: 2 units already programmed, 3 to go\n"));

        r = vireo(fleet + QStringList{"--units", "again.csv"});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("  line 2, column PrimaryCode: primary code 2003 was already programmed into unit "
                                "\"Truck 3\" (line 4 of the log)\n"),
                 r.err);

        QFile log(file("units.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("time,primary_code,outcome,unit,verify,backup,technician,program,template"));
        const QStringList one = lines[1].split(',');
        QCOMPARE(one.mid(1, 4), (QStringList{"2001", "written", "Truck 1", "not run"}));
        QVERIFY(one[5].endsWith(".tv2") && QFile::exists(one[5]));
        // The template's mark is that of the bytes Save As writes for the VTP-50 configuration
        // (sha256sum of vireo convert fleet.tv2 --product 5), as the fleet window gives it, not
        // of the VT-60 file as it lies on disk (205804EA).
        QCOMPARE(one.mid(6), (QStringList{"bench 7", "1.0.0", "277AD898"}));
        QCOMPARE(lines[4].split(',').mid(1, 4), (QStringList{"2004", "written", "Truck 4", "not run"}));
        QVERIFY(lines[5].contains(",2005,written,\"Smith, J.\",not run,"));
    }

    // --trace before the command records the ping's bytes both ways, with times.
    void traceRecordsAPing()
    {
        std::unique_ptr<PtyBoard> board = startBoard(5);
        const Run r = vireo({"--trace", "ping.trace", "ping", "--product", "5", "--port", board->slavePath()});
        QVERIFY2(r.status == 0, r.err);
        QFile trace(file("ping.trace"));
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(trace.readAll()).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.value(0).startsWith("# Vireo serial trace started"));
        QStringList kinds;
        for (const QString& line : lines.mid(1))
            kinds << line.mid(11, 5).trimmed();
        QCOMPARE(kinds.first(), QStringLiteral("SET"));
        QCOMPARE(kinds.last(), QStringLiteral("CLOSE"));
        QVERIFY(lines.filter(QRegularExpression("^ +\\d+ TX +E5 ")).size() == 1);
        QVERIFY(lines.filter(QRegularExpression(" RX +")).size() >= 1);
        QVERIFY(lines.join('\n').contains("SET   4800,n,8,2"));
        // Every byte the board got is in the trace, in order.
        QByteArray sent;
        for (const QString& line : lines.filter(QRegularExpression("^ +\\d+ TX ")))
            sent += QByteArray::fromHex(line.mid(17, 48).toLatin1());
        QCOMPARE(sent, board->received());

        QCOMPARE(vireo({"--trace", "x.trace", "dump", "default.tv2", "--product", "4"}).status, 2);
    }
};

QTEST_GUILESS_MAIN(TestCliTransfers)
#include "TestCliTransfers.moc"
