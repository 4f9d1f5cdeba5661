// Paced and unpaced output, the counted and framed waits, line settings, port
// names and the link's message texts.
#include "ScriptedPort.h"

#include <LineSettings.h>
#include <LinkMessages.h>
#include <Primitives.h>
#include <SerialPort.h>

#include <QTest>

class TestLinkPrimitives : public QObject {
    Q_OBJECT

private slots:
    void lineSettingsParseTheProductsTexts();
    void lineSettingsRejectMalformedTexts_data();
    void lineSettingsRejectMalformedTexts();
    void comPortsMapToDevicesAndOtherNamesAreTakenAsTyped();
    void sendPausesBeforeEveryByteFromTheLastHandOver();
    void sendFastWritesEveryByteAtOnce();
    void countedWaitSeesCancelOnlyWhenTooFewBytesArePending();
    void framedWaitSeesCancelOnEveryPassWithoutTheTerminator();
    void silenceTimeoutCountsOnlyTimeWithoutNewBytes();
    void portFailureEndsAWaitWithItsReason();
    void messagesReadExactly();
};

void TestLinkPrimitives::lineSettingsParseTheProductsTexts()
{
    const auto s = LineSettings::parse(QStringLiteral("4800,n,8,2"));
    QVERIFY(s);
    QCOMPARE(s->baudRate, 4800);
    QVERIFY(s->parity == LineSettings::Parity::None);
    QCOMPARE(s->dataBits, 8);
    QVERIFY(s->stopBits == LineSettings::StopBits::Two);

    const auto t = LineSettings::parse(QStringLiteral("9600,E,7,1.5"));
    QVERIFY(t);
    QCOMPARE(t->baudRate, 9600);
    QVERIFY(t->parity == LineSettings::Parity::Even);
    QCOMPARE(t->dataBits, 7);
    QVERIFY(t->stopBits == LineSettings::StopBits::OneAndHalf);
}

void TestLinkPrimitives::lineSettingsRejectMalformedTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("three fields") << QStringLiteral("4800,n,8");
    QTest::newRow("five fields") << QStringLiteral("4800,n,8,2,1");
    QTest::newRow("baud not a number") << QStringLiteral("fast,n,8,2");
    QTest::newRow("baud zero") << QStringLiteral("0,n,8,2");
    QTest::newRow("parity") << QStringLiteral("4800,x,8,2");
    QTest::newRow("data bits") << QStringLiteral("4800,n,9,2");
    QTest::newRow("stop bits") << QStringLiteral("4800,n,8,3");
}

void TestLinkPrimitives::lineSettingsRejectMalformedTexts()
{
    QFETCH(QString, text);
    QString why;
    QVERIFY(!LineSettings::parse(text, &why));
    QVERIFY(!why.isEmpty());
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

void TestLinkPrimitives::sendFastWritesEveryByteAtOnce()
{
    ScriptedLink link;
    QByteArray all;
    for (int b = 0; b <= 0xFF; ++b)
        all.append(char(b));
    QVERIFY(SendFast(link.ctx, all).ok());
    QCOMPARE(link.port.sentBytes(), all);
    QCOMPARE(link.port.sent().back().atMicros, 0);
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

void TestLinkPrimitives::portFailureEndsAWaitWithItsReason()
{
    ScriptedLink link;
    link.port.failAt(50, QStringLiteral("/dev/ttyS0: Input/output error"));
    const LinkStatus s = waitForCount(link.ctx, 1);
    QVERIFY(s.end == LinkStatus::End::PortError);
    QCOMPARE(s.message, QStringLiteral("/dev/ttyS0: Input/output error"));
    QVERIFY(!Send(link.ctx, "x").ok());
    QByteArray acc;
    QVERIFY(waitForFrame(link.ctx, acc, "\xFD").end == LinkStatus::End::PortError);
}

void TestLinkPrimitives::messagesReadExactly()
{
    QCOMPARE(LinkMessages::kTitle, QStringLiteral("Communications Error"));
    QCOMPARE(LinkMessages::kCommLinkError,
             QStringLiteral("Unable to Establish Communications Link with Logic Board.\r\n"
                            "Please check Power and Serial Cable connections.\r\n"
                            "Also verify Product and Serial Port Menu items."));
    QCOMPARE(LinkMessages::kInvalidPassword,
             QStringLiteral("The Access Code entered is invalid.\r\nRe-cycle Power to Logic Board, and try again."));
}

QTEST_GUILESS_MAIN(TestLinkPrimitives)
#include "TestLinkPrimitives.moc"
