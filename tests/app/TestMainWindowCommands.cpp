// The main window's commands through the window itself: data files with a chooser
// that answers for the user, start-up from a working directory, the product and
// port menus, the boxes' rules on leaving them, capitals, help, web, print, exit, the
// question before unsaved edits are replaced, undo and redo.
#include "CapitalsMode.h"
#include "DataFile.h"
#include "DesktopHelp.h"
#include "Editor.h"
#include "MainWindow.h"
#include "MaskedEdit.h"
#include "TestHelpers.h"
#include "TransferWindow.h"
#include "WordCodecs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

namespace {

QString sourceFile(const QString& relative)
{
    return QDir(qEnvironmentVariable("VIREO_SOURCE_DIR")).filePath(relative);
}

// A valid image: the product's default file with a known primary code.
BoardImage sampleImage(const QString& primaryCode)
{
    BoardImage image;
    DataFile::load(sourceFile(QStringLiteral("data/default.tv2")), image, DataFile::MarkerRule::NotChecked);
    const WordCodec::CodeWords code = WordCodec::codeWords(primaryCode);
    image.setWord(6, code.first);
    image.setWord(7, code.second);
    return image;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers every file dialog with the next path of a list ("" is a cancel).
struct ScriptedChooser {
    QStringList answers;
    QStringList titles;
    FileChooser::Chooser chooser()
    {
        return [this](QWidget*, FileChooser::Kind, const QString& title) {
            titles << title;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
    }
};

void typeAndLeave(MainWindow& w, MaskedEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    w.controls().chkEmergency->setFocus();
}

void activate(MainWindow& w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

} // namespace

class TestMainWindowCommands : public QObject {
    Q_OBJECT
private slots:
    // Files opened and saved go to Recent Files: the tests keep a store of their own.
    void initTestCase() { useTestUserSettings(); }

    void boxesApplyTheirFormatWhenLeft()
    {
        MainWindow w;
        activate(w);
        const MainWindowControls& c = w.controls();
        typeAndLeave(w, c.PrimaryCode, QStringLiteral("12"));
        QCOMPARE(c.PrimaryCode->text(), QStringLiteral("0012"));
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("0012"));
        typeAndLeave(w, c.SpeedAlpha[2], QStringLiteral("abc"));
        QCOMPARE(c.SpeedAlpha[2]->text(), QStringLiteral("ABC"));
        typeAndLeave(w, c.SpeedDial[0], QStringLiteral("0012"));
        QCOMPARE(c.SpeedDial[0]->text(), QStringLiteral("0012"));
        typeAndLeave(w, c.SpeedDial[1], QStringLiteral("0012"));
        QCOMPARE(c.SpeedDial[1]->text(), QStringLiteral("12"));
        // The access code is five characters or the default.
        typeAndLeave(w, c.ProgAccessCode, QStringLiteral("123"));
        QCOMPARE(c.ProgAccessCode->text(), QStringLiteral("47203"));
        typeAndLeave(w, c.ProgAccessCode, QStringLiteral("ab12c"));
        QCOMPARE(w.form().ProgAccessCode.text, QStringLiteral("ab12c"));
        // Opening a menu is not leaving the box.
        c.PrimaryCode->setFocus();
        c.PrimaryCode->selectAll();
        QTest::keyClicks(c.PrimaryCode, QStringLiteral("7"));
        QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(c.PrimaryCode, &popup);
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("7"));
    }

    void userEditsReachTheFormAndRunTheFrameRule()
    {
        MainWindow w;
        activate(w);
        const MainWindowControls& c = w.controls();
        Form vt60 = w.form();
        Editor::applyProductProfile(vt60, QStringLiteral("4"));
        w.showForm(vt60);
        QVERIFY(!c.GroupCode[0]->isEnabled());
        QTest::mouseClick(c.chkFleetDispatch, Qt::LeftButton, {}, QPoint(6, c.chkFleetDispatch->height() / 2));
        QCOMPARE(w.form().chkFleetDispatch.value, 1);
        QVERIFY(c.GroupCode[0]->isEnabled()); // the frame rule ran and the window shows it
        c.cmbSystemTone->setFocus();
        QTest::keyClick(c.cmbSystemTone, Qt::Key_Down);
        QCOMPARE(w.form().cmbSystemTone.index, c.cmbSystemTone->currentIndex());
        QVERIFY(w.form().cmbSystemTone.index >= 0);

        // A long text from a file is shown whole, not cut to the box's length.
        Form f = w.form();
        f.SpeedAlpha[0].text = QStringLiteral("ABCDEFGHIJKL");
        w.showForm(f);
        QCOMPARE(c.SpeedAlpha[0]->text(), QStringLiteral("ABCDEFGHIJKL"));
    }

    void openEditSaveRoundTrip()
    {
        WorkingDir dir;
        CapturedMessages messages;
        const QString original = dir.file(QStringLiteral("board.tv2"));
        const QString saved = dir.file(QStringLiteral("copy.tv2"));
        BoardImage image = sampleImage(QStringLiteral("4321"));
        QVERIFY(DataFile::save(original, image).ok());

        MainWindow w;
        ScriptedChooser files{{original, saved}, {}};
        w.setFileChooser(files.chooser());
        w.image().setWord(260, QStringLiteral("BEEF"));
        w.image().setWord(300, QStringLiteral("KEEP"));
        w.menus().mnuFileOpen->trigger();
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("4321"));
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("4321"));

        activate(w);
        typeAndLeave(w, w.controls().PrimaryCode, QStringLiteral("1234"));
        w.menus().mnuFileSaveAs->trigger();
        QVERIFY2(messages.messages.isEmpty(), qPrintable(messages.messages.value(0).text));
        QCOMPARE(files.titles, (QStringList{QStringLiteral("Open Tervalo Logic Board Data File..."),
                                            QStringLiteral("Save Tervalo Logic Board Data File As...")}));
        const QByteArray bytes = readFile(saved);
        QCOMPARE(bytes.count("\r\n"), 251);
        QCOMPARE(bytes.size(), 251 * 8);
        BoardImage back;
        QVERIFY(DataFile::load(saved, back, DataFile::MarkerRule::Required).ok());
        const WordCodec::CodeWords code = WordCodec::codeWords(QStringLiteral("1234"));
        QCOMPARE(back.word(6), code.first);
        QCOMPARE(back.word(7), code.second);
        // Words past 250 are neither saved nor overwritten by the open beyond the file.
        QCOMPARE(w.image().word(260), QStringLiteral("BEEF"));
        QCOMPARE(w.image().word(300), QStringLiteral("KEEP"));
    }

    void badFilesAndFailedSavesAreReported()
    {
        WorkingDir dir;
        CapturedMessages messages;
        const QString valid = dir.file(QStringLiteral("valid.tv2"));
        QVERIFY(DataFile::save(valid, sampleImage(QStringLiteral("1111"))).ok());
        const QString invalid = dir.file(QStringLiteral("invalid.tv2"));
        writeFile(invalid, "\"00E6\"\r\n\"0000\"\r\n");
        const QString lowerCase = dir.file(QStringLiteral("lower.tv2"));
        writeFile(lowerCase, "\"00e5\"\r\n");

        MainWindow w;
        ScriptedChooser files;
        w.setFileChooser(files.chooser());

        // Save As is refused before a valid image is there, without a dialog.
        w.menus().mnuFileSaveAs->trigger();
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].text, QStringLiteral("Invalid Tervalo File"));
        QCOMPARE(messages.messages[0].title, QStringLiteral("Error Message"));
        QCOMPARE(messages.messages[0].icon, Messages::Icon::Exclamation);
        QVERIFY(files.titles.isEmpty());

        files.answers = {valid,     invalid,
                         lowerCase, dir.file(QStringLiteral("missing.tv2")),
                         QString(), QStringLiteral("*.tv2")};
        w.menus().mnuFileOpen->trigger();
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("1111"));
        messages.messages.clear();
        for (int i = 0; i < 2; ++i) {
            w.menus().mnuFileOpen->trigger();
            QCOMPARE(messages.messages.size(), i + 1);
            QCOMPARE(messages.messages[i].text, QStringLiteral("Invalid Tervalo File"));
        }
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("1111")); // the window still shows the valid one
        w.menus().mnuFileOpen->trigger();
        QCOMPARE(messages.messages.size(), 3);
        QVERIFY(messages.messages[2].text.contains(QStringLiteral("missing.tv2")));
        QCOMPARE(messages.messages[2].title, QStringLiteral("Error Message"));
        // Cancelling, or typing "*.tv2", does nothing.
        w.menus().mnuFileOpen->trigger();
        w.menus().mnuFileOpen->trigger();
        QCOMPARE(messages.messages.size(), 3);

        // A cancelled Save As does not read the controls into the image.
        const BoardImage before = w.image();
        Form edited = w.form();
        edited.PrimaryCode.text = QStringLiteral("2222");
        w.showForm(edited);
        files.answers = {QString()};
        w.menus().mnuFileSaveAs->trigger();
        QVERIFY(w.image() == before);

        // Entries that cannot be written are named, one a line, before any dialog; nothing is saved.
        edited.PrimaryCode.text = QStringLiteral("12G4");
        edited.GroupCode[1].text = QStringLiteral("G");
        w.showForm(edited);
        const QString target = dir.file(QStringLiteral("target.tv2"));
        const qsizetype dialogs = files.titles.size();
        w.menus().mnuFileSaveAs->trigger();
        QCOMPARE(files.titles.size(), dialogs);
        QCOMPARE(messages.messages.size(), 4);
        QCOMPARE(messages.messages[3].text,
                 QStringLiteral("The file was not saved. Please correct these entries:\r\n"
                                "Primary Code - ESN: \"12G4\" must be four digits 0-9 or A-F, or empty\r\n"
                                "Group Codes, row 1: \"G\" must be four digits 0-9 or A-F, or empty"));
        QVERIFY(messages.messages[3].keepLines);
        QVERIFY(!QFile::exists(target));
        QVERIFY(w.image() == before);

        // Typing into a box and saving straight away saves what one Tab later would.
        edited.GroupCode[1].text.clear();
        w.showForm(edited);
        w.controls().PrimaryCode->selectAll();
        QTest::keyClicks(w.controls().PrimaryCode, QStringLiteral("12"));
        files.answers = {target};
        w.menus().mnuFileSaveAs->trigger();
        QCOMPARE(messages.messages.size(), 4);
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("0012"));
        const QStringList saved = QString::fromLatin1(readFile(target)).split(QStringLiteral("\r\n"));
        QCOMPARE(saved.mid(6, 2), (QStringList{"\"0000\"", "\"0102\""}));

        // A save that fails says so; the file that was there is kept.
        edited.PrimaryCode.text = QStringLiteral("3333");
        w.showForm(edited);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.tv2")));
        files.answers = {dir.file(QStringLiteral("folder.tv2")), valid};
        w.menus().mnuFileSaveAs->trigger();
        QCOMPARE(messages.messages.size(), 5);
        QCOMPARE(messages.messages[4].title, QStringLiteral("Error Message"));
        QVERIFY(messages.messages[4].text.contains(QStringLiteral("folder.tv2")));
    }

    void startUpAppliesSettingsAndDefaultFile()
    {
        {
            WorkingDir dir;
            QVERIFY(
                QFile::copy(sourceFile(QStringLiteral("data/default.tv2")), dir.file(QStringLiteral("default.tv2"))));
            BoardImage icom = sampleImage(QStringLiteral("5678"));
            QVERIFY(DataFile::save(dir.file(QStringLiteral("defaulti.tv2")), icom).ok());
            writeFile(dir.file(QStringLiteral("Config.ini")), "2\r\n3\r\n");

            MainWindow w;
            w.Form_Load();
            QVERIFY(w.form().mnuSerialConfig[2]);
            QVERIFY(w.menus().mnuSerialConfig[2]->isChecked());
            QCOMPARE(w.controls().Label7->text(), QStringLiteral("COM2:"));
            QVERIFY(w.menus().mnuProduct[3]->isChecked());
            QCOMPARE(w.controls().lblProduct->text(), QStringLiteral("UT-117"));
            // Products 2 and 3 start from defaulti.tv2.
            QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("5678"));
            QVERIFY(w.capitalsMode()->isOn());
            QVERIFY(!w.transferWindow()->isVisible());
        }
        {
            // No settings file: nothing ticked, nothing loaded, the window still comes up,
            // with nothing to save.
            WorkingDir dir;
            QVERIFY(
                QFile::copy(sourceFile(QStringLiteral("data/default.tv2")), dir.file(QStringLiteral("default.tv2"))));
            QVERIFY(DataFile::save(dir.file(QStringLiteral("defaulti.tv2")), sampleImage(QStringLiteral("5678"))).ok());
            SparePort com1(1);
            MainWindow w;
            w.Form_Load();
            for (QAction* a : w.menus().mnuProduct)
                QVERIFY(!a || !a->isChecked());
            QVERIFY(w.controls().Label7->text().isEmpty());
            QVERIFY(w.image().word(0).isEmpty());
            QVERIFY(!w.controls().GroupCode[0]->isEnabled());
            QVERIFY(!w.isWindowModified());
            // The first product chosen fills the empty window from its default file, as
            // start-up would have: one step, and still nothing to save.
            WAIT_LINK_IDLE(w);
            w.menus().mnuProduct[4]->trigger();
            WAIT_LINK_IDLE(w);
            QCOMPARE(w.image().word(0), QStringLiteral("00E5"));
            QCOMPARE(w.controls().ProgAccessCode->text(), QStringLiteral("47203"));
            QVERIFY(!w.isWindowModified());
            QCOMPARE(w.menus().mnuEditUndo->text(), QStringLiteral("&Undo Open default.tv2"));
            // Once the window holds a configuration, another product keeps it.
            const QString primary = w.controls().PrimaryCode->text();
            w.menus().mnuProduct[2]->trigger();
            WAIT_LINK_IDLE(w);
            QCOMPARE(w.controls().PrimaryCode->text(), primary);
            QCOMPARE(w.menus().mnuEditUndo->text(), QStringLiteral("&Undo Open default.tv2"));
        }
        {
            // A product outside 1..5 and a port outside 1..4 select nothing.
            WorkingDir dir;
            writeFile(dir.file(QStringLiteral("CONFIG.ini")), "7\r\n9\r\n");
            MainWindow w;
            w.Form_Load();
            QVERIFY(!w.form().mnuSerialConfig[1]);
            QVERIFY(w.controls().lblProduct->text().isEmpty());
        }
    }

    void productAndPortMenusAreStored()
    {
        WorkingDir dir;
        CapturedMessages messages;
        writeFile(dir.file(QStringLiteral("Config.ini")), "1\r\n4\r\n");
        SparePort com1(1), com3(3);
        MainWindow w;
        w.Form_Load();
        WAIT_LINK_IDLE(w);
        const BoardImage before = w.image();
        w.menus().mnuProduct[2]->trigger();
        WAIT_LINK_IDLE(w);
        QCOMPARE(w.controls().lblProduct->text(), QStringLiteral("UT-105"));
        QVERIFY(w.menus().mnuProduct[2]->isChecked());
        QVERIFY(!w.menus().mnuProduct[4]->isChecked());
        QCOMPARE(readFile(dir.file(QStringLiteral("Config.ini"))), QByteArray("1\r\n2\r\n"));
        QVERIFY(w.image() == before);

        w.menus().mnuSerialConfig[3]->trigger();
        WAIT_LINK_IDLE(w);
        QCOMPARE(w.controls().Label7->text(), QStringLiteral("COM3:"));
        QVERIFY(!w.menus().mnuSerialConfig[1]->isChecked());
        QCOMPARE(readFile(dir.file(QStringLiteral("Config.ini"))), QByteArray("3\r\n2\r\n"));
        QVERIFY(messages.messages.isEmpty());

        // A settings file that cannot be written is reported; the choice stands.
        QFile::remove(dir.file(QStringLiteral("Config.ini")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("CONFIG.ini")));
        w.menus().mnuProduct[5]->trigger();
        WAIT_LINK_IDLE(w);
        QCOMPARE(messages.messages.size(), 1);
        // (Windows finds the folder under the name the file had: its names ignore case.)
        QVERIFY(messages.messages[0].text.contains(QStringLiteral("CONFIG.ini"), Qt::CaseInsensitive));
        QCOMPARE(w.controls().lblProduct->text(), QStringLiteral("VTP-50"));
    }

    void capitalsModeFollowsCapsLockInTheProgramsBoxesOnly()
    {
        WorkingDir dir;
        MainWindow w;
        w.Form_Load();
        activate(w);
        MaskedEdit* box = w.controls().SpeedAlpha[0];
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("ab"));
        QCOMPARE(box->text(), QStringLiteral("AB"));
        QTest::keyClick(box, 'c', Qt::ShiftModifier);
        QCOMPARE(box->text(), QStringLiteral("ABc"));
        QTest::keyClick(box, Qt::Key_CapsLock);
        QTest::keyClicks(box, QStringLiteral("d1"));
        QTest::keyClick(box, 'e', Qt::ShiftModifier);
        QCOMPARE(box->text(), QStringLiteral("ABcd1E"));
        QCOMPARE(w.form().SpeedAlpha[0].text, QStringLiteral("ABcd1E"));

        // Another line edit (a file dialog's) is left alone.
        QTest::keyClick(box, Qt::Key_CapsLock);
        QVERIFY(w.capitalsMode()->isOn());
        QLineEdit other;
        other.show();
        QTest::keyClicks(&other, QStringLiteral("name"));
        QCOMPARE(other.text(), QStringLiteral("name"));
    }

    void menuKeysWorkWhileTypingInABox()
    {
        WorkingDir dir;
        MainWindow w;
        activate(w);
        ScriptedChooser files;
        w.setFileChooser(files.chooser());
        MaskedEdit* box = w.controls().SpeedAlpha[0];
        box->setFocus();
        QTest::keyClick(box, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(files.titles.size(), 1);
        QSignalSpy shutdown(&w, &MainWindow::shuttingDown);
        QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(shutdown.size(), 1);
    }

    // The caption's asterisk, and the question before Open, Read and Exit replace edits:
    // Cancel keeps everything, Discard goes on, Save... goes on once it has saved.
    void unsavedEditsAreAskedAbout()
    {
        WorkingDir dir;
        CapturedMessages messages;
        const QString first = dir.file(QStringLiteral("first.tv2"));
        const QString second = dir.file(QStringLiteral("second.tv2"));
        const QString saved = dir.file(QStringLiteral("saved.tv2"));
        QVERIFY(DataFile::save(first, sampleImage(QStringLiteral("4321"))).ok());
        QVERIFY(DataFile::save(second, sampleImage(QStringLiteral("1111"))).ok());
        MainWindow w;
        ScriptedChooser files{{first}, {}};
        w.setFileChooser(files.chooser());
        activate(w);
        const QString caption = QStringLiteral("Tervalo Systems - Vireo Logic Board Programmer");
        w.menus().mnuFileOpen->trigger();
        QCOMPARE(w.windowHandle()->title(), caption);
        typeAndLeave(w, w.controls().PrimaryCode, QStringLiteral("1234"));
        QCOMPARE(w.windowHandle()->title(), QStringLiteral("Tervalo Systems - Vireo Logic Board Programmer *"));
        QVERIFY(messages.questions.isEmpty());

        QVERIFY(!w.openFile(second));
        w.mnuOperRead_Click();
        QCOMPARE(messages.questions.size(), 2);
        const Messages::Question& asked = messages.questions[0];
        QCOMPARE(asked.title, QStringLiteral("Unsaved Changes"));
        QCOMPARE(asked.text, QStringLiteral("The settings in the window have changed since they were last saved or "
                                            "written to a board. Save them to a file first?"));
        QCOMPARE(asked.buttons, (QStringList{"Save...", "Discard", "Cancel"}));
        QCOMPARE(asked.buttons[asked.defaultButton], QStringLiteral("Cancel"));
        QVERIFY(!w.transferWindow()->isVisible());
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("1234"));

        messages.answers = QStringList{QStringLiteral("Discard")};
        QVERIFY(w.openFile(second));
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("1111"));
        QCOMPARE(w.windowHandle()->title(), caption);

        typeAndLeave(w, w.controls().PrimaryCode, QStringLiteral("2468"));
        w.menus().mnuExit->trigger();
        QVERIFY(w.isVisible());
        messages.answers = QStringList{QStringLiteral("Save...")};
        w.menus().mnuExit->trigger(); // the Save As dialog cancelled
        QVERIFY(w.isVisible());
        messages.answers = QStringList{QStringLiteral("Save...")};
        files.answers = QStringList{saved};
        w.menus().mnuExit->trigger();
        QVERIFY(!w.isVisible());
        BoardImage back;
        QVERIFY(DataFile::load(saved, back, DataFile::MarkerRule::Required).ok());
        QCOMPARE(back.word(6), QStringLiteral("0204"));
        QCOMPARE(back.word(7), QStringLiteral("0608"));
        QCOMPARE(messages.questions.size(), 6);

        // Nothing changed, nothing asked.
        MainWindow fresh;
        activate(fresh);
        fresh.menus().mnuExit->trigger();
        QVERIFY(!fresh.isVisible());
        QCOMPARE(messages.questions.size(), 6);
        QVERIFY(messages.messages.isEmpty());
    }

    // Each kind of step undone and redone, back to the exact controls and image; typing in
    // the box with the focus is taken back first.
    void undoAndRedoEveryKindOfStep()
    {
        WorkingDir dir;
        CapturedMessages messages;
        const QString file = dir.file(QStringLiteral("board.tv2"));
        QVERIFY(DataFile::save(file, sampleImage(QStringLiteral("4321"))).ok());
        MainWindow w;
        ScriptedChooser files{{file}, {}};
        w.setFileChooser(files.chooser());
        activate(w);
        const MainWindowControls& c = w.controls();
        QAction* undo = w.menus().mnuEditUndo;
        QAction* redo = w.menus().mnuEditRedo;

        w.menus().mnuFileOpen->trigger();
        QCOMPARE(undo->text(), QStringLiteral("&Undo Open"));
        c.PrimaryCode->setFocus();
        c.PrimaryCode->selectAll();
        QTest::keyClicks(c.PrimaryCode, QStringLiteral("12"));
        QCOMPARE(undo->text(), QStringLiteral("&Undo Primary Code - ESN")); // its typing goes first
        c.chkEmergency->setFocus();
        QCOMPARE(undo->text(), QStringLiteral("&Undo Primary Code - ESN"));
        QTest::mouseClick(c.chkEmergency, Qt::LeftButton, {}, QPoint(6, c.chkEmergency->height() / 2));
        QCOMPARE(undo->text(), QStringLiteral("&Undo Emergency Call Override"));
        c.cmbSystemTone->setFocus();
        QTest::keyClick(c.cmbSystemTone, Qt::Key_Down);
        QCOMPARE(undo->text(), QStringLiteral("&Undo System Tone"));
        const int tone = c.cmbSystemTone->currentIndex();
        QTest::keyClick(c.cmbSystemTone, Qt::Key_F5);
        QCOMPARE(undo->text(), QStringLiteral("&Undo Increment Primary Code"));
        QCOMPARE(c.PrimaryCode->text(), QStringLiteral("0013"));
        QVERIFY(c.chkEmergency->isChecked());

        c.SecondaryCode->setFocus();
        c.SecondaryCode->selectAll();
        const QString secondary = c.SecondaryCode->text();
        QTest::keyClicks(c.SecondaryCode, QStringLiteral("77"));
        QTest::keyClick(c.SecondaryCode, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(c.SecondaryCode->text(), secondary);
        QCOMPARE(w.form().SecondaryCode.text, secondary);
        QCOMPARE(c.PrimaryCode->text(), QStringLiteral("0013"));
        QTest::keyClick(c.SecondaryCode, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(c.PrimaryCode->text(), QStringLiteral("0012"));
        QCOMPARE(undo->text(), QStringLiteral("&Undo System Tone"));
        QCOMPARE(redo->text(), QStringLiteral("&Redo Secondary Code")); // the box's typing comes back first
        undo->trigger();
        QVERIFY(c.cmbSystemTone->currentIndex() != tone);
        undo->trigger();
        QVERIFY(!c.chkEmergency->isChecked());
        undo->trigger();
        QCOMPARE(c.PrimaryCode->text(), QStringLiteral("4321"));
        QCOMPARE(w.image().word(6), QStringLiteral("0403"));
        undo->trigger();
        QCOMPARE(c.PrimaryCode->text(), QString());
        QCOMPARE(w.form().PrimaryCode.text, QString());
        QCOMPARE(w.image().word(6), QString());
        QCOMPARE(w.image().word(7), QString());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("&Undo"));
        QVERIFY(w.isWindowModified()); // the window no longer shows the file last opened

        c.chkEmergency->setFocus();
        QTest::keyClick(c.chkEmergency, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.image().word(6), QStringLiteral("0403"));
        QCOMPARE(c.PrimaryCode->text(), QStringLiteral("4321"));
        QTest::keyClick(c.chkEmergency, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(c.PrimaryCode->text(), QStringLiteral("0012"));
        redo->trigger();
        redo->trigger();
        redo->trigger();
        QVERIFY(c.chkEmergency->isChecked());
        QCOMPARE(c.cmbSystemTone->currentIndex(), tone);
        QCOMPARE(c.PrimaryCode->text(), QStringLiteral("0013"));
        QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("0013"));
        QVERIFY(!redo->isEnabled());
        QVERIFY(w.isWindowModified());

        // Typed in the row labelled 6, then in the one labelled 5: Undo names the row it takes back.
        c.SpeedDial[6]->setFocus();
        QTest::keyClicks(c.SpeedDial[6], QStringLiteral("555"));
        c.SpeedDial[5]->setFocus();
        QTest::keyClicks(c.SpeedDial[5], QStringLiteral("777"));
        QCOMPARE(undo->text(), QStringLiteral("&Undo Speed Dial, row 5"));
        undo->trigger();
        QCOMPARE(c.SpeedDial[5]->text(), QString());
        QCOMPARE(undo->text(), QStringLiteral("&Undo Speed Dial, row 6"));
        QVERIFY(messages.messages.isEmpty());
    }

    void incrementHelpWebPrintAndExit()
    {
        WorkingDir dir;
        MainWindow w;
        Form f = w.form();
        f.PrimaryCode.text = QStringLiteral("0123");
        w.showForm(f);
        w.menus().mnuIncrement->trigger();
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("0124"));
        {
            // The box holds four digits: at 9999 the user is told, and the code stays.
            CapturedMessages limit;
            f.PrimaryCode.text = QStringLiteral("9999");
            w.showForm(f);
            w.menus().mnuIncrement->trigger();
            QCOMPARE(w.form().PrimaryCode.text, QStringLiteral("9999"));
            QCOMPARE(limit.messages.size(), 1);
            QVERIFY(limit.messages[0].text.contains(QStringLiteral("9999")));
        }

        QList<QUrl> opened;
        w.setUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return false; // no viewer: nothing is said
        });
        QFile chm(dir.file(QStringLiteral("PX472.chm")));
        QVERIFY(chm.open(QIODevice::WriteOnly));
        chm.close();
        w.setChmViewerCheck([] { return true; });
        CapturedMessages messages;
        w.menus().mnuHelpContents->trigger();
        w.menus().mnuWeb->trigger();
        // The help file first; where it cannot be shown, the manual.
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened[0].toLocalFile(), QDir(dir.path()).absoluteFilePath(QStringLiteral("PX472.chm")));
        QCOMPARE(opened[1].toLocalFile(), DesktopHelp::manualPath());
        QCOMPARE(opened[2], QUrl(QStringLiteral("https://www.tervalo.com")));
        QVERIFY(messages.messages.isEmpty());

        // Print: to a PDF here; with no printer nothing happens.
        const QString pdf = dir.file(QStringLiteral("screen.pdf"));
        w.setPrinterProvider([pdf] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return printer;
        });
        w.menus().mnuFilePrintScreen->trigger();
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QVERIFY(readFile(pdf).startsWith("%PDF"));
        w.setPrinterProvider([] { return std::unique_ptr<QPrinter>(); });
        w.menus().mnuFilePrintScreen->trigger();

        // Exit closes the window and tells the port's holder first (the edits discarded).
        messages.answers = QStringList{QStringLiteral("Discard")};
        w.show();
        w.transferWindow()->showTransfer(JobPhase::Reading, 10);
        QSignalSpy shutdown(&w, &MainWindow::shuttingDown);
        w.menus().mnuExit->trigger();
        QCOMPARE(shutdown.size(), 1);
        QVERIFY(!w.isVisible());
        QVERIFY(!w.transferWindow()->isVisible());
    }
};

QTEST_MAIN(TestMainWindowCommands)
#include "TestMainWindowCommands.moc"
