// Pictures of the window's added dialogs and menus for review (not a test):
// vireo-screenshots-additions <directory>. Run under xvfb-run -a.
#include "BackupsWindow.h"
#include "Compare.h"
#include "DataFile.h"
#include "EditSafety.h"
#include "Editor.h"
#include "FleetWindow.h"
#include "MainWindow.h"
#include "Messages.h"
#include "PortAssistant.h"
#include "PtyBoard.h"
#include "TransferWindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString outDir;

void save(QWidget* w, const QString& name)
{
    QTest::qWait(200); // let the window paint once
    w->grab().save(QDir(outDir).filePath(name + QStringLiteral(".png")));
}

void saveScreen(const QString& name)
{
    QTest::qWait(300);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, 0, 0, 740, 480)
        .save(QDir(outDir).filePath(name + QStringLiteral(".png")));
}

template <typename Condition>
void waitFor(Condition condition)
{
    if (!QTest::qWaitFor(condition, 60000))
        qWarning("gave up waiting");
}

void waitIdle(MainWindow& w)
{
    waitFor([&] { return !w.isLinkBusy(); });
}

void showMenu(MainWindow& w, QMenu* menu, const QString& name)
{
    const QAction* top = menu->menuAction();
    menu->popup(w.menuBar()->mapToGlobal(w.menuBar()->actionGeometry(const_cast<QAction*>(top)).bottomLeft()));
    saveScreen(name);
    menu->hide();
}

// Fleet Programming... with a table of five units: the first programmed, the second
// being written.
void shootFleet(MainWindow& w, const QString& work)
{
    const QString units = QDir(work).filePath(QStringLiteral("trucks.csv"));
    QFile table(units);
    if (table.open(QIODevice::WriteOnly))
        table.write("Unit,PrimaryCode,chkFleetDispatch,GroupCode(3),GroupAlpha(3)\r\nTruck 12,2001,1,3001,NORTH\r\n"
                    "Truck 14,2002,1,3002,SOUTH\r\nTruck 15,2003,1,3003,EAST\r\n\"Smith, J.\",2004,,,\r\n"
                    "Workshop spare,2005,1,3005,WEST\r\n");
    table.close();
    w.mnuSerialConfig_Click(1); // back on the VT-60 board after the port assistant
    waitIdle(w);
    w.menus().mnuCloneFleet->trigger();
    auto* fleet = w.findChild<FleetWindow*>(QStringLiteral("frmFleet"));
    fleet->move(60, 60);
    fleet->findChild<QRadioButton*>(QStringLiteral("optFleetUnits"))->setChecked(true);
    fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetUnits"))->setText(units);
    fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetLog"))
        ->setText(QDir(work).filePath(QStringLiteral("trucks-log.csv")));
    fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetTechnician"))->setText(QStringLiteral("A. Berg"));
    if (!fleet->loadRadios())
        return;
    save(fleet, QStringLiteral("fleet-loaded"));
    fleet->programNext();
    waitFor([&] { return fleet->state(0) == FleetWindow::State::Programmed; });
    fleet->programNext();
    waitFor([&] { return w.transferWindow()->isVisible() && w.transferWindow()->value() > 60; });
    save(fleet, QStringLiteral("fleet-run"));
    QTest::qWait(300);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, 0, 0, 1000, 760)
        .save(QDir(outDir).filePath(QStringLiteral("fleet-run-screen.png")));
    waitFor([&] { return !fleet->isWriting(); });
    fleet->close();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Tervalo"), QStringLiteral("Vireo Logic Board Programmer")).clear();
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir work;
    QFile::copy(QDir(QStringLiteral(VIREO_DATA_DIR)).filePath(QStringLiteral("default.tv2")),
                QDir(work.path()).filePath(QStringLiteral("default.tv2")));
    QFile config(QDir(work.path()).filePath(QStringLiteral("Config.ini")));
    if (config.open(QIODevice::WriteOnly))
        config.write("1\r\n4\r\n");
    config.close();
    QDir::setCurrent(work.path());
    QTemporaryDir backups;
    qputenv("VIREO_BACKUP_DIR", backups.path().toLocal8Bit());
    qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
    Messages::setSink([](QWidget*, const Messages::Message& m) { qWarning("message: %s", qPrintable(m.text)); });

    MainWindow w;
    // The adapter appears between Find New Adapter and Look Again.
    bool plugged = false;
    w.setPortLister([&plugged] {
        QList<PortAssistant::PortInfo> ports{
            {QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0"), QStringLiteral("Built-in serial port"), {}, {}}};
        if (plugged)
            ports.append({QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"),
                          QStringLiteral("FTDI"), QStringLiteral("A10K3XQ9")});
        return ports;
    });
    w.Form_Load();
    w.move(20, 20);
    w.show();
    w.activateWindow();
    waitIdle(w);

    showMenu(w, w.menus().mnuFile, QStringLiteral("menu-file"));
    // File > Recent Files after two opens; the user's own list is not touched.
    QFile::copy(QStringLiteral("default.tv2"), QStringLiteral("radio-017.tv2"));
    w.openFile(QStringLiteral("radio-017.tv2"));
    w.openFile(QStringLiteral("default.tv2"));
    QMenu* file = w.menus().mnuFile;
    file->popup(w.menuBar()->mapToGlobal(w.menuBar()->actionGeometry(file->menuAction()).bottomLeft()));
    QTest::qWait(200);
    w.menus().mnuFileRecent->popup(
        file->mapToGlobal(file->actionGeometry(w.menus().mnuFileRecent->menuAction()).topRight()));
    saveScreen(QStringLiteral("menu-file-recent"));
    w.menus().mnuFileRecent->hide();
    file->hide();
    showMenu(w, w.menus().mnuClone, QStringLiteral("menu-clone"));
    showMenu(w, w.menus().mnuSerial, QStringLiteral("menu-serial"));

    // An edit: the caption's asterisk (under a window manager), the Edit menu naming the
    // step and the question before it would be lost; then undone.
    w.menus().mnuIncrement->trigger();
    showMenu(w, w.menus().mnuEdit, QStringLiteral("menu-edit"));
    {
        const std::unique_ptr<QMessageBox> box = Messages::makeBox(
            &w, Messages::Question{EditSafety::kQuestionTitle,
                                   EditSafety::kQuestion,
                                   {QStringLiteral("Save..."), QStringLiteral("Discard"), QStringLiteral("Cancel")},
                                   2,
                                   Messages::Icon::Exclamation});
        box->show();
        save(box.get(), QStringLiteral("question-unsaved"));
    }
    w.menus().mnuEditUndo->trigger();

    BoardSetup setup;
    setup.product = 4;
    setup.accessCode = w.form().ProgAccessCode.text;
    setup.requireCode = false;
    PtyBoard board(VirtualBoard::create(setup, w.image()), 0);
    board.start();
    qputenv("VIREO_COM1", board.slavePath().toLocal8Bit());
    w.mnuSerialConfig_Click(1);
    waitIdle(w);

    // Verify passed, then failed on a board that changed two words.
    if (!w.menus().mnuVerifyAfterWrite->isChecked())
        w.menus().mnuVerifyAfterWrite->trigger();
    w.mnuOperWrite_Click();
    waitFor([&] { return w.verifyDialog() != nullptr; });
    waitIdle(w);
    save(w.verifyDialog(), QStringLiteral("verify-passed"));
    w.verifyDialog()->close();
    w.mnuOperWrite_Click();
    waitFor([&] { return w.transferWindow()->label() == TransferWindow::kComplete; });
    board.setWord(Compare::wordsOf(QStringLiteral("PrimaryCode")).front(), QStringLiteral("1235"));
    board.setWord(Compare::wordsOf(QStringLiteral("GroupCode(3)")).front(), QStringLiteral("0777"));
    board.setWord(179, QStringLiteral("0001"));
    // The read-back, after the "Transfer Complete" pause, in the same transfer window.
    waitFor([&] {
        return w.transferWindow()->label() == phaseText(JobPhase::Verifying) && w.transferWindow()->value() >= 30;
    });
    save(w.transferWindow(), QStringLiteral("transfer-verifying"));
    waitFor([&] { return w.verifyDialog() != nullptr; });
    waitIdle(w);
    save(w.verifyDialog(), QStringLiteral("verify-failed"));
    w.verifyDialog()->close();
    w.menus().mnuVerifyAfterWrite->trigger();

    // Compare with a file that has other codes.
    const QString other = QDir(work.path()).filePath(QStringLiteral("other.tv2"));
    {
        Form f = w.form();
        f.PrimaryCode.text = QStringLiteral("1235");
        f.GroupCode[3].text = QStringLiteral("777");
        f.chkEmergency.value = f.chkEmergency.value ? 0 : 1;
        BoardImage image = w.image();
        Editor::ReadGUI(f, image);
        DataFile::save(other, image);
    }
    w.setFileChooser([other](QWidget*, FileChooser::Kind, const QString&) { return other; });
    w.menus().mnuFileCompare->trigger();
    save(w.compareDialog(), QStringLiteral("compare"));
    w.compareDialog()->close();

    // Backups: a write with the board backed up first, the before-write backup selected.
    w.menus().mnuBackUpBeforeWrite->trigger();
    {
        Form f = w.form();
        f.PrimaryCode.text = QStringLiteral("2468");
        w.showForm(f);
    }
    w.mnuOperWrite_Click();
    waitFor([&] { return !w.isLinkBusy() && !w.transferWindow()->isVisible(); });
    w.menus().mnuBackUpBeforeWrite->trigger();
    w.menus().mnuFileBackups->trigger();
    if (auto* backups = w.findChild<BackupsWindow*>()) {
        backups->select(1);
        QTest::qWait(100);
        save(backups, QStringLiteral("backups"));
        // Restore to Board...'s question, answered with its default (Cancel).
        Messages::setAnswerer([](QWidget* parent, const Messages::Question& q) {
            const std::unique_ptr<QMessageBox> box = Messages::makeBox(parent, q);
            box->show();
            save(box.get(), QStringLiteral("question-restore"));
            return q.defaultButton;
        });
        backups->findChild<QPushButton*>(QStringLiteral("cmdBackupRestore"))->click();
        Messages::setAnswerer({});
        // ... and its refusal of another product's backup.
        const QString& before = backups->entries()[1].path;
        QFile::copy(before, QString(before).replace(QStringLiteral("VT-60_"), QStringLiteral("VTP-50_")));
        backups->refresh();
        for (int row = 0; row < static_cast<int>(backups->entries().size()); ++row) {
            if (backups->entries()[static_cast<std::size_t>(row)].product == 5)
                backups->select(row);
        }
        Messages::setSink([](QWidget* parent, const Messages::Message& m) {
            const std::unique_ptr<QMessageBox> box = Messages::makeBox(parent, m);
            box->show();
            save(box.get(), QStringLiteral("message-restore-refused"));
        });
        backups->findChild<QPushButton*>(QStringLiteral("cmdBackupRestore"))->click();
        Messages::setSink([](QWidget*, const Messages::Message& m) { qWarning("message: %s", qPrintable(m.text)); });
        backups->close();
    }

    // Diagnose Link...: a healthy board, then an Icom board while a Vertex product is chosen.
    w.menus().mnuDiagnoseLink->trigger();
    waitFor([&] { return w.doctorWindow() && !w.doctorWindow()->isRunning(); });
    save(w.doctorWindow(), QStringLiteral("doctor-passed"));
    w.doctorWindow()->close();
    BoardSetup icom;
    icom.product = 3;
    PtyBoard icomBoard(VirtualBoard::create(icom, w.image()), 0);
    icomBoard.start();
    qputenv("VIREO_COM1", icomBoard.slavePath().toLocal8Bit());
    w.menus().mnuDiagnoseLink->trigger();
    waitFor([&] { return w.doctorWindow() && !w.doctorWindow()->isRunning(); });
    save(w.doctorWindow(), QStringLiteral("doctor-wrong-family"));
    w.doctorWindow()->close();
    qputenv("VIREO_COM1", board.slavePath().toLocal8Bit());

    // Other Port..., after Find New Adapter.
    w.menus().mnuSerialOther->trigger();
    w.portAssistant()->findChild<QPushButton*>(QStringLiteral("cmdFindNew"))->click();
    save(w.portAssistant(), QStringLiteral("other-port"));
    plugged = true;
    w.portAssistant()->findChild<QPushButton*>(QStringLiteral("cmdLookAgain"))->click();
    save(w.portAssistant(), QStringLiteral("other-port-look-again"));
    w.portAssistant()->close();

    shootFleet(w, work.path());

    // Print Report...: the preview, taken once it shows, then closed.
    QTimer::singleShot(1500, [] {
        if (QWidget* preview = QApplication::activeModalWidget()) {
            preview->resize(820, 900);
            save(preview, QStringLiteral("print-report"));
            preview->close();
        }
    });
    w.menus().mnuFilePrintReport->trigger();
    return 0;
}
