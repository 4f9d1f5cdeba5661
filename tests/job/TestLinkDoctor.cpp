// The link doctor's port step against a device tree of the test's own: a USB
// adapter's latency timer is named, and above 1 ms said to slow every write.
#include "ScriptedPort.h"

#include <LinkDoctor.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLinkDoctor : public QObject {
    Q_OBJECT

private slots:
    void portStepNamesTheAdaptersLatencyTimer_data();
    void portStepNamesTheAdaptersLatencyTimer();
};

void TestLinkDoctor::portStepNamesTheAdaptersLatencyTimer_data()
{
    QTest::addColumn<QByteArray>("timer"); // the file's content; empty: no such file
    QTest::addColumn<QString>("said");
    QTest::newRow("FTDI default") << QByteArray("16\n")
                                  << QStringLiteral(
                                         " Its latency timer is 16 ms: above 1 ms, each of the board's "
                                         "acknowledgements waits that long before the programmer sees it, which "
                                         "slows every write. The programmer asks the driver for low latency when it "
                                         "opens the port; where that does not take, set the timer to 1 ms (echo 1 | "
                                         "sudo tee SYS/bus/usb-serial/devices/ttyUSB0/latency_timer).");
    QTest::newRow("low latency") << QByteArray("1\n") << QStringLiteral(" Its latency timer is 1 ms.");
    QTest::newRow("no adapter timer") << QByteArray() << QString();
}

void TestLinkDoctor::portStepNamesTheAdaptersLatencyTimer()
{
    QFETCH(QByteArray, timer);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString sys = dir.filePath(QStringLiteral("sys"));
    const QString device = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile tty(device);
    QVERIFY(tty.open(QIODevice::WriteOnly));
    if (!timer.isEmpty()) {
        const QString folder = sys + QStringLiteral("/bus/usb-serial/devices/ttyUSB0");
        QVERIFY(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/latency_timer"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(timer) == timer.size());
    }

    ScriptedLink link; // a board that answers nothing
    const LinkDoctor::Report report =
        LinkDoctor::run(link.ctx,
                        {.product = 4, .portName = device, .accessCode = QStringLiteral("47203"), .sysfs = sys});
    const LinkDoctor::StepResult& port = report.steps.front();
    QVERIFY(port.passed);
    QVERIFY2(port.seen.endsWith(QStringLiteral("The system lists no adapter behind it.")
                                + QString(said).replace("SYS", sys)),
             qPrintable(port.seen));
}

QTEST_GUILESS_MAIN(TestLinkDoctor)
#include "TestLinkDoctor.moc"
