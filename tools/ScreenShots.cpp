// Pictures of the board commands' windows for review, against a virtual board at
// the line's speed: vireo-screenshots <directory>. Run under xvfb-run -a.
#include "DataFile.h"
#include "EstablishWindow.h"
#include "LinkWorker.h"
#include "MainWindow.h"
#include "Messages.h"
#include "PtyBoard.h"
#include "TransferWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString outDir;
int boxCount = 0;

void save(QWidget* w, const QString& name)
{
    QTest::qWait(150); // let the window paint once
    w->grab().save(QDir(outDir).filePath(name + QStringLiteral(".png")));
}

// Shows each message as the program would, takes its picture, closes it.
void photographMessage(QWidget* parent, const Messages::Message& m)
{
    const std::unique_ptr<QMessageBox> box = Messages::makeBox(parent, m);
    box->show();
    save(box.get(), QStringLiteral("message-%1").arg(++boxCount));
}

// The same for a question; answered with its default.
int photographQuestion(QWidget* parent, const Messages::Question& q)
{
    const std::unique_ptr<QMessageBox> box = Messages::makeBox(parent, q);
    box->show();
    save(box.get(), QStringLiteral("question-%1").arg(++boxCount));
    return q.defaultButton;
}

template <typename Condition>
void waitFor(Condition condition, int ms)
{
    if (!QTest::qWaitFor(condition, ms))
        qWarning("gave up waiting after %d ms", ms);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    // A working directory with the default files and product 4 on COM1.
    QTemporaryDir work;
    for (const char* name : {"default.tv2", "defaulti.tv2"})
        QFile::copy(QDir(QStringLiteral(VIREO_DATA_DIR)).filePath(QLatin1String(name)),
                    QDir(work.path()).filePath(QLatin1String(name)));
    QFile config(QDir(work.path()).filePath(QStringLiteral("Config.ini")));
    if (config.open(QIODevice::WriteOnly))
        config.write("1\r\n4\r\n");
    config.close();
    QDir::setCurrent(work.path());
    qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
    Messages::setSink(photographMessage);
    Messages::setAnswerer(photographQuestion);

    MainWindow w;
    w.Form_Load();
    w.show();
    waitFor([&] { return !w.isLinkBusy(); }, 10000);

    BoardSetup setup;
    setup.product = 4;
    setup.accessCode = w.form().ProgAccessCode.text;
    setup.requireCode = false;
    PtyBoard board(VirtualBoard::create(setup, w.image()), 4800);
    board.start();
    qputenv("VIREO_COM1", board.slavePath().toLocal8Bit());

    // Link check: the notice; then a read, photographed half way.
    w.mnuSerialConfig_Click(1);
    waitFor([&] { return !w.isLinkBusy(); }, 10000);
    w.mnuEstablishLink_Click();
    waitFor([&] { return w.establishWindow()->isVisible(); }, 10000);
    save(w.establishWindow(), QStringLiteral("link-notice"));
    waitFor([&] { return !w.isLinkBusy() && !w.establishWindow()->isVisible(); }, 10000);

    w.mnuOperRead_Click();
    waitFor([&] { return w.transferWindow()->value() >= 60; }, 30000);
    save(w.transferWindow(), QStringLiteral("transfer-mid-read"));
    w.mnuOperWrite_Click(); // refused: message-1
    waitFor([&] { return !w.isLinkBusy(); }, 30000);

    // A port that cannot be opened (message-2), a read on it (message-3).
    qputenv("VIREO_COM2", "/nonexistent/vireo-com2");
    w.mnuSerialConfig_Click(2);
    waitFor([&] { return !w.isLinkBusy(); }, 10000);
    qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
    w.mnuSerialConfig_Click(1);
    waitFor([&] { return !w.isLinkBusy(); }, 10000);
    w.mnuOperRead_Click();
    waitFor([&] { return !w.isLinkBusy(); }, 10000);

    // A board that refuses the code (message-6, after the two port messages).
    setup.faults.wrongCode = true;
    PtyBoard refusing(VirtualBoard::create(setup, w.image()), 4800);
    refusing.start();
    qputenv("VIREO_COM1", refusing.slavePath().toLocal8Bit());
    w.mnuSerialConfig_Click(1);
    waitFor([&] { return !w.isLinkBusy(); }, 10000);
    w.mnuEstablishLink_Click();
    waitFor([&] { return !w.isLinkBusy(); }, 10000);

    // Entries no completion mends (message-7), named one a line.
    Form bad = w.form();
    bad.PrimaryCode.text = QStringLiteral("12G4");
    bad.GroupCode[3].text = QStringLiteral("7Z");
    bad.SpeedDial[11].text = QStringLiteral("555-1234");
    w.showForm(bad);
    w.mnuOperWrite_Click();
    w.showForm(bad);

    // A read without the link check: the board ignores it, and after five seconds the
    // transfer window says so. Exit then asks first (question-8).
    setup.faults = {};
    setup.requireCode = true;
    PtyBoard locked(VirtualBoard::create(setup, w.image()), 4800);
    locked.start();
    qputenv("VIREO_COM1", locked.slavePath().toLocal8Bit());
    w.mnuSerialConfig_Click(1);
    waitFor([&] { return !w.isLinkBusy(); }, 10000);
    w.mnuOperRead_Click();
    waitFor([&] { return w.transferWindow()->isBoardSilentShown(); }, 10000);
    save(w.transferWindow(), QStringLiteral("transfer-not-answering"));
    w.close();
    w.transferWindow()->close();
    waitFor([&] { return !w.isLinkBusy(); }, 10000);
    Messages::setSink({});
    Messages::setAnswerer({});
    return 0;
}
