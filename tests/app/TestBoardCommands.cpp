// The window's board commands end to end: the real serial port on a pseudo-terminal
// against an in-process virtual board, driven through the window's menu commands.
// These run in real time; every wait is on a real signal or state, with room to spare.
#include "BoardOnPty.h"
#include "DataFile.h"
#include "Editor.h"
#include "EstablishWindow.h"
#include "LinkWorker.h"
#include "MainWindow.h"
#include "MaskedEdit.h"
#include "Product.h"
#include "ProductExpectations.h"
#include "TestHelpers.h"
#include "TransferWindow.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr int kLong = 60000;

QString sourceFile(const QString& relative)
{
    return QDir(qEnvironmentVariable("VIREO_SOURCE_DIR")).filePath(relative);
}

// A working directory with the default data files and the settings for a product on COM1.
struct Bench {
    explicit Bench(int product)
    {
        // Nothing touches a real serial port; the board is plugged in later.
        qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
        for (const char* name : {"default.tv2", "defaulti.tv2"})
            QFile::copy(sourceFile(QStringLiteral("data/") + QLatin1String(name)), dir.file(QLatin1String(name)));
        QFile config(dir.file(QStringLiteral("Config.ini")));
        if (config.open(QIODevice::WriteOnly))
            config.write(product ? QByteArray("1\r\n") + QByteArray::number(product) + "\r\n" : QByteArray("1\r\n"));
    }
    WorkingDir dir;
    CapturedMessages messages;
};

// A board on a pseudo-terminal that COM1 points at; baud 0 leaves the line's speed out;
// with a latency, through an adapter that hands its bytes over once per tick.
std::unique_ptr<PtyBoard> plugBoard(const BoardSetup& setup, const BoardImage& memory, int baud = 0,
                                    std::chrono::milliseconds latency = {})
{
    auto board = boardOnPty(setup, memory, baud, latency);
    qputenv("VIREO_COM1", board->slavePath().toLocal8Bit());
    return board;
}

// What the board holds: the window's configuration with other codes and speed dials,
// in the form the window itself would write it.
BoardImage boardConfiguration(MainWindow& w)
{
    Form form = w.form();
    form.PrimaryCode.text = QStringLiteral("4321");
    for (TextBox& dial : form.SpeedDial)
        dial.text = QStringLiteral("5551234");
    BoardImage memory = w.image();
    Editor::ReadGUI(form, memory);
    return memory;
}

BoardSetup setupFor(MainWindow& w, int product)
{
    BoardSetup setup;
    setup.product = product;
    setup.accessCode = w.form().ProgAccessCode.text;
    setup.requireCode = false; // the link check is tried on its own
    return setup;
}

bool sameWords(const BoardImage& a, const BoardImage& b, int from, int to)
{
    for (int i = from; i <= to; ++i)
        if (a.word(i) != b.word(i))
            return false;
    return true;
}

} // namespace

class TestBoardCommands : public QObject {
    Q_OBJECT
private slots:
    // Files opened and saved go to Recent Files: the tests keep a store of their own.
    void initTestCase() { useTestUserSettings(); }

    void cleanup() { qunsetenv("VIREO_COM1"); }

    // Link check, read and write for every product, each against its own family's board,
    // the products that move 99 words with the board's read replies back to back and
    // through an adapter that hands them over in 16 ms batches.
    void checkReadAndWriteEveryProduct_data()
    {
        QTest::addColumn<int>("product");
        QTest::addColumn<int>("baud");    // 0: the line's speed left out
        QTest::addColumn<int>("gap");     // between read replies
        QTest::addColumn<int>("latency"); // the adapter's
        for (const ProductInfo& info : Product::kAll) {
            const int p = info.index;
            if (info.lastWord > 98) {
                QTest::newRow(info.shortName) << p << 0 << 5 << 0;
                continue;
            }
            QTest::addRow("%s, back to back", info.shortName) << p << 0 << 0 << 0;
            QTest::addRow("%s, 16 ms adapter", info.shortName) << p << info.line.baudRate << 2 << 16;
        }
        QTest::newRow("VTP-50 at the line's speed") << 5 << 4800 << 5 << 0;
    }
    void checkReadAndWriteEveryProduct()
    {
        QFETCH(int, product);
        QFETCH(int, baud);
        QFETCH(int, gap);
        QFETCH(int, latency);
        Bench bench(product);
        MainWindow w;
        w.Form_Load();
        const BoardImage memory = boardConfiguration(w);
        BoardSetup setup = setupFor(w, product);
        setup.replyGap = std::chrono::milliseconds(gap);
        auto board = plugBoard(setup, memory, baud, std::chrono::milliseconds(latency));
        WAIT_LINK_IDLE(w);
        w.mnuSerialConfig_Click(1);
        WAIT_LINK_IDLE(w);
        const int n = expectedOf(product).lastWord;

        w.mnuEstablishLink_Click();
        QTRY_VERIFY_WITH_TIMEOUT(w.establishWindow()->isVisible(), kLong);
        QTRY_VERIFY_WITH_TIMEOUT(!w.establishWindow()->isVisible(), kLong);

        // Read: words 0..N from the board, the spare words untouched, controls refreshed.
        w.image().setWord(300, QStringLiteral("ABCD"));
        const BoardImage before = w.image();
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(w.transferWindow()->isVisible(), kLong);
        QCOMPARE(w.transferWindow()->maximum(), n + 1);
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), TransferWindow::kComplete, kLong);
        QVERIFY(!w.transferWindow()->isCancelEnabled());
        QVERIFY(w.isLinkBusy()); // the "Transfer Complete" pause
        QTRY_VERIFY_WITH_TIMEOUT(!w.transferWindow()->isVisible(), kLong);
        QVERIFY(sameWords(w.image(), memory, 0, n));
        QVERIFY(sameWords(w.image(), before, n + 1, 300));
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("4321"));

        // Write with a box still being typed in: it is completed as leaving it would
        // complete it, and the board gets words 0..N as ReadGUI makes them.
        w.controls().SecondaryCode->selectAll();
        QTest::keyClicks(w.controls().SecondaryCode, QStringLiteral("777"));
        w.mnuOperWrite_Click();
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), TransferWindow::kComplete, kLong);
        WAIT_LINK_IDLE(w);
        QCOMPARE(w.transferWindow()->value(), n + 1);
        BoardImage expected = w.image();
        Editor::ReadGUI(w.form(), expected);
        QVERIFY(sameWords(board->memory(), expected, 0, n));
        QCOMPARE(w.controls().SecondaryCode->text(), QStringLiteral("0777"));
        QVERIFY(bench.messages.messages.isEmpty());
    }

    // Cancel mid-read keeps the mixture and refreshes the window; a silent board only
    // ends through Cancel; a second command meanwhile is refused; Exit cancels and closes.
    void cancelBusyAndExit()
    {
        Bench bench(5);
        MainWindow w;
        w.Form_Load();
        const BoardImage memory = boardConfiguration(w);
        auto board = plugBoard(setupFor(w, 5), memory);
        WAIT_LINK_IDLE(w);
        w.mnuSerialConfig_Click(1);
        WAIT_LINK_IDLE(w);
        const BoardImage before = w.image();

        constexpr int k = 20;
        connect(w.linkWorker(), &LinkWorker::jobEvent, &w, [&w](const JobEvent& e) {
            if (e.kind == JobEvent::Kind::StepDone && e.step == k && w.transferWindow()->isCancelEnabled())
                QTest::mouseClick(w.transferWindow()->findChild<QWidget*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        });
        w.mnuOperRead_Click();
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), TransferWindow::kComplete, kLong);
        QVERIFY(!w.transferWindow()->isVisible());
        QCOMPARE(bench.messages.messages.size(), 1);
        QCOMPARE(bench.messages.messages[0].title, Messages::kErrorTitle);
        QVERIFY(bench.messages.messages[0].text.startsWith(QStringLiteral("Data Transfer Cancelled...")));
        WAIT_LINK_IDLE(w);
        QVERIFY(sameWords(w.image(), memory, 0, k - 1));
        QVERIFY(!sameWords(w.image(), memory, 0, 98)); // the later words kept their old values
        QVERIFY(w.image().word(98) == before.word(98));
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("4321")); // UpdateGUI showed the mixture
        QCOMPARE(w.menus().mnuEditUndo->text(), QStringLiteral("&Undo Read from Logic Board"));
        bench.messages.messages.clear();

        // A board that says nothing: the read waits, the rest of the port commands are refused.
        BoardSetup silent = setupFor(w, 5);
        silent.faults.silent = true;
        board = plugBoard(silent, memory);
        w.mnuSerialConfig_Click(1); // reopen COM1 on the new board
        WAIT_LINK_IDLE(w);
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(w.transferWindow()->isCancelEnabled(), kLong);
        const QString secondary = w.form().SecondaryCode.text;
        w.mnuOperWrite_Click();
        w.mnuEstablishLink_Click();
        w.mnuProduct_Click(4);
        w.mnuSerialConfig_Click(2);
        w.mnuForce_Click();
        QCOMPARE(bench.messages.messages.size(), 5);
        for (const Messages::Message& m : bench.messages.messages) {
            QCOMPARE(m.text, Messages::kLinkBusy);
            QCOMPARE(m.title, QStringLiteral("Board Transfer in Progress"));
            QCOMPARE(m.icon, Messages::Icon::Information);
        }
        QCOMPARE(w.form().SecondaryCode.text, secondary);
        QVERIFY(w.menus().mnuProduct[5]->isChecked() && !w.menus().mnuProduct[4]->isChecked());
        bench.messages.messages.clear();
        // After five seconds without a byte the window says so, under the bar.
        QVERIFY(!w.transferWindow()->isBoardSilentShown());
        QTRY_VERIFY_WITH_TIMEOUT(w.transferWindow()->isBoardSilentShown(), kLong);
        QCOMPARE(w.transferWindow()->label(), QStringLiteral("Reading Logic Board"));
        // The title bar's close button is the Cancel button while a dialogue runs.
        w.transferWindow()->close();
        QCOMPARE(bench.messages.messages.size(), 1);
        QVERIFY(bench.messages.messages[0].text.startsWith(QStringLiteral("Data Transfer Cancelled...")));
        QVERIFY(!w.transferWindow()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), TransferWindow::kComplete, kLong);
        QVERIFY(!w.transferWindow()->isBoardSilentShown());
        WAIT_LINK_IDLE(w);
        // So is Escape.
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(w.transferWindow()->isCancelEnabled(), kLong);
        QTest::keyClick(w.transferWindow(), Qt::Key_Escape);
        QCOMPARE(bench.messages.messages.size(), 2);
        QCOMPARE(w.transferWindow()->label(), TransferWindow::kCancel);
        WAIT_LINK_IDLE(w);
        bench.messages.messages.clear();

        // Exit while a read waits on the silent board asks first; "Keep Working" keeps
        // it waiting, "Stop and Exit" cancels it and closes.
        w.show();
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(w.linkWorker()->isBusy() && w.transferWindow()->isCancelEnabled(), kLong);
        w.mnuExit_Click();
        QCOMPARE(bench.messages.questions.size(), 1);
        const Messages::Question& asked = bench.messages.questions[0];
        QCOMPARE(asked.title, QStringLiteral("Board Transfer in Progress"));
        QCOMPARE(asked.text, QStringLiteral("A board transfer is in progress. Stop it and exit? A board whose "
                                            "write is stopped holds only the words sent so far."));
        QCOMPARE(asked.buttons, (QStringList{"Stop and Exit", "Keep Working"}));
        QCOMPARE(asked.buttons[asked.defaultButton], QStringLiteral("Keep Working"));
        QVERIFY(w.isVisible() && w.linkWorker()->isBusy());
        bench.messages.answers = {QStringLiteral("Stop and Exit")};
        w.mnuExit_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), kLong);
        QCOMPARE(bench.messages.questions.size(), 2);
        QVERIFY(bench.messages.messages.isEmpty());
    }

    // A pulled cable, a refused access code, a port that cannot be opened, no product.
    void failuresAndNoProduct()
    {
        Bench bench(4);
        MainWindow w;
        w.Form_Load();
        const BoardImage memory = boardConfiguration(w);
        BoardSetup pulled = setupFor(w, 4);
        pulled.faults.unplugAt = 30;
        auto board = plugBoard(pulled, memory);
        WAIT_LINK_IDLE(w);
        w.mnuSerialConfig_Click(1);
        WAIT_LINK_IDLE(w);

        w.mnuOperRead_Click();
        QTRY_COMPARE_WITH_TIMEOUT(bench.messages.messages.size(), 1, kLong);
        QCOMPARE(bench.messages.messages[0].title, Messages::kCommTitle);
        QVERIFY(bench.messages.messages[0].text.startsWith(LinkMessages::kCommLinkError));
        QVERIFY(bench.messages.messages[0].text.contains(QStringLiteral("failed during the transfer")));
        QVERIFY(!w.transferWindow()->isVisible());
        QVERIFY(sameWords(w.image(), memory, 1, 20));                        // the words read before the cable went
        QVERIFY(w.controls().PrimaryCode->text() != QStringLiteral("4321")); // not refreshed
        WAIT_LINK_IDLE(w);

        // A new board on the same port: the next command works again.
        board = plugBoard(setupFor(w, 4), memory);
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("4321"));
        QCOMPARE(bench.messages.messages.size(), 1);

        // A board that refuses the code.
        BoardSetup refusing = setupFor(w, 4);
        refusing.faults.wrongCode = true;
        board = plugBoard(refusing, memory);
        w.mnuSerialConfig_Click(1);
        WAIT_LINK_IDLE(w);
        w.mnuEstablishLink_Click();
        QTRY_COMPARE_WITH_TIMEOUT(bench.messages.messages.size(), 2, kLong);
        QCOMPARE(bench.messages.messages[1].text, LinkMessages::kInvalidPassword);

        // Ports that cannot be opened: the reason is named, the window keeps its port.
        qputenv("VIREO_COM3", "/nonexistent/vireo-tty");
        w.mnuSerialConfig_Click(3);
        WAIT_LINK_IDLE(w);
        QCOMPARE(bench.messages.messages.size(), 3);
        QCOMPARE(bench.messages.messages[2].text,
                 QStringLiteral("Invalid Serial Port\r\nCOM3 (/nonexistent/vireo-tty) is not there: the adapter is "
                                "unplugged or was renamed"));
        QVERIFY(w.menus().mnuSerialConfig[1]->isChecked() && !w.menus().mnuSerialConfig[3]->isChecked());
        QCOMPARE(w.controls().Label7->text(), QStringLiteral("COM1:"));
        // COM1 is now closed; a read reports the port before any transfer window.
        const QString gone = board->slavePath();
        board.reset();
        w.mnuOperRead_Click();
        WAIT_LINK_IDLE(w);
        QCOMPARE(bench.messages.messages.size(), 4);
        QVERIFY(bench.messages.messages[3].text.startsWith(LinkMessages::kCommLinkError + QStringLiteral("\r\n\r\n")));
        QVERIFY(!w.transferWindow()->isVisible());
        // COM1's adapter is gone too: F2 opens the closed port as a read does, and says so.
        w.mnuSerialConfig_Click(1);
        WAIT_LINK_IDLE(w);
        w.mnuEstablishLink_Click();
        WAIT_LINK_IDLE(w);
        QCOMPARE(bench.messages.messages.size(), 6);
        const QString notThere =
            QStringLiteral("COM1 (%1) is not there: the adapter is unplugged or was renamed").arg(gone);
        QCOMPARE(bench.messages.messages[4].text, QStringLiteral("Invalid Serial Port\r\n") + notThere);
        QCOMPARE(bench.messages.messages[5].text, LinkMessages::kCommLinkError + QStringLiteral("\r\n\r\n") + notThere);
        // Plugged in again, with the access code box empty: F2 opens the port and sends
        // 47203, as leaving the box gives.
        Form noCode = w.form();
        noCode.ProgAccessCode.text.clear();
        w.showForm(noCode);
        BoardSetup strict = setupFor(w, 4);
        strict.accessCode = QStringLiteral("47203");
        board = plugBoard(strict, memory);
        w.mnuEstablishLink_Click();
        QTRY_VERIFY_WITH_TIMEOUT(w.establishWindow()->isVisible(), kLong);
        QCOMPARE(w.controls().ProgAccessCode->text(), QStringLiteral("47203"));
        WAIT_LINK_IDLE(w);
        // The product command's own reopen fails the way the port command does; the product stands.
        qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
        w.mnuProduct_Click(2);
        WAIT_LINK_IDLE(w);
        QCOMPARE(bench.messages.messages.size(), 7);
        QVERIFY(bench.messages.messages[6].text.startsWith(QStringLiteral("Invalid Serial Port\r\n")));
        QCOMPARE(w.controls().lblProduct->text(), QStringLiteral("UT-105"));
        qunsetenv("VIREO_COM3");

        // Entries a board cannot take stop the write before anything happens.
        Form bad = w.form();
        bad.PrimaryCode.text = QStringLiteral("12X");
        w.showForm(bad);
        w.mnuOperWrite_Click();
        QCOMPARE(bench.messages.messages.size(), 8);
        QCOMPARE(bench.messages.messages[7].title, Messages::kErrorTitle);
        QVERIFY(!w.transferWindow()->isVisible() && !w.isLinkBusy());

        // A board whose answer is no configuration (another product's board, the line
        // set wrong) is said so, and the window keeps what it had.
        BoardSetup noisy = setupFor(w, 4);
        noisy.faults.garbage = true;
        board = plugBoard(noisy, memory);
        w.mnuProduct_Click(4);
        WAIT_LINK_IDLE(w);
        const BoardImage held = w.image();
        const QString undo = w.menus().mnuEditUndo->text();
        bench.messages.answers = {QStringLiteral("Discard")}; // the entry typed above
        w.mnuOperRead_Click();
        QTRY_COMPARE_WITH_TIMEOUT(bench.messages.messages.size(), 9, kLong);
        const Messages::Message& noise = bench.messages.messages[8];
        QCOMPARE(noise.title, Messages::kCommTitle);
        QVERIFY2(noise.text.startsWith(QStringLiteral("The board's answer is not a configuration: ")),
                 qPrintable(noise.text));
        QVERIFY(noise.text.endsWith(QStringLiteral(
            " of 250 words are not four hexadecimal digits. Check that the product in the Product menu is the "
            "board's, and the cable.")));
        WAIT_LINK_IDLE(w);
        QVERIFY(!w.transferWindow()->isVisible());
        QVERIFY(sameWords(w.image(), held, 0, 300));
        QCOMPARE(w.menus().mnuEditUndo->text(), undo);
    }

    // A board read as it came from the factory goes back to it as it was read.
    void aBoardsOwnContentsGoBack()
    {
        Bench bench(3);
        MainWindow w;
        w.Form_Load();
        auto board = plugBoard(setupFor(w, 3), VirtualBoard::factoryMemory(3));
        WAIT_LINK_IDLE(w);
        w.mnuSerialConfig_Click(1);
        WAIT_LINK_IDLE(w);
        // Edited controls: the read asks first; Cancel (the default) reads nothing.
        Form edited = w.form();
        edited.PrimaryCode.text = QStringLiteral("9876");
        w.showForm(edited);
        const BoardImage before = w.image();
        QVERIFY(w.isWindowModified());
        w.mnuOperRead_Click();
        QCOMPARE(bench.messages.questions.size(), 1);
        QCOMPARE(bench.messages.questions[0].title, QStringLiteral("Unsaved Changes"));
        QVERIFY(!w.isLinkBusy());
        bench.messages.answers = QStringList{QStringLiteral("Discard")};
        w.mnuOperRead_Click();
        WAIT_LINK_IDLE(w);
        QCOMPARE(w.controls().SpeedDial[1]->text(), QStringLiteral("0000000000000000"));
        QVERIFY(!w.isWindowModified());
        // Undo gives back the controls and the image as they were before the read.
        const BoardImage read = w.image();
        QCOMPARE(w.menus().mnuEditUndo->text(), QStringLiteral("&Undo Read from Logic Board"));
        w.menus().mnuEditUndo->trigger();
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("9876"));
        QCOMPARE(w.controls().SpeedDial[1]->text(), QString());
        QVERIFY(w.image() == before);
        w.menus().mnuEditRedo->trigger();
        QCOMPARE(w.controls().SpeedDial[1]->text(), QStringLiteral("0000000000000000"));
        QVERIFY(w.image() == read);
        QVERIFY(!w.isWindowModified());
        BoardImage expected = w.image();
        Editor::ReadGUI(w.form(), expected);
        w.mnuOperWrite_Click();
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), TransferWindow::kComplete, kLong);
        WAIT_LINK_IDLE(w);
        QVERIFY(bench.messages.messages.isEmpty());
        QVERIFY(sameWords(board->memory(), expected, 0, 249));
        QCOMPARE(board->memory().word(46), QStringLiteral("0000"));
        QVERIFY(!w.isWindowModified());
        QCOMPARE(bench.messages.questions.size(), 2);
    }

    void noProductTickedSendsNothing()
    {
        Bench bench(4);
        MainWindow w;
        w.Form_Load();
        Form none = w.form();
        none.mnuProduct.fill(false);
        none.ProgAccessCode.text.clear(); // the access-code rule completes it for the write
        w.showForm(none);
        auto board = plugBoard(BoardSetup{}, VirtualBoard::factoryMemory(4));
        WAIT_LINK_IDLE(w);
        w.mnuSerialConfig_Click(1);
        WAIT_LINK_IDLE(w);
        w.mnuEstablishLink_Click();
        QVERIFY(!w.isLinkBusy());

        bench.messages.answers = QStringList{QStringLiteral("Discard")}; // the read replaces the edited code
        for (auto command : {&MainWindow::mnuOperRead_Click, &MainWindow::mnuOperWrite_Click}) {
            (w.*command)();
            QVERIFY(w.transferWindow()->isVisible());
            QCOMPARE(w.transferWindow()->label(), TransferWindow::kComplete);
            QVERIFY(w.isLinkBusy());
            w.transferWindow()->close(); // the "Transfer Complete" pause ends on its own
            QVERIFY(w.transferWindow()->isVisible());
            QTRY_VERIFY_WITH_TIMEOUT(!w.transferWindow()->isVisible(), kLong);
        }
        QCOMPARE(w.controls().ProgAccessCode->text(), QStringLiteral("47203"));
        QVERIFY(board->received().isEmpty());
        QVERIFY(bench.messages.messages.isEmpty());
    }
};

QTEST_MAIN(TestBoardCommands)
#include "TestBoardCommands.moc"
