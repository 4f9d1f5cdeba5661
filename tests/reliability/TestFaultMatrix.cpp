// Every fault a board can show, for each family's link check, read and write,
// end to end: the real serial port on a pseudo-terminal against the virtual
// board. Each case checks what the technician is shown, what the image (or the
// board) holds afterwards, that the same port works again for the next command,
// and that nothing hangs: every wait ends by the silence timeout or the cancel.
// The board sends its read replies on its own, a few milliseconds apart; reads
// and writes are tried again with the replies back to back and through a USB
// adapter that hands them over in 16 ms batches.
#include "PtyRig.h"

#include <BoardJob.h>
#include <LinkOperations.h>

#include <QTemporaryFile>
#include <QTest>

namespace {

constexpr int kAt = 10; // the word where a fault strikes
// A wait gives up after this much silence: long enough for a loaded machine
// (sanitizers, parallel builds), except for the late board, which must be
// given up on before its answers come 400 ms late.
constexpr auto kSilence = std::chrono::milliseconds(1000);
constexpr auto kSilenceForLate = std::chrono::milliseconds(200);
const QString kCode = QStringLiteral("47203");

enum class Op { Ping, Read, Write };
// How the board's bytes reach the programmer.
enum class Line { Streaming, BackToBack, Adapter };
constexpr auto kAdapterLatency = std::chrono::milliseconds(16);

// What the technician is shown, by the message it comes with.
QString shown(const PingResult& r)
{
    switch (r.outcome) {
    case PingResult::Outcome::Established: return QStringLiteral("established");
    case PingResult::Outcome::CodeRefused: return QStringLiteral("invalid code");
    case PingResult::Outcome::LinkError:
    case PingResult::Outcome::PortError: return QStringLiteral("link error");
    }
    return {};
}

QString shown(const TransferResult& r)
{
    switch (r.end) {
    case TransferResult::End::Completed: return QStringLiteral("complete");
    case TransferResult::End::Cancelled: return QStringLiteral("cancelled");
    case TransferResult::End::Failed: return QStringLiteral("link error");
    case TransferResult::End::TimedOut: return QStringLiteral("stopped answering");
    }
    return {};
}

// A read as the window and vireo run it, which also judges what the board said.
QString shown(const BoardJob::Result& r)
{
    switch (r.end) {
    case BoardJob::End::Done: return QStringLiteral("complete");
    case BoardJob::End::Cancelled: return QStringLiteral("cancelled");
    case BoardJob::End::TimedOut: return QStringLiteral("stopped answering");
    case BoardJob::End::NotAConfiguration: return QStringLiteral("not a configuration");
    default: return QStringLiteral("link error");
    }
}

// The family's product that moves the fewest words (the first of equals): the
// fault cases are the same for every product of a family, only quicker.
int shortestProduct(const BoardFamily& family)
{
    int shortest = 0;
    for (const ProductInfo& p : Product::kAll) {
        if (p.family == family && (shortest == 0 || p.lastWord < Product::info(shortest).lastWord))
            shortest = p.index;
    }
    return shortest;
}

// Words below `fresh` come from `from`, the rest (to 300) are still `old`.
bool holds(const BoardImage& image, const BoardImage& from, const BoardImage& old, int fresh, int last)
{
    for (int i = 0; i <= BoardImage::kLastIndex; ++i) {
        const BoardImage& expected = i < fresh ? from : old;
        if (i <= last && image.word(i) != expected.word(i))
            return false;
        if (i > last && image.word(i) != old.word(i))
            return false;
    }
    return true;
}

// The board's bytes one way, a line per burst: "+203.114 ms board RX  FE FE ...".
QStringList bursts(const char* way, const QByteArray& bytes, const std::vector<PtyBoard::Clock::time_point>& times,
                   qint64 startMicros)
{
    QStringList lines;
    for (std::size_t k = 0; k < times.size() && qsizetype(k) < bytes.size(); ++k) {
        const qint64 at = std::chrono::duration_cast<std::chrono::microseconds>(times[k].time_since_epoch()).count();
        if (k == 0 || times[k] - times[k - 1] > std::chrono::milliseconds(2))
            lines << QStringLiteral("%1 ms board %2 ")
                         .arg((at - startMicros) / 1000.0, 10, 'f', 3)
                         .arg(QLatin1String(way));
        lines.last() += QStringLiteral(" %1").arg(uchar(bytes[qsizetype(k)]), 2, 16, QLatin1Char('0')).toUpper();
    }
    return lines;
}

// A case that fails tells what the programmer and each board saw, and when: the
// port's trace and the boards' bytes on one time line, so a fault seen once in a
// while can be read from the run that showed it.
class Story {
public:
    explicit Story(PtyRig& rig) : rig_(rig), start_(rig.clock.nowMicros())
    {
        if (file_.open())
            rig.port.startTrace(file_.fileName(), rig.clock);
    }
    Story(const Story&) = delete;
    Story& operator=(const Story&) = delete;
    void add(const PtyBoard& board) { boards_.push_back(&board); }
    ~Story()
    {
        if (!QTest::currentTestFailed())
            return;
        rig_.port.stopTrace();
        qInfo().noquote() << QString::fromLatin1(file_.readAll());
        for (const PtyBoard* b : boards_) {
            const QStringList lines = bursts("RX", b->received(), b->receiveTimes(), start_)
                                      + bursts("TX", b->sent(), b->sendTimes(), start_);
            qInfo().noquote() << lines.join(QLatin1Char('\n'));
        }
    }

private:
    PtyRig& rig_;
    qint64 start_;
    QTemporaryFile file_;
    std::vector<const PtyBoard*> boards_;
};

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT

private slots:
    void faultMatrix_data();
    void faultMatrix();
};

void TestFaultMatrix::faultMatrix_data()
{
    QTest::addColumn<int>("product");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("expected");
    // Read: words 0..fresh-1 new in the image. Write: words 0..fresh-1 new on the board.
    QTest::addColumn<int>("fresh");
    QTest::addColumn<int>("line");

    Line line = Line::Streaming;
    const auto row = [&line](const QByteArray& family, int product, Op op, const char* fault, const char* expected,
                             int fresh) {
        static const char* ops[] = {"ping", "read", "write"};
        static const char* lines[] = {"", ", back to back", ", 16 ms adapter"};
        QTest::addRow("%s %s %s%s", family.constData(), ops[int(op)], fault, lines[int(line)])
            << product << int(op) << QString::fromLatin1(fault) << QString::fromLatin1(expected) << fresh << int(line);
    };

    for (const Op op : {Op::Ping, Op::Read, Op::Write}) {
        for (const BoardFamily* f : kBoardFamilies) {
            const QByteArray family = QByteArray(f->name).toLower();
            const int product = shortestProduct(*f);
            const int all = Product::info(product).lastWord + 1;
            const bool alinco = *f == BoardFamily::Alinco;
            const bool icom = *f == BoardFamily::Icom;
            const bool vertex = *f == BoardFamily::Vertex;
            switch (op) {
            case Op::Ping:
                // A board that only answers later than it may, or with noise, is
                // no board; Alinco asks only for some answer.
                row(family, product, Op::Ping, "none", "established", 0);
                row(family, product, Op::Ping, "silent", "link error", 0);
                row(family, product, Op::Ping, "late", "link error", 0);
                row(family, product, Op::Ping, "garbage", alinco ? "established" : "link error", 0);
                row(family, product, Op::Ping, "wrongack", "established", 0);
                row(family, product, Op::Ping, "wrongcode", "invalid code", 0);
                row(family, product, Op::Ping, "unplugged", "link error", 0);
                break;
            case Op::Read:
                // A cancel at progress step k keeps the words read so far: Vertex
                // takes word 0 without a step, so it has one more.
                // A cancel is seen by the first wait that finds too few bytes: at
                // least that many, more when replies were already waiting.
                row(family, product, Op::Read, "none", "complete", all);
                row(family, product, Op::Read, "silent", "stopped answering", 0);
                row(family, product, Op::Read, "late", "stopped answering", 0);
                // Counted replies of the right length are read whatever they hold, and
                // then refused; a frame without its end never ends a wait.
                row(family, product, Op::Read, "garbage", icom ? "stopped answering" : "not a configuration",
                    icom ? 0 : all);
                row(family, product, Op::Read, "wrongack", "complete", all);
                row(family, product, Op::Read, "stopat:10", "stopped answering", kAt + 1);
                row(family, product, Op::Read, "unplug:10", "link error", kAt + 1);
                row(family, product, Op::Read, "cancel:10", "cancelled", vertex ? kAt + 1 : kAt);
                row(family, product, Op::Read, "mergedframes", "complete", all);
                row(family, product, Op::Read, "splitreplies", "complete", all);
                break;
            case Op::Write: {
                // Vertex waits for an answer to its command; Alinco sends word 0 at
                // once; Icom's board stores a word before the programmer hears its ack.
                const int firstOnly = vertex ? 0 : 1;
                row(family, product, Op::Write, "none", "complete", all);
                row(family, product, Op::Write, "silent", "stopped answering", firstOnly);
                row(family, product, Op::Write, "late", "stopped answering", firstOnly);
                row(family, product, Op::Write, "garbage", icom ? "stopped answering" : "complete", icom ? 1 : all);
                row(family, product, Op::Write, "wrongack", "stopped answering", 1);
                row(family, product, Op::Write, "stopat:10", "stopped answering", kAt + 1);
                row(family, product, Op::Write, "unplug:10", "link error", kAt + 1);
                row(family, product, Op::Write, "cancel:10", "cancelled", icom ? kAt + 1 : kAt);
                break;
            }
            }
        }
    }

    // Replies that reach the programmer together: the board's own, back to back, and
    // an adapter's batches. A write's answers come one at a time whatever the gap,
    // but each waits for the adapter's tick.
    for (const Line together : {Line::BackToBack, Line::Adapter}) {
        line = together;
        for (const BoardFamily* f : kBoardFamilies) {
            const QByteArray family = QByteArray(f->name).toLower();
            const int product = shortestProduct(*f);
            const int all = Product::info(product).lastWord + 1;
            const bool icom = *f == BoardFamily::Icom;
            const bool vertex = *f == BoardFamily::Vertex;
            row(family, product, Op::Read, "none", "complete", all);
            row(family, product, Op::Read, "stopat:10", "stopped answering", kAt + 1);
            row(family, product, Op::Read, "unplug:10", "link error", kAt + 1);
            // Replies sent all at once leave no wait that finds too few bytes, and so
            // no point where a cancel is seen: a read is cancelled through an adapter.
            if (together == Line::BackToBack)
                continue;
            row(family, product, Op::Read, "cancel:10", "cancelled", vertex ? kAt + 1 : kAt);
            row(family, product, Op::Write, "none", "complete", all);
            row(family, product, Op::Write, "stopat:10", "stopped answering", kAt + 1);
            row(family, product, Op::Write, "unplug:10", "link error", kAt + 1);
            row(family, product, Op::Write, "cancel:10", "cancelled", icom ? kAt + 1 : kAt);
        }
    }
}

void TestFaultMatrix::faultMatrix()
{
    QFETCH(int, product);
    QFETCH(int, op);
    QFETCH(QString, fault);
    QFETCH(QString, expected);
    QFETCH(int, fresh);
    QFETCH(int, line);

    RigSetup setup;
    setup.product = product;
    setup.lineRate = false;
    if (Line(line) == Line::BackToBack)
        setup.replyGap = {};
    if (Line(line) == Line::Adapter)
        setup.latency = kAdapterLatency;
    setup.silenceTimeout = fault == QLatin1String("late") ? kSilenceForLate : kSilence;
    std::optional<int> cancelAt;
    if (fault.startsWith(QLatin1String("cancel:")))
        cancelAt = fault.section(QLatin1Char(':'), 1).toInt();
    else if (fault != QLatin1String("none") && fault != QLatin1String("unplugged"))
        QVERIFY(!setup.faults.add(fault));

    const BoardImage boardOld = markedImage(product, 1);
    const BoardImage mine = markedImage(product, 2);
    PtyRig rig(setup, boardOld);
    const auto why = rig.start();
    QVERIFY2(!why, qPrintable(why.value_or(QString())));
    Story story(rig);
    if (cancelAt) {
        rig.ctx.tell = [&rig, k = *cancelAt](const JobEvent& e) {
            if (e.kind == JobEvent::Kind::StepDone && ++rig.steps == k)
                rig.cancel = true;
        };
    }
    if (fault == QLatin1String("unplugged"))
        rig.unplug();
    else
        story.add(rig.board());

    const int last = LinkOperations::lastWord(product);
    const qint64 started = rig.clock.nowMicros();
    if (Op(op) == Op::Ping) {
        QCOMPARE(shown(LinkOperations::ping(rig.ctx, product, kCode)), expected);
    } else if (Op(op) == Op::Read) {
        const BoardJob::Result r =
            BoardJob::run(rig.ctx, {.kind = BoardJob::Kind::Read, .product = product, .image = mine, .backUp = false});
        QCOMPARE(shown(r), expected);
        if (cancelAt)
            QVERIFY2(r.wordsDone >= fresh, qPrintable(QString::number(r.wordsDone)));
        else
            QCOMPARE(r.wordsDone, fresh);
        QVERIFY(rig.steps <= last + 1);
        if (fault == QLatin1String("garbage"))
            QVERIFY(holds(r.image, r.image, mine, fresh, last)); // noise in 0..N, nothing beyond
        else
            QVERIFY(holds(r.image, boardOld, mine, r.wordsDone, last)); // exactly the words read
    } else {
        const TransferResult r = LinkOperations::write(rig.ctx, product, mine);
        QCOMPARE(shown(r), expected);
        QVERIFY(rig.steps <= last + 1);
        // The board has taken the word it answers last; look once it has.
        QTRY_VERIFY_WITH_TIMEOUT(holds(rig.board().memory(), mine, boardOld, fresh, last), 1000);
    }
    // Bounded: a wait gives up after the silence timeout, never later.
    QVERIFY(rig.clock.nowMicros() - started < 20'000'000);
    if (Line(line) != Line::Streaming)
        return; // the next command is tried once per fault, on the board's own line

    // The same port serves the next command, on a healthy board.
    RigSetup healthy;
    healthy.product = product;
    healthy.lineRate = false;
    std::optional<QString> noPty;
    const std::unique_ptr<PtyBoard> plugged = boardOnPty(PtyRig::makeBoard(healthy, boardOld), 0, {}, &noPty);
    QVERIFY(!noPty);
    PtyBoard& next = *plugged;
    story.add(next);
    rig.port.close();
    rig.port.setPortName(next.slavePath());
    QVERIFY2(rig.port.open(), qPrintable(rig.port.errorMessage()));
    rig.cancel = false;
    QCOMPARE(shown(LinkOperations::ping(rig.ctx, product, kCode)), QStringLiteral("established"));
}

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "TestFaultMatrix.moc"
