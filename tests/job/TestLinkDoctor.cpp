// The link doctor's port step against a device tree of the test's own: a USB
// adapter's latency timer is named, and above 1 ms said to slow every write. The fleet
// engine's run without a board: each radio's end as its job would give it.
#include "ScriptedPort.h"

#include <FleetEngine.h>
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
    void fleetEngineGivesEachCodeOnce_data();
    void fleetEngineGivesEachCodeOnce();
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

void TestLinkDoctor::fleetEngineGivesEachCodeOnce_data()
{
    QTest::addColumn<QString>("first"); // the template's primary code; empty: units A, B, C with 2001..2003
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("steps");     // w written, f failed, c cancelled, s Skip, r Retry
    QTest::addColumn<QStringList>("tries"); // unit:code of each write, in turn
    QTest::addColumn<QStringList>("rows");  // unit:code:state of every radio at the end
    QTest::addColumn<int>("end");
    using E = FleetEngine::End;
    QTest::newRow("numbered: a skipped radio's code goes on")
        << "0500" << 3 << "wfsww" << QStringList{"1:0500", "2:0501", "2:0501", "3:0502"}
        << QStringList{"1:0500:Programmed", "2::Skipped", "2:0501:Programmed", "3:0502:Programmed"}
        << int(E::CountReached);
    QTest::newRow("numbered: 9999 comes before the count")
        << "9998" << 5 << "ww" << QStringList{"1:9998", "2:9999"}
        << QStringList{"1:9998:Programmed", "2:9999:Programmed"} << int(E::CodesExhausted);
    QTest::newRow("numbered: 9999 skipped is still given")
        << "9999" << 0 << "csw" << QStringList{"1:9999", "1:9999"} << QStringList{"1::Skipped", "1:9999:Programmed"}
        << int(E::CodesExhausted);
    QTest::newRow("numbered without a count: one radio waits")
        << "0100" << 0 << "wfrw" << QStringList{"1:0100", "2:0101", "2:0101"}
        << QStringList{"1:0100:Programmed", "2:0101:Programmed", "3:0102:Next"} << int(E::Running);
    QTest::newRow("units: a skipped unit keeps its code")
        << "" << 0 << "wfscrw" << QStringList{"A:2001", "B:2002", "C:2003", "C:2003"}
        << QStringList{"A:2001:Programmed", "B:2002:Skipped", "C:2003:Programmed"} << int(E::TableDone);
    QTest::newRow("units: the count") << "" << 1 << "fsw" << QStringList{"A:2001", "B:2002"}
                                      << QStringList{"A:2001:Skipped", "B:2002:Programmed", "C:2003:Waiting"}
                                      << int(E::CountReached);
}

void TestLinkDoctor::fleetEngineGivesEachCodeOnce()
{
    QFETCH(QString, first);
    QFETCH(int, count);
    QFETCH(QString, steps);
    QFETCH(QStringList, tries);
    QFETCH(QStringList, rows);
    QFETCH(int, end);
    EditorSession templ = EditorSession::startUp(5, qEnvironmentVariable("VIREO_SOURCE_DIR") + QStringLiteral("/data"));
    FleetEngine::Settings settings;
    settings.product = 5;
    settings.count = count;
    FleetEngine engine(settings);
    if (first.isEmpty()) {
        FleetUnits::Table t = FleetUnits::parse(templ, "Unit,PrimaryCode\nA,2001\nB,2002\nC,2003\n", {}, false);
        QVERIFY(t.ok());
        engine.takeUnits(std::move(t.units));
    } else {
        templ.form.PrimaryCode.text = first;
        QVERIFY(!engine.numberFrom(templ));
    }
    QStringList tried;
    for (const QChar step : steps) {
        if (step == 's' || step == 'r') {
            QVERIFY(engine.waitsForRetry());
            step == 's' ? engine.skip() : engine.retry();
            continue;
        }
        const FleetUnits::Unit& u = engine.radio(engine.next()).unit;
        tried << u.label + ':' + u.primaryCode;
        engine.begin();
        BoardJob::Result result;
        result.end = step == 'w' ? BoardJob::End::Done
                                 : (step == 'c' ? BoardJob::End::Cancelled : BoardJob::End::CodeRefused);
        engine.finish(result); // no log is open: its line is refused
    }
    const QStringList states{"Waiting", "Next", "Writing", "Programmed", "Failed", "Cancelled", "Skipped"};
    QStringList shown;
    for (int r = 0; r < engine.radioCount(); ++r)
        shown << engine.radio(r).unit.label + ':' + engine.codeOf(r) + ':' + states[int(engine.radio(r).state)];
    QCOMPARE(tried, tries);
    QCOMPARE(shown, rows);
    QCOMPARE(int(engine.end()), end);
}

QTEST_GUILESS_MAIN(TestLinkDoctor)
#include "TestLinkDoctor.moc"
