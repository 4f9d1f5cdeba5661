// The window's additions around the board commands, end to end over a pseudo-terminal:
// backups of reads and writes, the verify after a write, the serial trace.
#include "Backups.h"
#include "BackupsWindow.h"
#include "BoardOnPty.h"
#include "Compare.h"
#include "DataFile.h"
#include "DifferencesDialog.h"
#include "DoctorWindow.h"
#include "Editor.h"
#include "FleetWindow.h"
#include "LinkOperations.h"
#include "MainWindow.h"
#include "SerialTrace.h"
#include "TestHelpers.h"
#include "TransferWindow.h"
#include "VireoRun.h"
#include "WordCodecs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

#include <array>
#include <memory>

namespace {

constexpr int kLong = 120000; // a board read on a loaded machine takes its time

// A working directory with a product (4: VT-60) on COM1, a board on COM1, backups in a folder of their own.
struct Bench {
    explicit Bench(int product = 4)
    {
        QFile::copy(QDir(qEnvironmentVariable("VIREO_SOURCE_DIR")).filePath(QStringLiteral("data/default.tv2")),
                    dir.file(QStringLiteral("default.tv2")));
        QFile config(dir.file(QStringLiteral("Config.ini")));
        if (config.open(QIODevice::WriteOnly))
            config.write("1\r\n" + QByteArray::number(product) + "\r\n");
        config.close();
        qputenv("VIREO_BACKUP_DIR", backups.path().toLocal8Bit());
        qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
        w = std::make_unique<MainWindow>();
        w->Form_Load();
        BoardSetup setup;
        setup.product = product;
        setup.accessCode = w->form().ProgAccessCode.text;
        setup.requireCode = false;
        Form form = w->form();
        form.PrimaryCode.text = QStringLiteral("4321");
        memory = w->image();
        Editor::ReadGUI(form, memory);
        board = boardOnPty(setup, memory);
        qputenv("VIREO_COM1", board->slavePath().toLocal8Bit());
    }
    ~Bench()
    {
        w.reset();
        qunsetenv("VIREO_COM1");
        qunsetenv("VIREO_BACKUP_DIR");
    }
    bool openPort()
    {
        if (!QTest::qWaitFor([this] { return !w->isLinkBusy(); }, kLong))
            return false;
        w->mnuSerialConfig_Click(1);
        return QTest::qWaitFor([this] { return !w->isLinkBusy(); }, kLong);
    }
    QStringList backupFiles() const
    {
        return QDir(backups.path()).entryList({QStringLiteral("*.tv2")}, QDir::Files, QDir::Name);
    }

    WorkingDir dir;
    QTemporaryDir backups;
    CapturedMessages messages;
    std::unique_ptr<MainWindow> w;
    BoardImage memory;
    std::unique_ptr<PtyBoard> board;
};

bool sameWords(const BoardImage& a, const BoardImage& b, int to)
{
    for (int i = 0; i <= to; ++i)
        if (a.word(i) != b.word(i))
            return false;
    return true;
}

// The board holds access code `code` (words 17..19), as a radio of that code would.
void holdCode(PtyBoard& board, const QString& code)
{
    const std::array<QString, 3> words = WordCodec::accessCodeWords(code);
    for (int k = 0; k < 3; ++k)
        board.setWord(17 + k, words[std::size_t(k)]);
}

// A fleet log's lines after the header, each as its columns.
QList<QStringList> logLines(const QString& path)
{
    QFile log(path);
    QList<QStringList> lines;
    if (log.open(QIODevice::ReadOnly))
        for (const QString& line : QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts).mid(1))
            lines << line.split(',');
    return lines;
}

QString verifyReport(MainWindow& w)
{
    return w.verifyDialog()->findChild<QPlainTextEdit*>(QStringLiteral("txtVerify"))->toPlainText();
}

} // namespace

class TestBoardAdditions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTestUserSettings(); }

    // A read and a write each leave a backup; a write verified reads the board back into a copy.
    void backupsAndVerify()
    {
        Bench b;
        MainWindow& w = *b.w;
        QVERIFY(b.openPort());
        const int n = LinkOperations::lastWord(4);

        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        QStringList files = b.backupFiles();
        QCOMPARE(files.size(), 1);
        QVERIFY(files[0].startsWith(QStringLiteral("UT-105_read_")) || files[0].contains(QStringLiteral("_read_")));
        BoardImage saved;
        QVERIFY(
            DataFile::load(QDir(b.backups.path()).filePath(files[0]), saved, DataFile::MarkerRule::NotChecked).ok());
        QVERIFY(sameWords(saved, b.memory, n));

        // Verify on: the write is read back, every word matches.
        w.menus().mnuVerifyAfterWrite->trigger();
        Form edited = w.form();
        edited.SecondaryCode.text = QStringLiteral("0777");
        w.showForm(edited);
        w.mnuOperWrite_Click();
        QTRY_VERIFY_WITH_TIMEOUT(w.verifyDialog() != nullptr, kLong);
        WAIT_LINK_IDLE(w);
        QVERIFY(verifyReport(w).endsWith(DifferencesDialog::kVerifyPassed));
        files = b.backupFiles();
        QCOMPARE(files.size(), 2);
        QVERIFY(files.filter(QStringLiteral("_write_")).size() == 1);
        QVERIFY(DataFile::load(QDir(b.backups.path()).filePath(files.filter(QStringLiteral("_write_"))[0]), saved,
                               DataFile::MarkerRule::NotChecked)
                    .ok());
        QVERIFY(sameWords(saved, b.board->memory(), n));
        QCOMPARE(w.form().SecondaryCode.text, QStringLiteral("0777"));

        // A board cell that does not keep its value fails the verify and names the setting.
        const int word = Compare::wordsOf(QStringLiteral("PrimaryCode")).front();
        const BoardImage before = w.image();
        w.verifyDialog()->close();
        w.mnuOperWrite_Click();
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), TransferWindow::kComplete, kLong);
        // The read-back starts after the "Transfer Complete" pause.
        const QString kept = b.board->memory().word(word);
        b.board->setWord(word, kept == QStringLiteral("1111") ? QStringLiteral("2222") : QStringLiteral("1111"));
        QTRY_VERIFY_WITH_TIMEOUT(w.verifyDialog() != nullptr, kLong);
        WAIT_LINK_IDLE(w);
        const QString report = verifyReport(w);
        QVERIFY2(report.endsWith(DifferencesDialog::kVerifyFailed), qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("Primary Code")));
        QVERIFY(report.contains(QStringLiteral(" on file, ")) && report.contains(QStringLiteral(" on board")));
        QVERIFY(w.image() == before); // the read-back did not touch the editor's image
        QCOMPARE(b.backupFiles().size(), 3);
        QVERIFY(b.messages.messages.isEmpty());
        w.menus().mnuVerifyAfterWrite->trigger();
    }

    // Back Up Board Before Write keeps the board's earlier words in a before-write backup;
    // the backups window lists it, compares it with the window and opens it; a write
    // cancelled after its backup names the file last.
    void backupBeforeWriteAndTheBackupsWindow()
    {
        Bench b;
        MainWindow& w = *b.w;
        QUrl opened;
        w.setUrlOpener([&opened](const QUrl& url) {
            opened = url;
            return true;
        });
        QVERIFY(b.openPort());
        w.menus().mnuBackUpBeforeWrite->trigger();
        Form edited = w.form();
        edited.PrimaryCode.text = QStringLiteral("1234");
        edited.SecondaryCode.text = QStringLiteral("0777");
        w.showForm(edited);
        w.mnuOperWrite_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        const QStringList before = b.backupFiles().filter(QStringLiteral("VT-60_before-write_"));
        QCOMPARE(before.size(), 1);
        BoardImage saved;
        QVERIFY(
            DataFile::load(QDir(b.backups.path()).filePath(before[0]), saved, DataFile::MarkerRule::NotChecked).ok());
        QVERIFY(sameWords(saved, b.memory, LinkOperations::lastWord(4)));
        QCOMPARE(saved.word(6), QStringLiteral("0403"));
        QCOMPARE(b.board->memory().word(8), QStringLiteral("0007"));

        w.menus().mnuFileBackups->trigger();
        auto* backups = w.findChild<BackupsWindow*>();
        QVERIFY(backups && backups->isVisible());
        auto* list = backups->findChild<QTableWidget*>(QStringLiteral("tblBackups"));
        QCOMPARE(list->rowCount(), 2);
        const auto cells = [list](int row) {
            QStringList texts;
            for (int column = 1; column < list->columnCount(); ++column)
                texts << list->item(row, column)->text();
            return texts;
        };
        QCOMPARE(cells(0).mid(0, 3), (QStringList{"VT-60", "write", "1234"}));
        QCOMPARE(cells(1), (QStringList{"VT-60", "before-write", "4321", before[0]}));
        backups->select(1);
        auto* table = backups->findChild<QTableWidget*>(QStringLiteral("tblCompare"));
        QStringList rows;
        for (int row = 0; row < table->rowCount(); ++row)
            rows << table->item(row, 0)->text() + ": " + table->item(row, 1)->text() + " | "
                        + table->item(row, 2)->text();
        QCOMPARE(rows, (QStringList{"Primary Code - ESN: 1234 | 4321", "Secondary Code: 0777 | (blank)"}));
        backups->findChild<QPushButton*>(QStringLiteral("cmdBackupOpen"))->click();
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("4321"));
        QCOMPARE(backups->findChild<QLabel*>(QStringLiteral("lblBackupSummary"))->text(),
                 QStringLiteral("No differences"));
        backups->findChild<QPushButton*>(QStringLiteral("cmdBackupShowFolder"))->click();
        QCOMPARE(opened, QUrl::fromLocalFile(b.backups.path()));

        // A board that never acknowledges a word: the write waits until it is cancelled.
        BoardSetup setup;
        setup.product = 4;
        setup.requireCode = false;
        setup.faults.wrongAck = true;
        std::optional<QString> noPty;
        const std::unique_ptr<PtyBoard> deaf = boardOnPty(setup, b.memory, 0, {}, &noPty);
        QVERIFY(!noPty);
        qputenv("VIREO_COM1", deaf->slavePath().toLocal8Bit());
        QVERIFY(b.openPort());
        w.mnuOperWrite_Click();
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), QStringLiteral("Writing Logic Board"), kLong);
        QTest::mouseClick(w.transferWindow()->findChild<QWidget*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        const QStringList both = b.backupFiles().filter(QStringLiteral("VT-60_before-write_"));
        QCOMPARE(both.size(), 2);
        QCOMPARE(b.messages.messages.size(), 2);
        QCOMPARE(b.messages.messages[1].text, "The board as it was before the write is backed up in "
                                                  + QDir::toNativeSeparators(QDir(b.backups.path()).filePath(both[1])));
        w.menus().mnuBackUpBeforeWrite->trigger();
    }

    // A board with its factory memory is read, given another primary code and written
    // with Back Up Board Before Write; Restore to Board... of that backup then puts back
    // every word it held, those the window writes its own values into (41, 98) too,
    // and the verify compares the board with the backup. Cancel at the question, and a
    // backup of another product, send nothing; the window's settings stay as they were.
    void restoreToBoardPutsBackEveryWord()
    {
        Bench b;
        MainWindow& w = *b.w;
        const BoardImage factory = VirtualBoard::factoryMemory(4);
        BoardSetup setup;
        setup.product = 4;
        setup.requireCode = false;
        std::optional<QString> noPty;
        const std::unique_ptr<PtyBoard> plugged = boardOnPty(setup, factory, 0, {}, &noPty);
        QVERIFY(!noPty);
        PtyBoard& board = *plugged;
        qputenv("VIREO_COM1", board.slavePath().toLocal8Bit());
        QVERIFY(b.openPort());
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        Form edited = w.form();
        edited.PrimaryCode.text = QStringLiteral("1234");
        w.showForm(edited);
        w.menus().mnuBackUpBeforeWrite->trigger();
        w.mnuOperWrite_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        w.menus().mnuBackUpBeforeWrite->trigger();
        QCOMPARE(board.memory().word(7), QStringLiteral("0304"));
        QCOMPARE(board.memory().word(41), QStringLiteral("FF00")); // the factory's 0000 before
        QCOMPARE(board.memory().word(98), QStringLiteral("FF00"));
        const QString other = QStringLiteral("VTP-50_before-write_%1.tv2")
                                  .arg(QDateTime::currentDateTime().addDays(-1).toString("yyyyMMdd-HHmmss-zzz"));
        QVERIFY(QFile::copy(QDir(b.backups.path()).filePath(b.backupFiles().filter("_before-write_")[0]),
                            QDir(b.backups.path()).filePath(other)));

        w.menus().mnuFileBackups->trigger();
        auto* backups = w.findChild<BackupsWindow*>();
        QVERIFY(backups);
        const auto rowOf = [backups](const QString& kind, int product) {
            const auto& e = backups->entries();
            for (std::size_t k = 0; k < e.size(); ++k)
                if (Backups::kindName(e[k].kind) == kind && e[k].product == product)
                    return static_cast<int>(k);
            return -1;
        };
        auto* restore = backups->findChild<QPushButton*>(QStringLiteral("cmdBackupRestore"));
        const qsizetype sent = board.received().size();
        backups->select(rowOf("before-write", 5));
        restore->click();
        QCOMPARE(b.messages.messages.size(), 1);
        QCOMPARE(b.messages.messages[0].text,
                 "Nothing was written to the board: " + other
                     + " is a backup of the Vertex VTP-50, not of the Vertex VT-60 (Vireo). Choose Vertex VTP-50 in "
                       "the Product menu to restore it.");
        backups->select(rowOf("before-write", 4));
        const Backups::Entry& before = backups->entries()[static_cast<std::size_t>(rowOf("before-write", 4))];
        restore->click(); // the question's default: Cancel
        QCOMPARE(b.messages.questions.size(), 1);
        QCOMPARE(b.messages.questions[0].title, QStringLiteral("Restore Board"));
        QCOMPARE(b.messages.questions[0].text,
                 "Write the backup " + QFileInfo(before.path).fileName() + " (VT-60, primary code 0000, "
                     + before.taken.toString("yyyy-MM-dd HH:mm:ss")
                     + ") to the board on COM1? Every word of the board is replaced by the backup's.");
        QCOMPARE(b.messages.questions[0].buttons, (QStringList{"Restore to Board", "Cancel"}));
        QCOMPARE(board.received().size(), sent);

        w.menus().mnuVerifyAfterWrite->trigger();
        b.messages.answers = QStringList{QStringLiteral("Restore to Board")};
        restore->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.verifyDialog() != nullptr, kLong);
        WAIT_LINK_IDLE(w);
        w.menus().mnuVerifyAfterWrite->trigger();
        QVERIFY2(verifyReport(w).endsWith(DifferencesDialog::kVerifyPassed), qPrintable(verifyReport(w)));
        QVERIFY(sameWords(board.memory(), factory, 249));
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("1234"));
        QVERIFY(!w.isWindowModified());
        QCOMPARE(backups->entries().size(), std::size_t(5)); // the restore's own write backup listed
        QCOMPARE(b.messages.messages.size(), 1);
    }

    // Diagnose Link... on the link's thread: every step passed, the diagnostics on the
    // clipboard; cancelled, it stops after the port; the port is left working.
    void diagnoseLink()
    {
        Bench b;
        MainWindow& w = *b.w;
        QVERIFY(b.openPort());
        w.menus().mnuDiagnoseLink->trigger();
        QVERIFY(w.doctorWindow() && w.doctorWindow()->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!w.doctorWindow()->isRunning(), kLong);
        DoctorWindow& doctor = *w.doctorWindow();
        for (int k = 0; k < 5; ++k)
            QCOMPARE(doctor.stepStatus(k), QStringLiteral("Passed"));
        QCOMPARE(doctor.stepDetails(1), QStringLiteral("Opened at 4800,n,8,2."));
        QCOMPARE(doctor.stepDetails(4),
                 QStringLiteral("The board accepts the access code %1.").arg(w.form().ProgAccessCode.text));
        doctor.findChild<QPushButton*>(QStringLiteral("cmdCopyDiagnostics"))->click();
        const QString copied = QApplication::clipboard()->text();
        QVERIFY2(copied.contains(
                     QStringLiteral("Product: Vertex VT-60 (Vireo); port: COM1 (%1)").arg(b.board->slavePath())),
                 qPrintable(copied));
        QVERIFY(copied.contains(QStringLiteral("\nSteps:\n1. The port: passed\n")));
        QVERIFY(copied.contains(QStringLiteral("Every step passed.\n\nSerial trace:\n")));
        QVERIFY(copied.contains(QStringLiteral("TX    E5 2C\n")));

        doctor.findChild<QPushButton*>(QStringLiteral("cmdRunAgain"))->click();
        doctor.findChild<QPushButton*>(QStringLiteral("cmdDoctorCancel"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!doctor.isRunning(), kLong);
        QCOMPARE(doctor.report()->end, LinkDoctor::End::Cancelled);
        QCOMPARE(doctor.stepStatus(0), QStringLiteral("Passed"));
        QCOMPARE(doctor.stepStatus(1), QStringLiteral("Not run"));
        QVERIFY(doctor.isVisible());

        // The port was open before, and is again: a read needs no port change.
        w.mnuOperRead_Click();
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), TransferWindow::kComplete, kLong);
        QVERIFY(b.messages.messages.isEmpty());
    }

    // Clone > Fleet Programming...: two VTP-50 radios numbered from the window's primary
    // code. A port that cannot be opened fails a radio, which keeps its place: retried, it
    // is backed up (Back Up Board Before Write), written and verified through the transfer
    // window, which stays above the fleet window. Closing while a radio is written asks;
    // "Stop and Close" leaves the second Cancelled, to be retried or skipped when the
    // window opens again. The window's own configuration is untouched; every try is logged.
    void fleetRun()
    {
        Bench b(5);
        MainWindow& w = *b.w;
        QVERIFY(b.openPort());
        Form form = w.form();
        form.PrimaryCode.text = QStringLiteral("0500");
        w.showForm(form);
        const BoardImage image = w.image();
        w.menus().mnuCloneFleet->trigger();
        auto* fleet = w.findChild<FleetWindow*>(QStringLiteral("frmFleet"));
        QVERIFY(fleet && fleet->isVisible());
        fleet->findChild<QSpinBox*>(QStringLiteral("spnFleetCount"))->setValue(2);
        fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetLog"))->setText(b.dir.file(QStringLiteral("fleet.csv")));
        fleet->findChild<QCheckBox*>(QStringLiteral("chkFleetVerify"))->setChecked(true);
        fleet->findChild<QPushButton*>(QStringLiteral("cmdFleetLoad"))->click();
        QVERIFY2(fleet->radioCount() == 2, qPrintable(b.messages.messages.value(0).text));
        const QTableWidget* table = fleet->findChild<QTableWidget*>(QStringLiteral("tblFleetRadios"));
        const auto row = [table](int r) {
            QStringList texts;
            for (int c = 0; c < 4; ++c)
                texts << table->item(r, c)->text();
            return texts;
        };
        QCOMPARE(row(0), (QStringList{"1", "0500", "Next", ""}));
        QCOMPARE(row(1), (QStringList{"2", "0501", "Waiting", ""}));

        qputenv("VIREO_COM2", "/nonexistent/vireo-com2");
        const auto onPort = [&](int port) {
            w.mnuSerialConfig_Click(port);
            return QTest::qWaitFor([&] { return !w.isLinkBusy(); }, kLong);
        };
        QVERIFY(onPort(2));
        QTest::keyClick(fleet, Qt::Key_Return); // Enter: Program Next Radio
        QVERIFY(fleet->isWriting());
        QTRY_VERIFY_WITH_TIMEOUT(!fleet->isWriting(), kLong);
        QCOMPARE(row(0), (QStringList{"1", "0500", "FAILED", "failed: the serial port cannot be opened"}));
        QVERIFY(!fleet->findChild<QPushButton*>(QStringLiteral("cmdProgramNext"))->isEnabled());
        QVERIFY(onPort(1));
        w.menus().mnuBackUpBeforeWrite->trigger();
        fleet->findChild<QPushButton*>(QStringLiteral("cmdFleetRetry"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.transferWindow()->isVisible(), kLong);
        QCOMPARE(w.transferWindow()->windowHandle()->transientParent(), fleet->windowHandle());
        fleet->close(); // asks while the radio is written; Keep Working is the default
        QCOMPARE(b.messages.questions.size(), 1);
        QCOMPARE(b.messages.questions[0].buttons, (QStringList{"Stop and Close", "Keep Working"}));
        QVERIFY(fleet->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(row(0)[2], QStringLiteral("Programmed"), kLong);
        QCOMPARE(row(0)[3], QStringLiteral("written and verified"));
        QCOMPARE(b.board->memory().word(6), QStringLiteral("0005"));
        QCOMPARE(b.board->memory().word(7), QStringLiteral("0000"));
        QCOMPARE(b.backupFiles().filter(QStringLiteral("VTP-50_before-write_")).size(), 1);
        QCOMPARE(row(1)[2], QStringLiteral("Next"));

        w.menus().mnuBackUpBeforeWrite->trigger();
        fleet->findChild<QPushButton*>(QStringLiteral("cmdProgramNext"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.transferWindow()->label(), QStringLiteral("Writing Logic Board"), kLong);
        b.messages.answers = QStringList{QStringLiteral("Stop and Close")};
        fleet->close();
        QTRY_VERIFY_WITH_TIMEOUT(!fleet->isVisible(), kLong);
        WAIT_LINK_IDLE(w);
        w.menus().mnuCloneFleet->trigger();
        QCOMPARE(w.findChild<FleetWindow*>(QStringLiteral("frmFleet")), fleet);
        QCOMPARE(row(1), (QStringList{"2", "0501", "Cancelled", "cancelled"}));
        QCOMPARE(fleet->findChild<QLabel*>(QStringLiteral("lblFleetStatus"))->text(),
                 QStringLiteral("Unit \"2\" was stopped: a radio whose write was stopped holds only the words sent "
                                "so far. Retry writes it again, Skip goes on to the next."));
        QVERIFY(fleet->findChild<QPushButton*>(QStringLiteral("cmdFleetRetry"))->isEnabled());
        // Skipped, it holds no code: radio 2 is still to come, with its code.
        fleet->findChild<QPushButton*>(QStringLiteral("cmdFleetSkip"))->click();
        QCOMPARE(row(1), (QStringList{"2", "", "Skipped", "cancelled"}));
        QCOMPARE(row(2), (QStringList{"2", "0501", "Next", ""}));
        QCOMPARE(fleet->nextRadio(), 2);
        QVERIFY(fleet->findChild<QPushButton*>(QStringLiteral("cmdProgramNext"))->isEnabled());

        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("0500"));
        QVERIFY(w.image() == image);
        QFile log(b.dir.file(QStringLiteral("fleet.csv")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QStringList outcomes;
        for (const QString& line : QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts).mid(1))
            outcomes << line.split(',').mid(1, 4).join(',');
        QCOMPARE(outcomes, (QStringList{"0500,failed: the serial port cannot be opened,1,not run",
                                        "0500,written and verified,1,passed", "0501,cancelled,2,not run"}));
        fleet->close();
        qunsetenv("VIREO_COM2");
    }

    // The same numbered run through the fleet window and vireo fleet on one board: three
    // VTP-50 radios from 0500, verified. The second holds another access code, fails
    // and is set aside; the radio connected after it gets its code, 0501, and the run
    // goes on to three programmed. The logs agree column by column, time aside.
    void fleetLogsAgreeInBothFrontEnds()
    {
        Bench b(5);
        MainWindow& w = *b.w;
        const QString code = w.form().ProgAccessCode.text;
        BoardSetup setup; // a board that checks the code its words 17..19 hold
        setup.product = 5;
        std::optional<QString> noPty;
        b.board = boardOnPty(setup, VirtualBoard::factoryMemory(5), 0, {}, &noPty);
        QVERIFY(!noPty);
        qputenv("VIREO_COM1", b.board->slavePath().toLocal8Bit());
        QVERIFY(b.openPort());
        Form form = w.form();
        form.PrimaryCode.text = QStringLiteral("0500");
        w.showForm(form);
        BoardImage templ = w.image();
        Editor::ReadGUI(form, templ);
        QVERIFY(DataFile::save(b.dir.file(QStringLiteral("fleet.tv2")), templ).ok());

        w.menus().mnuCloneFleet->trigger();
        auto* fleet = w.findChild<FleetWindow*>(QStringLiteral("frmFleet"));
        fleet->findChild<QSpinBox*>(QStringLiteral("spnFleetCount"))->setValue(3);
        fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetLog"))->setText(b.dir.file(QStringLiteral("window.csv")));
        fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetTechnician"))->setText(QStringLiteral("bench 7"));
        fleet->findChild<QCheckBox*>(QStringLiteral("chkFleetVerify"))->setChecked(true);
        QVERIFY(fleet->loadRadios());
        for (const char* held : {"", "11111", "", ""}) {
            if (fleet->nextRadio() == 1 && fleet->state(1) == FleetWindow::State::Failed)
                fleet->skip();
            holdCode(*b.board, *held ? QString::fromLatin1(held) : code);
            fleet->programNext();
            QTRY_VERIFY_WITH_TIMEOUT(!fleet->isWriting(), kLong);
        }
        const QTableWidget* table = fleet->findChild<QTableWidget*>(QStringLiteral("tblFleetRadios"));
        QStringList codes;
        for (int r = 0; r < table->rowCount(); ++r)
            codes << table->item(r, 0)->text() + ':' + table->item(r, 1)->text() + ':' + table->item(r, 2)->text();
        QCOMPARE(codes, (QStringList{"1:0500:Programmed", "2::Skipped", "2:0501:Programmed", "3:0502:Programmed"}));
        QVERIFY(fleet->findChild<QLabel*>(QStringLiteral("lblFleetStatus"))
                    ->text()
                    .startsWith(QStringLiteral("Fleet run ended: 3 of 4 radios programmed; log in ")));
        fleet->close();
        qputenv("VIREO_COM2", "/nonexistent/vireo-com2");
        w.mnuSerialConfig_Click(2); // the window lets go of the board for vireo
        WAIT_LINK_IDLE(w);

        QProcess vireo;
        vireo.setReadChannel(QProcess::StandardError);
        startVireo(vireo,
                   {"fleet", "fleet.tv2", "--product", "5", "--port", b.board->slavePath(), "--code", code, "--count",
                    "3", "--verify", "--log", "vireo.csv", "--technician", "bench 7"},
                   b.dir.path());
        QByteArray prompts;
        // At the n-th prompt saying `text` the board holds `held` and Enter is pressed.
        const auto enter = [&](const QByteArray& text, int n, const QString& held) {
            while (prompts.count(text) < n) {
                if (!vireo.waitForReadyRead(kLong))
                    return false;
                prompts += vireo.readAllStandardError();
            }
            holdCode(*b.board, held);
            vireo.write("\n");
            return true;
        };
        QVERIFY2(enter("Connect radio 1 (primary code 0500)", 1, code), prompts);
        QVERIFY2(enter("Connect radio 2 (primary code 0501)", 1, QStringLiteral("11111")), prompts);
        QVERIFY2(enter("Radio with primary code 0501 failed.", 1, code), prompts);
        QVERIFY2(enter("Connect radio 2 (primary code 0501)", 2, code), prompts);
        QVERIFY2(enter("Connect radio 3 (primary code 0502)", 1, code), prompts);
        vireo.closeWriteChannel();
        QVERIFY(vireo.waitForFinished(kLong));
        QCOMPARE(vireo.exitCode(), 0);
        QVERIFY(vireo.readAllStandardOutput().contains(
            "Fleet run ended: 3 radios programmed (primary codes 0500 to 0502); log in vireo.csv"));

        const QList<QStringList> window = logLines(b.dir.file(QStringLiteral("window.csv")));
        const QList<QStringList> cli = logLines(b.dir.file(QStringLiteral("vireo.csv")));
        const QList<QStringList> expected{{"0500", "written and verified", "1", "passed"},
                                          {"0501", "failed: access code refused", "2", "not run"},
                                          {"0501", "written and verified", "2", "passed"},
                                          {"0502", "written and verified", "3", "passed"}};
        QCOMPARE(window.size(), 4);
        QCOMPARE(cli.size(), 4);
        const QRegularExpression stamp(QStringLiteral("\\d{8}-\\d{6}-\\d{3}"));
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(window[k].size(), 9);
            QCOMPARE(cli[k].size(), 9);
            QCOMPARE(window[k].mid(1, 4), expected[k]);
            QCOMPARE(cli[k].mid(1, 4), expected[k]);
            // The write's backup, named alike but for its time.
            QCOMPARE(QFileInfo(cli[k][5]).fileName().replace(stamp, "T"),
                     QFileInfo(window[k][5]).fileName().replace(stamp, "T"));
            QCOMPARE(cli[k][5].isEmpty(), k == 1);
            QCOMPARE(window[k].mid(6), cli[k].mid(6)); // technician, program and the template's mark
            QCOMPARE(window[k][6], QStringLiteral("bench 7"));
        }
        qunsetenv("VIREO_COM2");
    }

    // A backup that cannot be written is reported after the transfer, which completes.
    void failedBackupDoesNotStopTheTransfer()
    {
        Bench b;
        MainWindow& w = *b.w;
        QFile blocker(b.dir.file(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("VIREO_BACKUP_DIR", (blocker.fileName() + QStringLiteral("/backups")).toLocal8Bit());
        QVERIFY(b.openPort());
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("4321"));
        QCOMPARE(b.messages.messages.size(), 1);
        QCOMPARE(b.messages.messages[0].title, Messages::kErrorTitle);
        QVERIFY(b.messages.messages[0].text.contains(QStringLiteral("transfer itself was fine")));
    }

    // The trace records every byte of the commands while it is on, across a reopen of the port.
    void serialTrace()
    {
        Bench b;
        MainWindow& w = *b.w;
        const QString path = b.dir.file(QStringLiteral("trace.txt"));
        w.setFileChooser([path](QWidget*, FileChooser::Kind kind, const QString&) {
            return kind == FileChooser::Kind::Trace ? path : QString();
        });
        QVERIFY(b.openPort());
        w.menus().mnuRecordTrace->trigger();
        QVERIFY(w.menus().mnuRecordTrace->isChecked());
        w.mnuEstablishLink_Click();
        WAIT_LINK_IDLE(w);
        QVERIFY(b.openPort());
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        QFile trace(path);
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(trace.readAll());
        trace.close();
        QVERIFY(text.startsWith(QStringLiteral("# ")));
        QVERIFY(text.contains(QStringLiteral(" TX ")) && text.contains(QStringLiteral(" RX ")));
        QVERIFY(text.contains(QStringLiteral(" OPEN ")) && text.contains(QStringLiteral(" CLOSE")));
        QVERIFY(w.serialTrace().error().isEmpty());

        // Stopped: the next command adds nothing.
        w.menus().mnuRecordTrace->trigger();
        QVERIFY(!w.menus().mnuRecordTrace->isChecked());
        const qint64 size = QFileInfo(path).size();
        w.mnuOperRead_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isLinkBusy() && !w.transferWindow()->isVisible(), kLong);
        QCOMPARE(QFileInfo(path).size(), size);
        QVERIFY(b.messages.messages.isEmpty());

        // A trace whose file fills up ends, is reported once, and the command goes on.
        w.setFileChooser([](QWidget*, FileChooser::Kind, const QString&) { return QStringLiteral("/dev/full"); });
        w.menus().mnuRecordTrace->trigger();
        w.mnuEstablishLink_Click();
        WAIT_LINK_IDLE(w);
        QCOMPARE(b.messages.messages.size(), 1);
        QVERIFY(b.messages.messages[0].text.startsWith(QStringLiteral("The serial trace stopped.")));
        QVERIFY(!w.menus().mnuRecordTrace->isChecked());
    }
};

QTEST_MAIN(TestBoardAdditions)
#include "TestBoardAdditions.moc"
