// The serial trace: what a support trace holds after a link check, and that the
// trace never gets in the way of the link.
#include "ScriptedPort.h"

#include <PortTrace.h>
#include <VertexDialogue.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The lines of the trace file as they stand now (the file is flushed line by line).
QStringList traceLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestPortTrace : public QObject {
    Q_OBJECT

private slots:
    void vertexLinkCheckIsTracedByteByByteWithItsTimes();
    void openSettingsCloseAndAPortFailureAreTracedOnce();
    void longPiecesAreSplitAndUnprintableBytesShownAsDots();
    void aTraceFileThatCannotBeWrittenLeavesThePortWorking();
};

void TestPortTrace::vertexLinkCheckIsTracedByteByByteWithItsTimes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    ScriptedLink link;
    link.clock.advanceTo(5000); // times count from the start of the trace, not of the clock
    link.port.onSent(QByteArray("\xE5\x2C", 2), QByteArray("\xE5", 1), 20);
    link.port.onSent("47203\r", "OK\n\r", 20);
    Port& port = link.port;
    QVERIFY(port.startTrace(path, link.clock));
    LinkContext ctx{port, link.clock, link.cancel};

    QVERIFY(Ping_Vertex(ctx, QStringLiteral("47203")).outcome == PingResult::Outcome::Established);
    // What went over the line is unchanged by the trace.
    QCOMPARE(link.port.sentBytes(), QByteArray("\xE5\x2C"
                                               "47203\r"));

    // Read while the port is still in use: every line is on disk already.
    const QStringList lines = traceLines(path);
    QVERIFY(lines.value(0).startsWith(QStringLiteral("# Vireo serial trace started ")));
    QStringList expected;
    const auto tx = [&](const QByteArray& b) { return PortTrace::bytesText(b); };
    // Each byte is paced 8 ms after the one before; the board answers 20 ms after
    // the last byte of each message, and the dialogue reads 250 ms after sending.
    qint64 t = 0;
    for (const char b : QByteArray("\xE5\x2C", 2)) {
        t += 8000;
        expected << QStringLiteral("%1 TX    %2").arg(t, 10).arg(tx(QByteArray(1, b)));
    }
    const qint64 wakeAnswerRead = t + 250000;
    expected << QStringLiteral("%1 RX    %2").arg(wakeAnswerRead, 10).arg(tx("\xE5"));
    QCOMPARE(lines.mid(1, 3), expected);
    QCOMPARE(lines.value(3), QStringLiteral("    266000 RX    E5                                              |.|"));
    QCOMPARE(lines.size(), 1 + 2 + 1 + 6 + 1);
    for (int k = 0; k < 6; ++k)
        QVERIFY2(lines[4 + k].contains(QStringLiteral(" TX    ")), qPrintable(lines[4 + k]));
    QVERIFY(lines[4].endsWith(QStringLiteral("|4|")));
    QVERIFY(lines[9].contains(QStringLiteral("0D ")));
    QVERIFY(lines[10].contains(QStringLiteral(" RX    4F 4B 0A 0D ")));
    QVERIFY(lines[10].endsWith(QStringLiteral("|OK..|")));
}

void TestPortTrace::openSettingsCloseAndAPortFailureAreTracedOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    ScriptedLink link;
    Port& port = link.port;
    QVERIFY(port.startTrace(path, link.clock));

    port.close();
    QVERIFY(port.applySettings(*LineSettings::parse(QStringLiteral("9600,n,8,2"))));
    QVERIFY(port.open());
    link.port.failAt(3, QStringLiteral("/dev/ttyS0: the adapter or cable was disconnected"),
                     QStringLiteral("Input/output error"));
    link.clock.advanceTo(4000);
    // Every call sees the failure; the trace names it once, in the technician's
    // words and the system's; the port itself tells the technician's only.
    QVERIFY(!port.write("x"));
    QCOMPARE(port.bytesAvailable(), 0);
    QVERIFY(!port.waitForReadyRead(10));
    QVERIFY(port.hasFailed());
    QCOMPARE(port.errorMessage(), QStringLiteral("/dev/ttyS0: the adapter or cable was disconnected"));
    port.stopTrace();
    QVERIFY(!port.isTracing());
    // A new trace on a port that has failed already starts by naming the failure.
    const QString again = dir.filePath(QStringLiteral("again.txt"));
    QVERIFY(port.startTrace(again, link.clock));
    // Closing ends the failure: the closed port's own failure is traced afresh.
    port.close();
    QVERIFY(!port.write("x"));
    port.stopTrace();
    QCOMPARE(traceLines(again).mid(1),
             (QStringList{
                 QStringLiteral("         0 ERROR /dev/ttyS0: the adapter or cable was disconnected "
                                "(system: Input/output error)"),
                 QStringLiteral("         0 CLOSE"),
                 QStringLiteral("         0 ERROR the port is not open"),
             }));
    port.open(); // no longer traced

    QCOMPARE(traceLines(path).mid(1),
             (QStringList{
                 QStringLiteral("         0 CLOSE"),
                 QStringLiteral("         0 SET   9600,n,8,2"),
                 QStringLiteral("         0 OPEN  ok"),
                 QStringLiteral("      4000 ERROR /dev/ttyS0: the adapter or cable was disconnected "
                                "(system: Input/output error)"),
             }));
}

void TestPortTrace::longPiecesAreSplitAndUnprintableBytesShownAsDots()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    ScriptedLink link;
    link.port.arriveAt(0, all.left(20));
    Port& port = link.port;
    QVERIFY(port.startTrace(path, link.clock));
    QCOMPARE(port.readAll(), all.left(20));
    QVERIFY(port.readAll().isEmpty()); // nothing read, nothing traced

    const QStringList lines = traceLines(path).mid(1);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0],
             QStringLiteral("         0 RX    00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F |................|"));
    QCOMPARE(lines[1], QStringLiteral("         0 RX    10 11 12 13                                     |....|"));
    // Printable ASCII shows as itself, everything else (0x7F and up included) as a dot.
    QCOMPARE(PortTrace::bytesText(QByteArray(" ~\x7F\xE5\xFD", 5)).section(QLatin1Char('|'), 1, 1),
             QStringLiteral(" ~..."));
}

void TestPortTrace::aTraceFileThatCannotBeWrittenLeavesThePortWorking()
{
    QTemporaryDir dir;
    ScriptedLink link;
    link.port.onSent("02\r", "ok", 1);
    Port& port = link.port;
    QVERIFY(!port.startTrace(dir.filePath(QStringLiteral("no such folder/trace.txt")), link.clock));
    QVERIFY(port.traceError().contains(QStringLiteral("no such folder")));
    QVERIFY(!port.isTracing());
    QVERIFY(port.write("02\r"));
    QVERIFY(port.waitForReadyRead(10));
    QCOMPARE(port.readAll(), QByteArray("ok"));
    QCOMPARE(link.port.sentBytes(), QByteArray("02\r"));
}

QTEST_GUILESS_MAIN(TestPortTrace)
#include "TestPortTrace.moc"
