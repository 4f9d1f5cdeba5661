// The worker thread: jobs queued from the caller's thread, progress and results
// delivered back to it, cancel from outside, refusal while busy.
#include "LinkTestData.h"
#include "ScriptedPort.h"

#include <LinkWorker.h>

#include <QSignalSpy>
#include <QTest>

using namespace LinkTestData;
using End = TransferResult::End;

namespace {

// Every clock the worker makes reads the one virtual clock of the scripted board.
class ClockRef final : public Clock {
public:
    explicit ClockRef(VirtualClock& c) : c_(c) {}
    qint64 nowMicros() const override { return c_.nowMicros(); }
    void sleepFor(qint64 micros) override { c_.sleepFor(micros); }
    void sleepUntil(qint64 micros) override { c_.sleepUntil(micros); }

private:
    VirtualClock& c_;
};

// A worker over a scripted board; `script` runs on the worker's thread when the
// port is made. Everything else touching the board happens on that thread too.
struct ScriptedWorker {
    explicit ScriptedWorker(std::function<void(ScriptedPort&)> script)
        : worker(nullptr,
                 [this, script](const QString& name, const PortMap&) {
                     portNames.append(name);
                     auto port = std::make_unique<ScriptedPort>(clock);
                     script(*port);
                     return port;
                 },
                 [this] { return std::make_unique<ClockRef>(clock); })
    {
    }
    VirtualClock clock;
    QStringList portNames;
    LinkWorker worker;
};

LinkJobResult waitForResult(QSignalSpy& finished)
{
    if (finished.isEmpty() && !finished.wait(10000))
        return {};
    return finished.takeFirst().at(0).value<LinkJobResult>();
}

} // namespace

class TestLinkWorker : public QObject {
    Q_OBJECT

private slots:
    void readReportsProgressAndHandsBackTheImage();
    void cancelFromTheCallerEndsATransfer();
    void portFailureClosesThePortAndTheNextJobReopensIt();
    void openFailuresAreReportedWithTheirJob();
};

void TestLinkWorker::readReportsProgressAndHandsBackTheImage()
{
    ScriptedWorker w([](ScriptedPort& port) {
        QList<ScriptedPort::Piece> replies{{5, "abc00E5\r\n"}};
        for (int i = 1; i <= 98; ++i)
            replies.append({5 + 5 * i, boardWord(i).toLatin1() + "\r\n"});
        port.onSent("02\r", replies);
    });
    QSignalSpy progress(&w.worker, &LinkWorker::progress);
    QSignalSpy finished(&w.worker, &LinkWorker::finished);

    QVERIFY(w.worker.openPort(QStringLiteral("COM2"), *LineSettings::parse(QStringLiteral("4800,n,8,2"))));
    QVERIFY(!w.worker.read(5, BoardImage())); // one job at a time
    QVERIFY(waitForResult(finished).portOpened);
    QVERIFY(!w.worker.isBusy());
    QCOMPARE(w.portNames, QStringList{QStringLiteral("COM2")});

    QVERIFY(!w.worker.read(6, BoardImage())); // no such product
    QVERIFY(w.worker.read(5, filled(QStringLiteral("AAAA"))));
    QVERIFY(w.worker.isBusy());
    const LinkJobResult r = waitForResult(finished);
    QVERIFY(r.job == LinkJobResult::Job::Read);
    QVERIFY(r.transfer.end == End::Completed);
    QCOMPARE(r.image.word(0), QStringLiteral("00E5"));
    QCOMPARE(r.image.word(98), boardWord(98));
    QCOMPARE(r.image.word(99), QStringLiteral("AAAA"));
    QCOMPARE(progress.size(), 98); // all delivered before the result
    QCOMPARE(progress.first().at(0).toInt(), 1);
    QCOMPARE(progress.last().at(0).toInt(), 98);
}

void TestLinkWorker::cancelFromTheCallerEndsATransfer()
{
    ScriptedWorker w([](ScriptedPort&) {}); // a board that never answers
    QSignalSpy finished(&w.worker, &LinkWorker::finished);
    QVERIFY(w.worker.write(1, boardImage()));
    w.worker.cancel();
    const LinkJobResult r = waitForResult(finished);
    QVERIFY(r.transfer.end == End::Cancelled);
    QCOMPARE(r.transfer.wordsDone, 1); // word 0 had gone out before the first wait
    QCOMPARE(r.image, boardImage());
}

void TestLinkWorker::portFailureClosesThePortAndTheNextJobReopensIt()
{
    ScriptedWorker w([](ScriptedPort& port) {
        port.onSent("02\r", "abc00E5\r\n", 5);
        port.failAt(100, QStringLiteral("COM1: unplugged"));
    });
    QSignalSpy finished(&w.worker, &LinkWorker::finished);
    QVERIFY(w.worker.read(4, BoardImage()));
    LinkJobResult r = waitForResult(finished);
    QVERIFY(r.transfer.end == End::Failed);
    QCOMPARE(r.transfer.message, QStringLiteral("COM1: unplugged"));
    QCOMPARE(r.image.word(0), QStringLiteral("00E5"));

    QVERIFY(w.worker.ping(4, QStringLiteral("47203"))); // a ping does not reopen the port
    r = waitForResult(finished);
    QVERIFY(r.ping.outcome == PingResult::Outcome::PortError);

    QVERIFY(w.worker.forceInitialization()); // opens it again, sends "01" CR
    r = waitForResult(finished);
    QVERIFY(r.portOpened);
    QVERIFY(r.message.isEmpty());
}

void TestLinkWorker::openFailuresAreReportedWithTheirJob()
{
    // A device that will not open, on the real serial port: the link check after
    // it finds the port closed and says so, instead of repeating the open's reason.
    LinkWorker real(nullptr, {}, [] { return std::make_unique<VirtualClock>(); });
    QSignalSpy realFinished(&real, &LinkWorker::finished);
    QVERIFY(real.openPort(QStringLiteral("/dev/vireo-no-such-port"), *LineSettings::parse(QStringLiteral("4800,n,8,2"))));
    LinkJobResult r = waitForResult(realFinished);
    QVERIFY(!r.portOpened);
    QCOMPARE(r.message, QStringLiteral("/dev/vireo-no-such-port: not found"));
    QVERIFY(real.ping(4, QStringLiteral("47203")));
    r = waitForResult(realFinished);
    QVERIFY(r.ping.outcome == PingResult::Outcome::PortError);
    QCOMPARE(r.ping.message, QStringLiteral("/dev/vireo-no-such-port: the port is not open; choose it again in "
                                            "the Serial Port menu, or start a read or write, which opens it"));
}

QTEST_GUILESS_MAIN(TestLinkWorker)
#include "TestLinkWorker.moc"
