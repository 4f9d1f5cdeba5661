// The QSerialPort adapter over a real pseudo-terminal: the test plays the board
// on the master end. Real time, but no check depends on luck: timings are only
// checked as lower bounds that the pacing guarantees.
#include <LinkContext.h>
#include <Primitives.h>
#include <PseudoTerminal.h>
#include <SerialPort.h>

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

qint64 steadyMicros()
{
    return SteadyClock().nowMicros();
}

// The board's end of the line: the test on the master.
class PtyBoard : public PseudoTerminal {
public:
    bool writeAll(const QByteArray& bytes)
    {
        return ::write(master(), bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // Reads `count` bytes, stamping when each arrived; gives up after timeoutMillis of silence.
    QByteArray read(int count, int timeoutMillis, std::vector<qint64>* stamps = nullptr)
    {
        QByteArray got;
        while (got.size() < count) {
            pollfd p{master(), POLLIN, 0};
            if (::poll(&p, 1, timeoutMillis) <= 0)
                break;
            char buf[512];
            const ssize_t n = ::read(master(), buf, sizeof buf);
            if (n <= 0)
                break;
            const qint64 now = steadyMicros();
            for (ssize_t k = 0; k < n && stamps; ++k)
                stamps->push_back(now);
            got.append(buf, n);
        }
        return got;
    }
};

QByteArray everyByte()
{
    QByteArray all;
    for (int b = 0; b <= 0xFF; ++b)
        all.append(char(b));
    return all;
}

// Stamps each hand-over as the dialogue starts it.
class StampingPort final : public Port {
public:
    explicit StampingPort(Port& inner) : inner_(inner) {}
    std::vector<qint64> writeStarts;
    bool isOpen() const override { return inner_.isOpen(); }
    bool hasFailed() const override { return inner_.hasFailed(); }
    QString errorMessage() const override { return inner_.errorMessage(); }

protected:
    bool doOpen() override { return inner_.open(); }
    void doClose() override { inner_.close(); }
    bool doApplySettings(const LineSettings& s) override { return inner_.applySettings(s); }
    qint64 doBytesAvailable() override { return inner_.bytesAvailable(); }
    QByteArray doReadAll() override { return inner_.readAll(); }
    QByteArray doRead(qint64 maxBytes) override { return inner_.read(maxBytes); }
    bool doWrite(const QByteArray& bytes) override
    {
        writeStarts.push_back(steadyMicros());
        return inner_.write(bytes);
    }
    bool doWaitForReadyRead(int ms) override { return inner_.waitForReadyRead(ms); }

private:
    Port& inner_;
};

// The programmer's end on the slave, over the real clock; waits give up after 2 s
// of silence so that a fault cannot hang the test.
struct PtyLink {
    PtyBoard board;
    SerialPort port{board.path()};
    SteadyClock clock;
    CancelToken cancel{false};
    LinkContext ctx{port, clock, cancel, {}, std::chrono::milliseconds(2000)};
    bool open() { return board.ok() && port.open(); }
};

} // namespace

class TestSerialPortPty : public QObject {
    Q_OBJECT

private slots:
    void everyByteTravelsUnchangedBothWays();
    void pacedBytesLeaveAtLeastEightMillisecondsApart();
    void aWaitOnASilentBoardSleeps();
    void aVanishedPeerFailsTheWaitAndClosesThePort();
    void openFailuresSayWhatToDo();
};

void TestSerialPortPty::everyByteTravelsUnchangedBothWays()
{
    PtyLink link;
    QVERIFY(link.port.applySettings(*LineSettings::parse(QStringLiteral("9600,n,8,2"))));
    QVERIFY2(link.open(), qPrintable(link.port.errorMessage()));
    auto& [board, port, clock, cancel, ctx] = link;

    QVERIFY(SendFast(ctx, everyByte()).ok());
    QCOMPARE(board.read(256, 2000), everyByte());

    QVERIFY(board.writeAll(everyByte()));
    QVERIFY(waitForCount(ctx, 256).ok());
    QCOMPARE(Input(ctx), everyByte());
    QCOMPARE(port.bytesAvailable(), 0);
}

void TestSerialPortPty::pacedBytesLeaveAtLeastEightMillisecondsApart()
{
    PtyBoard board;
    QVERIFY(board.ok());
    SerialPort serial(board.path());
    QVERIFY(serial.open());
    StampingPort port(serial);
    SteadyClock clock;
    CancelToken cancel{false};
    LinkContext ctx{port, clock, cancel};

    const QByteArray text("\xE5\x2C"
                          "47203\r\x00\xFD",
                          10);
    std::vector<qint64> arrivals;
    QByteArray received;
    std::thread reader([&] { received = board.read(int(text.size()), 2000, &arrivals); });
    const qint64 start = clock.nowMicros();
    const bool sent = Send(ctx, text).ok();
    reader.join();

    QVERIFY(sent);
    QCOMPARE(received, text);
    QCOMPARE(port.writeStarts.size(), std::size_t(text.size()));
    QVERIFY(port.writeStarts[0] - start >= kPaceMicros);
    for (std::size_t k = 1; k < port.writeStarts.size(); ++k)
        QVERIFY2(port.writeStarts[k] - port.writeStarts[k - 1] >= kPaceMicros, qPrintable(QString::number(k)));
    // On the board's side byte k cannot arrive before its hand-over.
    for (std::size_t k = 0; k < arrivals.size(); ++k)
        QVERIFY(arrivals[k] - start >= qint64(k + 1) * kPaceMicros);
}

void TestSerialPortPty::aWaitOnASilentBoardSleeps()
{
    PtyLink link;
    QVERIFY(link.open());
    link.ctx.silenceTimeout = std::chrono::milliseconds(400);

    const auto cpuMicros = [] {
        rusage u{};
        ::getrusage(RUSAGE_THREAD, &u);
        return qint64(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000 + u.ru_utime.tv_usec + u.ru_stime.tv_usec;
    };
    const qint64 before = cpuMicros();
    QVERIFY(waitForCount(link.ctx, 1).end == LinkStatus::End::TimedOut);
    // A polling loop would burn the whole 400 ms.
    QVERIFY2(cpuMicros() - before < 200 * 1000, qPrintable(QString::number(cpuMicros() - before)));
}

void TestSerialPortPty::aVanishedPeerFailsTheWaitAndClosesThePort()
{
    PtyLink link;
    QVERIFY(link.open());
    link.board.closeMaster();
    const LinkStatus s = waitForCount(link.ctx, 1);
    QVERIFY(s.end == LinkStatus::End::PortError);
    const QString disconnected = link.board.path() + QStringLiteral(": the adapter or cable was disconnected");
    QCOMPARE(s.message, disconnected);
    QVERIFY(!link.port.isOpen());
    QVERIFY(link.port.hasFailed());
    QVERIFY(!link.port.systemError().isEmpty()); // the system's words, for the trace
    // The rest of the job meets the first reason.
    QVERIFY(!link.port.write("x"));
    QCOMPARE(link.port.errorMessage(), disconnected);

    // The job closes the port; the next use of the closed port says so, not the old reason.
    link.port.close();
    QVERIFY(!link.port.hasFailed());
    QVERIFY(!Send(link.ctx, "x").ok());
    QCOMPARE(link.port.errorMessage(),
             link.board.path()
                 + QStringLiteral(": the port is not open; choose it again in the Serial Port menu, or start a "
                                  "read or write, which opens it"));
    QVERIFY(link.port.systemError().isEmpty());
}

void TestSerialPortPty::openFailuresSayWhatToDo()
{
    SerialPort missing(QStringLiteral("/dev/vireo-no-such-port"));
    QVERIFY(!missing.open());
    QCOMPARE(missing.errorMessage(),
             QStringLiteral("/dev/vireo-no-such-port is not there: the adapter is unplugged or was renamed"));
    SerialPort notSerial(QStringLiteral("/dev/null"));
    QVERIFY(!notSerial.open());
    QCOMPARE(notSerial.errorMessage(), QStringLiteral("/dev/null: not a serial port"));

    PtyBoard board;
    QVERIFY(board.ok());
    SerialPort first(board.path());
    QVERIFY(first.open());
    SerialPort second(board.path());
    QVERIFY(!second.open());
    QCOMPARE(second.errorMessage(), board.path() + QStringLiteral(": in use by another program"));
    first.close();
    QVERIFY2(second.open(), qPrintable(second.errorMessage()));

    if (::geteuid() == 0)
        QSKIP("root may open any device: no permission refusal to see");
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("ttyLocked"));
    QFile f(locked);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    ::chmod(locked.toLocal8Bit().constData(), 0);
    SerialPort denied(locked);
    QVERIFY(!denied.open());
    QVERIFY(denied.errorMessage().startsWith(
        locked + QStringLiteral(": permission denied \u2014 add your user to the group '")));
    QVERIFY(denied.errorMessage().endsWith(QStringLiteral("and log in again")));
}

QTEST_GUILESS_MAIN(TestSerialPortPty)
#include "TestSerialPortPty.moc"
