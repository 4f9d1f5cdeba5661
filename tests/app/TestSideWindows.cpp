// The About picture cycle, the transfer window's progress and cancel, the link
// notice, the texts of the link's message boxes, and where the fleet window keeps its log.
#include "AboutWindow.h"
#include "Editor.h"
#include "EstablishWindow.h"
#include "FleetWindow.h"
#include "MainWindow.h"
#include "TestHelpers.h"
#include "TransferWindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

class TestSideWindows : public QObject {
    Q_OBJECT
private slots:
    // Files opened and saved go to Recent Files: the tests keep a store of their own.
    void initTestCase() { useTestUserSettings(); }

    void aboutCyclesItsPicturesEvenWhileHidden()
    {
        MainWindow w;
        w.show();
        QVERIFY(!w.aboutWindow());
        w.menus().mnuAbout->trigger();
        AboutWindow* about = w.aboutWindow();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->windowModality(), Qt::ApplicationModal);
        QCOMPARE(about->windowTitle(), QStringLiteral("About Tervalo"));
        QVERIFY(about->timer()->isActive());
        QCOMPARE(about->timer()->interval(), 1000);
        QCOMPARE(about->visiblePicture(), 0);
        QVERIFY(!about->picture(2)->pixmap().isNull());

        about->Timer1_Timer();
        QCOMPARE(about->visiblePicture(), 1);
        const QPoint place(about->pos() + QPoint(13, 7));
        about->move(place);
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QVERIFY(!about->isVisible());
        QVERIFY(about->timer()->isActive());
        about->Timer1_Timer();
        QCOMPARE(about->visiblePicture(), 2);
        about->Timer1_Timer();
        QCOMPARE(about->visiblePicture(), 0);

        // Shown again: the same window, not re-centred, the cycle where it stood.
        w.menus().mnuAbout->trigger();
        QCOMPARE(w.aboutWindow(), about);
        QCOMPARE(about->pos(), place);
        QCOMPARE(about->visiblePicture(), 0);

        // With two pictures shown, the lower one alone moves on; with none, nothing.
        about->picture(2)->show();
        about->Timer1_Timer();
        QCOMPARE(about->visiblePicture(), 1);
        QVERIFY(about->picture(2)->isVisible());
        for (int i = 0; i < AboutWindow::kPictures; ++i)
            about->picture(i)->hide();
        about->Timer1_Timer();
        QCOMPARE(about->visiblePicture(), -1);
    }

    void transferProgressAndCancel()
    {
        CapturedMessages messages;
        TransferWindow t(nullptr);
        t.showTransfer(JobPhase::Reading, 3);
        QVERIFY(t.isVisible());
        QCOMPARE(t.label(), QStringLiteral("Reading Logic Board"));
        QVERIFY(t.findChild<QLabel*>(QStringLiteral("Image1"))->isVisible());
        QVERIFY(t.findChild<QLabel*>(QStringLiteral("Image4"))->isVisible());
        QVERIFY(!t.findChild<QLabel*>(QStringLiteral("Image2"))->isVisible());
        t.setValue(t.value() + 1);
        t.setValue(t.value() + 1);
        QCOMPARE(t.value(), 2);
        QCOMPARE(t.maximum(), 3);

        // The dialogue hears of the cancel before the box is shown.
        bool toldFirst = false;
        connect(&t, &TransferWindow::cancelRequested, this,
                [&] { toldFirst = messages.messages.isEmpty() && t.label() == TransferWindow::kCancel; });
        QTest::mouseClick(t.findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        QVERIFY(toldFirst);
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].title, QStringLiteral("Error Message"));
        QCOMPARE(messages.messages[0].text,
                 QStringLiteral("Data Transfer Cancelled...\r\nLogic Board Power must be re-cycled."));
        QCOMPARE(messages.messages[0].icon, Messages::Icon::Exclamation);
        QVERIFY(!t.isVisible());
        QCOMPARE(t.label(), QStringLiteral("Cancel"));

        // The next transfer starts clean.
        t.showTransfer(JobPhase::Writing, 100);
        QVERIFY(t.label() != TransferWindow::kCancel);
        QCOMPARE(t.value(), 0);
        QCOMPARE(t.label(), QStringLiteral("Writing Logic Board"));
    }

    void linkNoticeShowsForATimeWithoutBlocking()
    {
        EstablishWindow notice(nullptr);
        QCOMPARE(notice.windowTitle(), QStringLiteral("Communications Link"));
        QCOMPARE(notice.height(), 49); // as drawn, and wider where the title bar needs it
        QVERIFY(notice.width() >= 217);
        QCOMPARE(notice.findChild<QLabel*>()->text(), QStringLiteral("Communications Link is Established"));
        notice.showNotice();
        QVERIFY(notice.isVisible());
        QVERIFY(notice.hideTimer()->isActive());
        QCOMPARE(notice.hideTimer()->interval(), 1800);
        QVERIFY(notice.hideTimer()->isSingleShot());
        notice.hideNotice();
        QVERIFY(!notice.isVisible());
    }

    void linkMessagesSayWhatHappened()
    {
        CapturedMessages messages;
        Messages::commLinkError(nullptr);
        Messages::invalidPassword(nullptr);
        Messages::invalidSerialPort(nullptr);
        QCOMPARE(messages.messages.size(), 3);
        for (const Messages::Message& m : messages.messages) {
            QCOMPARE(m.title, QStringLiteral("Communications Error"));
            QCOMPARE(m.icon, Messages::Icon::Stop);
        }
        QCOMPARE(messages.messages[0].text,
                 QStringLiteral("Unable to Establish Communications Link with Logic Board.\r\n"
                                "Please check Power and Serial Cable connections.\r\n"
                                "Also verify Product and Serial Port Menu items."));
        QCOMPARE(messages.messages[1].text, QStringLiteral("The Access Code entered is invalid.\r\n"
                                                           "Re-cycle Power to Logic Board, and try again."));
        QCOMPARE(messages.messages[2].text, QStringLiteral("Invalid Serial Port"));
    }

    // A fleet log given as a bare name lands beside the units file, not in the working
    // directory; the window shows its whole path and offers it again the next time.
    void fleetLogLandsBesideTheUnitsFile()
    {
        WorkingDir dir;
        CapturedMessages messages;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("fleet")));
        QFile units(dir.file(QStringLiteral("fleet/trucks.csv")));
        QVERIFY(units.open(QIODevice::WriteOnly));
        units.write("Unit,PrimaryCode\r\nTruck 12,1201\r\n");
        units.close();
        MainWindow w;
        QVERIFY(
            w.openFile(QDir(qEnvironmentVariable("VIREO_SOURCE_DIR")).filePath(QStringLiteral("data/default.tv2"))));
        Form vt60 = w.form();
        Editor::applyProductProfile(vt60, QStringLiteral("4"));
        w.showForm(vt60);
        w.menus().mnuCloneFleet->trigger();
        auto* fleet = w.findChild<FleetWindow*>(QStringLiteral("frmFleet"));
        fleet->findChild<QRadioButton*>(QStringLiteral("optFleetUnits"))->setChecked(true);
        fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetUnits"))->setText(units.fileName());
        auto* log = fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetLog"));
        log->setText(QStringLiteral("run.csv"));
        QVERIFY2(fleet->loadRadios(), qPrintable(messages.messages.value(0).text));
        const QString beside = QDir(dir.path()).absoluteFilePath(QStringLiteral("fleet/run.csv"));
        QCOMPARE(log->text(), QDir::toNativeSeparators(beside));
        QVERIFY(QFile::exists(beside));
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("run.csv"))));
        delete fleet;
        w.menus().mnuCloneFleet->trigger();
        fleet = w.findChild<FleetWindow*>(QStringLiteral("frmFleet"));
        QCOMPARE(fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetLog"))->text(), QDir::toNativeSeparators(beside));
    }
};

QTEST_MAIN(TestSideWindows)
#include "TestSideWindows.moc"
