// The worker thread: jobs queued from the caller's thread, progress and results
// delivered back to it, cancel from outside, refusal while busy.
#include "LinkTestData.h"
#include "ScriptedPort.h"

#include <BoardJob.h>
#include <LinkWorker.h>

#include <QSignalSpy>
#include <QTest>

using namespace LinkTestData;
using End = BoardJob::End;
using Kind = BoardJob::Kind;

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
        : worker(
            nullptr,
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

// Collects the results of the jobs a test starts, in order.
struct Results {
    QList<BoardJob::Result> jobs;
    QList<LinkWorker::PortChange> ports;

    bool runJob(LinkWorker& worker, const BoardJob::Request& request)
    {
        return worker.run<BoardJob::Result>([request](LinkContext& ctx) { return BoardJob::run(ctx, request); },
                                            [this](const BoardJob::Result& r) { jobs.append(r); });
    }
    bool openPort(LinkWorker& worker, const QString& name, const LineSettings& settings)
    {
        return worker.openPort(name, settings, [this](const LinkWorker::PortChange& c) { ports.append(c); });
    }
    BoardJob::Result nextJob()
    {
        if (jobs.isEmpty() && !QTest::qWaitFor([this] { return !jobs.isEmpty(); }, 10000))
            return {};
        return jobs.takeFirst();
    }
    LinkWorker::PortChange nextPort()
    {
        if (ports.isEmpty() && !QTest::qWaitFor([this] { return !ports.isEmpty(); }, 10000))
            return {false, QStringLiteral("no answer from the worker")};
        return ports.takeFirst();
    }
};

} // namespace

class TestLinkWorker : public QObject {
    Q_OBJECT

private slots:
    void readReportsProgressAndHandsBackTheImage();
    void cancelFromTheCallerEndsATransfer();
    void aHeldJobGoesOnAtResumeAndEndsAtCancel();
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
    QList<QVariantList> progress; // each step, then each phase's start with its text and maximum
    QList<QVariantList> starting;
    QObject::connect(&w.worker, &LinkWorker::jobEvent, [&](const JobEvent& e) {
        if (e.kind == JobEvent::Kind::StepDone)
            progress.append(QVariantList{e.step});
        else if (e.kind == JobEvent::Kind::PhaseStarted)
            starting.append(QVariantList{phaseText(e.phase), e.maximum});
    });
    Results results;

    QVERIFY(results.openPort(w.worker, QStringLiteral("COM2"), LineSettings{}));
    QVERIFY(!results.runJob(w.worker, {.kind = Kind::Read, .product = 5})); // one job at a time
    QVERIFY(results.nextPort().opened);
    QVERIFY(!w.worker.isBusy());
    QCOMPARE(w.portNames, QStringList{QStringLiteral("COM2")});

    QVERIFY(
        results.runJob(w.worker,
                       {.kind = Kind::Read, .product = 5, .image = filled(QStringLiteral("AAAA")), .backUp = false}));
    QVERIFY(w.worker.isBusy() && w.worker.isRunningDialogue());
    const BoardJob::Result r = results.nextJob();
    QVERIFY(r.kind == Kind::Read);
    QVERIFY(r.end == End::Done);
    QCOMPARE(r.image.word(0), QStringLiteral("00E5"));
    QCOMPARE(r.image.word(98), boardWord(98));
    QCOMPARE(r.image.word(99), QStringLiteral("AAAA"));
    QCOMPARE(progress.size(), 98); // all delivered before the result
    QCOMPARE(progress.first().at(0).toInt(), 1);
    QCOMPARE(progress.last().at(0).toInt(), 98);
    QCOMPARE(starting.size(), 1);
    QCOMPARE(starting.first().at(0).toString(), QStringLiteral("Reading Logic Board"));
    QCOMPARE(starting.first().at(1).toInt(), 99);
}

void TestLinkWorker::cancelFromTheCallerEndsATransfer()
{
    ScriptedWorker w([](ScriptedPort&) {}); // a board that never answers
    Results results;
    QVERIFY(results.runJob(w.worker, {.kind = Kind::Write, .product = 1, .image = boardImage(), .backUp = false}));
    w.worker.cancel();
    const BoardJob::Result r = results.nextJob();
    QVERIFY(r.end == End::Cancelled);
    QCOMPARE(r.wordsDone, 1); // word 0 had gone out before the first wait
    QCOMPARE(r.image, boardImage());
}

// A job held before its verify: the caller hears of the hold after every event told
// before it, and the job goes on at resume() or ends at cancel(), also when the worker
// is destroyed meanwhile. A job started without a hold handler is never held.
void TestLinkWorker::aHeldJobGoesOnAtResumeAndEndsAtCancel()
{
    ScriptedWorker w([](ScriptedPort&) {});
    const std::function<int(LinkContext&)> job = [](LinkContext& ctx) {
        if (!ctx.holdBeforeVerify)
            return -1;
        stepDone(ctx);
        return ctx.holdBeforeVerify() ? 1 : 0;
    };
    QList<int> results;
    QStringList heard;
    const auto run = [&](std::function<void()> held) {
        return w.worker.run<int>(
            job, [&](int r) { results.append(r); }, [&](const JobEvent&) { heard << QStringLiteral("step"); },
            std::move(held));
    };
    QVERIFY(run([&] {
        heard << QStringLiteral("held");
        QVERIFY(!w.worker.isRunningDialogue() && w.worker.isBusy());
        w.worker.resume();
    }));
    QTRY_COMPARE(results, QList<int>{1});
    QVERIFY(run([&] { w.worker.cancel(); }));
    QTRY_COMPARE(results, (QList<int>{1, 0}));
    QCOMPARE(heard, (QStringList{"step", "held", "step"}));
    QVERIFY(run({}));
    QTRY_COMPARE(results, (QList<int>{1, 0, -1}));

    auto gone = std::make_unique<ScriptedWorker>([](ScriptedPort&) {});
    bool held = false;
    QVERIFY(gone->worker.run<int>(job, {}, {}, [&held] { held = true; }));
    QTRY_VERIFY(held);
    gone.reset(); // wakes the held job and waits for it
}

void TestLinkWorker::portFailureClosesThePortAndTheNextJobReopensIt()
{
    ScriptedWorker w([](ScriptedPort& port) {
        port.onSent("02\r", "abc00E5\r\n", 5);
        port.failAt(100, QStringLiteral("COM1: unplugged"));
    });
    Results results;
    QVERIFY(results.runJob(w.worker, {.kind = Kind::Read, .product = 4, .backUp = false}));
    BoardJob::Result r = results.nextJob();
    QVERIFY(r.end == End::PortFailed);
    QCOMPARE(r.message, QStringLiteral("COM1: unplugged"));
    QCOMPARE(r.image.word(0), QStringLiteral("00E5"));

    // a link check reopens the port, as a read does: the board is asked, and says nothing
    QVERIFY(results.runJob(w.worker, {.kind = Kind::LinkCheck, .product = 4, .accessCode = QStringLiteral("47203")}));
    r = results.nextJob();
    QVERIFY(r.end == End::NoAnswer);

    // Force Initialization opens it again and sends "01" CR
    QVERIFY(results.runJob(w.worker, {.kind = Kind::ForceInitialization, .product = 4}));
    r = results.nextJob();
    QVERIFY(r.end == End::Done);
    QVERIFY(r.message.isEmpty());
}

void TestLinkWorker::openFailuresAreReportedWithTheirJob()
{
    Results results;
    // A device that is not there, on the real serial port: the link check after it
    // opens the port as a read does, and says again that the device is not there.
    LinkWorker real(nullptr, {}, [] { return std::make_unique<VirtualClock>(); });
    qputenv("VIREO_COM1", "/dev/ttyUSB-vireo-gone");
    QVERIFY(results.openPort(real, QStringLiteral("COM1"), LineSettings{}));
    const LinkWorker::PortChange c = results.nextPort();
    QVERIFY(!c.opened);
    const QString gone =
        QStringLiteral("COM1 (/dev/ttyUSB-vireo-gone) is not there: the adapter is unplugged or was renamed");
    QCOMPARE(c.message, gone);
    QVERIFY(results.runJob(real, {.kind = Kind::LinkCheck, .product = 4, .accessCode = QStringLiteral("47203")}));
    const BoardJob::Result r = results.nextJob();
    QVERIFY(r.end == End::PortUnavailable);
    QCOMPARE(r.message, gone);
    qunsetenv("VIREO_COM1");
}

QTEST_GUILESS_MAIN(TestLinkWorker)
#include "TestLinkWorker.moc"
