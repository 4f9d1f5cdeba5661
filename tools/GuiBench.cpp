// The GUI thread's worst stall while the board is read, written, checked and a
// transfer cancelled (a 10 ms heartbeat timer; its largest lateness), and the time
// to a shown main window with the default file loaded. Runs offscreen.
#include "EstablishWindow.h"
#include "LinkWorker.h"
#include "MainWindow.h"
#include "Messages.h"
#include "PtyBoard.h"
#include "TransferWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

// Largest lateness of a 10 ms timer while it runs.
class Heartbeat {
public:
    Heartbeat()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { worst_ = std::max(worst_, clock_.restart() - 10); });
    }
    void start()
    {
        worst_ = 0;
        clock_.start();
        timer_.start();
    }
    qint64 stop()
    {
        timer_.stop();
        return worst_;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 worst_ = 0;
};

bool waitFor(const std::function<bool()>& condition, int ms = 60000)
{
    return QTest::qWaitFor(condition, ms);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
    QApplication app(argc, argv);
    Messages::setSink([](QWidget*, const Messages::Message&) {});

    QTemporaryDir work;
    for (const char* name : {"default.tv2", "defaulti.tv2"})
        QFile::copy(QDir(QStringLiteral(VIREO_DATA_DIR)).filePath(QLatin1String(name)),
                    QDir(work.path()).filePath(QLatin1String(name)));
    QFile config(QDir(work.path()).filePath(QStringLiteral("Config.ini")));
    if (config.open(QIODevice::WriteOnly))
        config.write("1\r\n4\r\n");
    config.close();
    QDir::setCurrent(work.path());

    QElapsedTimer startup;
    startup.start();
    MainWindow w;
    w.Form_Load();
    w.show();
    QCoreApplication::processEvents();
    const qint64 startupMs = startup.elapsed();
    waitFor([&] { return !w.isLinkBusy(); });

    BoardSetup setup;
    setup.product = 4;
    setup.accessCode = w.form().ProgAccessCode.text;
    setup.requireCode = false;
    PtyBoard board(VirtualBoard::create(setup, w.image()), 4800);
    board.start();
    qputenv("VIREO_COM1", board.slavePath().toLocal8Bit());
    w.mnuSerialConfig_Click(1);
    waitFor([&] { return !w.isLinkBusy(); });

    Heartbeat beat;
    auto measure = [&](const char* what, const std::function<void()>& command) {
        QElapsedTimer took;
        took.start();
        beat.start();
        command();
        const bool ended = waitFor([&] { return !w.isLinkBusy(); });
        std::printf("%-14s %8lld ms %9lld ms%s\n", what, static_cast<long long>(beat.stop()),
                    static_cast<long long>(took.elapsed()), ended ? "" : "  (did not end)");
    };

    std::printf("%-14s %11s %12s\n", "command", "worst stall", "took");
    measure("link check", [&] { w.mnuEstablishLink_Click(); });
    measure("read", [&] { w.mnuOperRead_Click(); });
    measure("write", [&] { w.mnuOperWrite_Click(); });
    measure("cancel", [&] {
        w.mnuOperRead_Click();
        // The transfer window opens when the worker starts the transfer; until then it
        // still holds the last write's bar.
        waitFor([&] { return w.transferWindow()->isVisible() && w.transferWindow()->value() >= 50; });
        w.transferWindow()->cmdCancel_Click();
    });

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%-14s %8lld ms  (target < 300)\n", "start-up", static_cast<long long>(startupMs));
    std::printf("%-14s %8ld MB  (target < 80)\n", "peak RSS", usage.ru_maxrss / 1024);
    std::printf("stall target < 50 ms\n");
    return 0;
}
