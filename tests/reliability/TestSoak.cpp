// Hundreds of link checks, writes and reads in a row through one serial port:
// every one succeeds, what is written reads back, and memory does not grow from
// cycle to cycle. Each cycle has a board of its own, since a virtual board keeps
// a log of every byte it saw; the port is closed and opened on it each time.
// VIREO_SOAK_CYCLES sets the number of cycles (500).
#include "PtyRig.h"

#include <LinkOperations.h>

#include <QFile>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int kProduct = 3; // 250 words, and the Icom write sends its frames unpaced: the quickest long cycle
constexpr int kMeasureFrom = 50;
constexpr qint64 kSlackKb = 2048;

qint64 residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * (::sysconf(_SC_PAGESIZE) / 1024) : -1;
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void manyCyclesSucceedWithoutGrowing();
};

void TestSoak::manyCyclesSucceedWithoutGrowing()
{
    const int cycles =
        qEnvironmentVariableIsSet("VIREO_SOAK_CYCLES") ? qEnvironmentVariableIntValue("VIREO_SOAK_CYCLES") : 500;
    RigSetup setup;
    setup.product = kProduct;
    setup.lineRate = false;
    setup.turnaround = std::chrono::milliseconds(1);
    setup.requireCode = true;
    PtyRig rig(setup, markedImage(kProduct, 1));
    const auto why = rig.start();
    QVERIFY2(!why, qPrintable(why.value_or(QString())));

    qint64 rssAtStart = 0;
    const qint64 started = rig.clock.nowMicros();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const auto fresh = rig.replaceBoard(markedImage(kProduct, 1));
        QVERIFY2(!fresh, qPrintable(fresh.value_or(QString())));
        const PingResult ping = LinkOperations::ping(rig.ctx, kProduct, QStringLiteral("47203"));
        QVERIFY2(ping.outcome == PingResult::Outcome::Established, qPrintable(QString::number(cycle)));

        const BoardImage written = markedImage(kProduct, 2 + cycle % 2);
        const TransferResult w = LinkOperations::write(rig.ctx, kProduct, written);
        QVERIFY2(w.end == TransferResult::End::Completed,
                 qPrintable(QStringLiteral("write %1: %2").arg(cycle).arg(w.message)));

        BoardImage image = markedImage(kProduct, 9);
        const TransferResult r = LinkOperations::read(rig.ctx, kProduct, image);
        QVERIFY2(r.end == TransferResult::End::Completed,
                 qPrintable(QStringLiteral("read %1: %2").arg(cycle).arg(r.message)));
        for (int i = 0; i <= LinkOperations::lastWord(kProduct); ++i)
            QCOMPARE(image.word(i), written.word(i));

        if (cycle == kMeasureFrom)
            rssAtStart = residentKb();
    }
    const qint64 rssAtEnd = residentKb();
    qInfo("%d cycles in %.1f s; resident %lld kB after cycle %d, %lld kB at the end", cycles,
          (rig.clock.nowMicros() - started) / 1e6, static_cast<long long>(rssAtStart), kMeasureFrom,
          static_cast<long long>(rssAtEnd));
    if (cycles > kMeasureFrom)
        QVERIFY2(rssAtEnd - rssAtStart <= kSlackKb, qPrintable(QString::number(rssAtEnd - rssAtStart)));
}

QTEST_GUILESS_MAIN(TestSoak)
#include "TestSoak.moc"
