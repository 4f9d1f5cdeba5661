// Paced output, the counted and framed waits, line settings and port names.
#include "ScriptedPort.h"

#include <LineSettings.h>
#include <PortMap.h>
#include <Primitives.h>
#include <SerialPort.h>

#include <QTest>

class TestLinkPrimitives : public QObject {
    Q_OBJECT

private slots:
    void lineSettingsParseGoodTextsAndRejectMalformedOnes();
    void comPortsMapToDevicesAndOtherNamesAreTakenAsTyped();
    void aChosenDeviceWinsThenTheEnvironmentThenTheRememberedOne();
    void sendPausesBeforeEveryByteFromTheLastHandOver();
    void countedWaitSeesCancelOnlyWhenTooFewBytesArePending();
    void framedWaitSeesCancelOnEveryPassWithoutTheTerminator();
    void silenceTimeoutCountsOnlyTimeWithoutNewBytes();
    void silenceIsToldAfterFiveSecondsAndEndsWithTheNextByte();
    void portFailureEndsAWaitWithItsReason();
};

void TestLinkPrimitives::lineSettingsParseGoodTextsAndRejectMalformedOnes()
{
    const auto s = LineSettings::parse(QStringLiteral("9600,E,7,1.5"));
    QVERIFY(s);
    QVERIFY((*s == LineSettings{9600, LineSettings::Parity::Even, 7, LineSettings::StopBits::OneAndHalf}));
    QVERIFY((*LineSettings::parse(QStringLiteral("4800,n,8,2")) == LineSettings{}));

    for (const char* bad :
         {"", "4800,n,8", "4800,n,8,2,1", "fast,n,8,2", "0,n,8,2", "4800,x,8,2", "4800,n,9,2", "4800,n,8,3"}) {
        QString why;
        QVERIFY2(!LineSettings::parse(QString::fromLatin1(bad), &why), bad);
        QVERIFY(!why.isEmpty());
    }
}

void TestLinkPrimitives::comPortsMapToDevicesAndOtherNamesAreTakenAsTyped()
{
#ifndef Q_OS_WIN
    qunsetenv("VIREO_COM1");
    qputenv("VIREO_COM2", "/tmp/board-pty");
    QCOMPARE(SerialPort::devicePathFor(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(SerialPort::devicePathFor(QStringLiteral("COM2")), QStringLiteral("/tmp/board-pty"));
    QCOMPARE(SerialPort::devicePathFor(QStringLiteral("com4:")), QStringLiteral("/dev/ttyS3"));
    qunsetenv("VIREO_COM2");
#endif
    QCOMPARE(SerialPort::devicePathFor(QStringLiteral("COM5")), QStringLiteral("COM5"));
    QCOMPARE(SerialPort::devicePathFor(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
}

void TestLinkPrimitives::aChosenDeviceWinsThenTheEnvironmentThenTheRememberedOne()
{
    PortMap map;
    map.remember(1, QStringLiteral("/dev/remembered1"));
    map.remember(2, QStringLiteral("/dev/remembered2"));
    map.choose(2, QStringLiteral("/dev/chosen2"));
    map.remember(3, QStringLiteral("/dev/remembered3"));
    qputenv("VIREO_COM1", "/dev/given1");
    qputenv("VIREO_COM2", "/dev/given2");
    qunsetenv("VIREO_COM3");
    qunsetenv("VIREO_COM4");
    QCOMPARE(map.devicePathFor(QStringLiteral("COM1")), QStringLiteral("/dev/given1"));
    QCOMPARE(map.devicePathFor(QStringLiteral("COM2")), QStringLiteral("/dev/chosen2"));
    QCOMPARE(map.devicePathFor(QStringLiteral("com3:")), QStringLiteral("/dev/remembered3"));
#ifdef Q_OS_WIN
    QCOMPARE(map.devicePathFor(QStringLiteral("COM4")), QStringLiteral("COM4")); // the system's port
#else
    QCOMPARE(map.devicePathFor(QStringLiteral("COM4")), QStringLiteral("/dev/ttyS3"));
#endif
    QCOMPARE(map.devicePathFor(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
    // The environment is read at each look-up: the port sees what is set when it opens.
    qunsetenv("VIREO_COM1");
    QCOMPARE(map.devicePathFor(QStringLiteral("COM1")), QStringLiteral("/dev/remembered1"));
    qunsetenv("VIREO_COM2");
}

void TestLinkPrimitives::sendPausesBeforeEveryByteFromTheLastHandOver()
{
    ScriptedLink link;
    link.clock.advanceTo(1000);
    QVERIFY(Send(link.ctx, QByteArray()).ok());
    QCOMPARE(link.clock.nowMicros(), 1000); // an empty text neither writes nor waits
    QVERIFY(link.port.sent().empty());

    QVERIFY(Send(link.ctx, QByteArray("02\r")).ok());
    QCOMPARE(link.port.sentBytes(), QByteArray("\x30\x32\x0D"));
    QCOMPARE(link.port.sent()[0].atMicros, 1000 + kPaceMicros);
    QCOMPARE(link.port.sent()[1].atMicros, 1000 + 2 * kPaceMicros);
    QCOMPARE(link.port.sent()[2].atMicros, 1000 + 3 * kPaceMicros);
}

void TestLinkPrimitives::countedWaitSeesCancelOnlyWhenTooFewBytesArePending()
{
    ScriptedLink link;
    link.port.arriveAt(3, "abcdef");
    link.cancel = true;
    link.port.arriveAt(0, "ab");
    // Enough bytes pending: the wait ends with data although a cancel is waiting.
    QVERIFY(waitForCount(link.ctx, 2).ok());
    // Too few: the cancel is seen, after at most one poll.
    const LinkStatus short_ = waitForCount(link.ctx, 3);
    QVERIFY(short_.cancelled());
    QVERIFY(link.clock.nowMicros() <= kPollMillis * 1000);
}

void TestLinkPrimitives::framedWaitSeesCancelOnEveryPassWithoutTheTerminator()
{
    ScriptedLink link;
    const QByteArray end("\x0A\x0D\xFD", 3);
    link.port.arriveAt(0, QByteArray("1234") + end);
    link.cancel = true;
    QByteArray acc;
    // The pass that takes in the frame also sees the cancel: the wait ends cancelled.
    QVERIFY(waitForFrame(link.ctx, acc, end).cancelled());
    QCOMPARE(acc, QByteArray("1234") + end);

    link.cancel = false;
    QByteArray acc2 = QByteArray("1234") + end;
    QVERIFY(waitForFrame(link.ctx, acc2, end).ok()); // already complete: no pass needed
}

void TestLinkPrimitives::silenceTimeoutCountsOnlyTimeWithoutNewBytes()
{
    ScriptedLink link;
    link.ctx.silenceTimeout = std::chrono::milliseconds(1000);
    for (int k = 1; k <= 5; ++k)
        link.port.arriveAt(600 * k, "x"); // a slow trickle never ends a wait
    QVERIFY(waitForCount(link.ctx, 5).ok());
    QCOMPARE(link.clock.nowMicros(), 3000 * 1000);

    const LinkStatus silent = waitForCount(link.ctx, 6);
    QVERIFY(silent.end == LinkStatus::End::TimedOut);
    QVERIFY(link.clock.nowMicros() >= 4000 * 1000);
    QVERIFY(link.clock.nowMicros() <= 4000 * 1000 + kPollMillis * 1000);

    QByteArray acc;
    QVERIFY(waitForFrame(link.ctx, acc, "\xFD").end == LinkStatus::End::TimedOut);
}

void TestLinkPrimitives::silenceIsToldAfterFiveSecondsAndEndsWithTheNextByte()
{
    ScriptedLink link;
    QList<std::pair<qint64, bool>> told; // (millis, silent)
    link.ctx.tell = [&](const JobEvent& e) {
        if (e.kind == JobEvent::Kind::SilenceChanged)
            told.append({link.clock.nowMicros() / 1000, e.silent});
    };
    link.port.arriveAt(4000, "x");   // a pause shorter than five seconds says nothing
    link.port.arriveAt(10000, "yz"); // a longer one does, until the board speaks
    link.port.arriveAt(17000, "w");
    QVERIFY(waitForCount(link.ctx, 3).ok());
    QByteArray acc;
    link.port.arriveAt(17000, QByteArray("1234\xFD"));
    QVERIFY(waitForFrame(link.ctx, acc, "\xFD").ok());
    // The framed wait too: silent from 10 s (its start) to 17 s.
    QCOMPARE(told.size(), 4);
    QVERIFY(told[0].first >= 9000 && told[0].first <= 9000 + kPollMillis && told[0].second);
    QCOMPARE(told[1], std::make_pair(qint64(10000), false));
    QVERIFY(told[2].first >= 15000 && told[2].first <= 15000 + kPollMillis && told[2].second);
    QCOMPARE(told[3], std::make_pair(qint64(17000), false));
    QVERIFY(!link.ctx.boardSilent);
}

void TestLinkPrimitives::portFailureEndsAWaitWithItsReason()
{
    ScriptedLink link;
    link.port.failAt(50, QStringLiteral("/dev/ttyS0: the adapter or cable was disconnected"));
    const LinkStatus s = waitForCount(link.ctx, 1);
    QVERIFY(s.end == LinkStatus::End::PortError);
    QCOMPARE(s.message, QStringLiteral("/dev/ttyS0: the adapter or cable was disconnected"));
    QVERIFY(!Send(link.ctx, "x").ok());
    QByteArray acc;
    QVERIFY(waitForFrame(link.ctx, acc, "\xFD").end == LinkStatus::End::PortError);
}

QTEST_GUILESS_MAIN(TestLinkPrimitives)
#include "TestLinkPrimitives.moc"
