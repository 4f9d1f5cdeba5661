// The board over a real pseudo-terminal, with a raw client standing in for the
// programmer. These tests run in real time.

#include "BoardDriver.h"
#include "PtyBoard.h"

#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

using namespace BoardDriver;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The programmer's end of the line.
class Client {
public:
    explicit Client(const QString& path) : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY))
    {
        termios t{};
        if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Client()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }

    // Paced like the programmer: 8 ms before every byte.
    void send(const QByteArray& bytes)
    {
        for (char c : bytes) {
            std::this_thread::sleep_for(8ms);
            QCOMPARE(::write(fd_, &c, 1), ssize_t(1));
        }
    }

    // Everything that arrives within the time.
    QByteArray collect(std::chrono::milliseconds within)
    {
        std::this_thread::sleep_for(within);
        return readPending();
    }

    int pending() const
    {
        int n = 0;
        return ioctl(fd_, FIONREAD, &n) == 0 ? n : -1;
    }

    // Waits (up to a generous limit) until n bytes have come and takes exactly those.
    QByteArray take(qsizetype n)
    {
        const auto deadline = Clock::now() + 5s;
        QByteArray got;
        while (got.size() < n && Clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            if (p.revents & (POLLHUP | POLLERR))
                break;
            char buffer[256];
            const ssize_t r = ::read(fd_, buffer, std::min<size_t>(sizeof buffer, size_t(n - got.size())));
            if (r <= 0)
                break;
            got.append(buffer, r);
        }
        return got;
    }

    // True once the board has gone away: the line reports a hang-up or an error.
    bool lineGone()
    {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0)
            return false;
        char c;
        return (p.revents & (POLLHUP | POLLERR)) || ::read(fd_, &c, 1) <= 0;
    }

private:
    QByteArray readPending()
    {
        QByteArray got;
        char buffer[256];
        pollfd p{fd_, POLLIN, 0};
        while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, n);
        }
        return got;
    }

    int fd_;
};

} // namespace

class TestPtyBoard : public QObject {
    Q_OBJECT
private slots:
    void vertexLinkCheckAndReadOverThePseudoTerminal()
    {
        PtyBoard line(board(5), 4800);
        QVERIFY(!line.start());
        Client pc(line.slavePath());
        QVERIFY(pc.isOpen());

        // The link check as the programmer makes it: each answer looked at 250 ms on.
        pc.send(kWakeUp);
        const QByteArray wake = pc.collect(250ms);
        QVERIFY(!wake.isEmpty() && static_cast<uchar>(wake.at(0)) == 0xE5);
        pc.send("47203\r");
        QVERIFY(pc.collect(250ms).endsWith("\n\r"));

        pc.send("02\r");
        // The board sends its replies on its own, whether or not the first was taken.
        const auto deadline = Clock::now() + 5s;
        while (pc.pending() < 9 + 2 * 6 && Clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        QVERIFY(pc.pending() >= 9 + 2 * 6);
        const QByteArray first = pc.take(9);
        QCOMPARE(first.mid(3, 4), QByteArray("00E5"));
        for (int i = 1; i <= 98; ++i) {
            const QByteArray reply = pc.take(6);
            QCOMPARE(reply.size(), 6);
            QCOMPARE(reply.left(4), line.memory().word(i).toLatin1());
        }

        // The board heard every byte and when (a board thread held up can see two at once).
        const QByteArray heard = line.received();
        QCOMPARE(heard, kWakeUp + "47203\r02\r");
        const auto times = line.receiveTimes();
        QCOMPARE(times.size(), size_t(heard.size()));
        for (size_t i = 1; i < times.size(); ++i)
            QVERIFY(times[i] >= times[i - 1]);
    }

    void repliesGoOutAtTheLineRate()
    {
        // 250 words of 6 characters at 4800 baud: at least 2.29 ms a character.
        auto b = board(4);
        unlock(*b);
        PtyBoard line(std::move(b), 4800);
        QVERIFY(!line.start());
        Client pc(line.slavePath());
        pc.send("02\r");
        const auto start = Clock::now();
        QCOMPARE(pc.take(9).size(), 9);
        for (int i = 1; i <= 20; ++i)
            QCOMPARE(pc.take(6).size(), 6);
        QVERIFY(Clock::now() - start >= (9 + 20 * 6) * PtyBoard::charTime(4800));
        QCOMPARE(PtyBoard::charTime(4800), 2291us);
    }

    // Through an adapter, what the board sends arrives once per tick of its 16 ms
    // latency timer, several characters at a time, and nothing is lost or reordered.
    void anAdapterHandsOverInTicks()
    {
        auto b = board(5);
        unlock(*b);
        PtyBoard line(std::move(b), 4800, 16ms);
        QVERIFY(!line.start());
        Client pc(line.slavePath());
        pc.send("02\r");
        const qsizetype all = 9 + 98 * 6;
        QByteArray got;
        int arrivals = 0;
        const auto start = Clock::now();
        while (got.size() < all && Clock::now() - start < 10s) {
            const QByteArray piece = pc.take(1);
            if (piece.isEmpty())
                continue;
            got += piece + pc.collect(0ms);
            ++arrivals;
        }
        const auto took = Clock::now() - start;
        QCOMPARE(got.size(), all);
        QCOMPARE(got.mid(3, 4), QByteArray("00E5"));
        for (int i = 1; i <= 98; ++i)
            QCOMPARE(got.mid(9 + 6 * (i - 1), 4), line.memory().word(i).toLatin1());
        // A tick hands over what came since the last: never more arrivals than ticks.
        QVERIFY2(arrivals <= took / 16ms + 1, qPrintable(QString::number(arrivals)));
        QVERIFY(arrivals < all / 3);
    }

    void unplugClosesTheLineAfterTheWord()
    {
        auto b = board(4, faults({"unplug:2"}));
        unlock(*b);
        PtyBoard line(std::move(b), 0);
        QVERIFY(!line.start());
        Client pc(line.slavePath());
        pc.send("03\r");
        QCOMPARE(pc.take(3).size(), 3);
        for (int i = 0; i <= 2; ++i) {
            pc.send("ABCD\r");
            QCOMPARE(pc.take(7).size(), 7);
        }
        QVERIFY(pc.lineGone());
        QVERIFY(line.unplugged());
        QCOMPARE(line.memory().word(2), QStringLiteral("ABCD"));
    }
};

QTEST_GUILESS_MAIN(TestPtyBoard)
#include "TestPtyBoard.moc"
