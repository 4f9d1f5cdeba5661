// The window's additions that need no board: compare with a file, the port
// assistant, help without a help file, the installed default file, the verify option,
// and the desktop's ways to open a file (command line, drop, Recent Files).
#include "DataFile.h"
#include "DesktopHelp.h"
#include "DifferencesDialog.h"
#include "Editor.h"
#include "MainWindow.h"
#include "MaskedEdit.h"
#include "PortAssistant.h"
#include "RecentFiles.h"
#include "TestHelpers.h"
#include "WindowStart.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>

namespace {

QString sourceFile(const QString& relative)
{
    return QDir(qEnvironmentVariable("VIREO_SOURCE_DIR")).filePath(relative);
}

void writeConfig(const WorkingDir& dir, const QByteArray& text)
{
    QFile config(dir.file(QStringLiteral("Config.ini")));
    if (config.open(QIODevice::WriteOnly))
        config.write(text);
}

// The default file of product 4 with the edits `change` makes to its form, saved at `path`.
void saveEdited(const QString& path, const std::function<void(Form&)>& change)
{
    BoardImage image;
    DataFile::load(sourceFile(QStringLiteral("data/default.tv2")), image, DataFile::MarkerRule::NotChecked);
    Form form = Form::designTime();
    Editor::applyProductProfile(form, QStringLiteral("4"));
    Editor::UpdateGUI(form, image);
    change(form);
    Editor::ReadGUI(form, image);
    QVERIFY(DataFile::save(path, image).ok());
}

QString cell(QTableWidget* table, int row, int column)
{
    return table->item(row, column) ? table->item(row, column)->text() : QString();
}

} // namespace

class TestWindowAdditions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTestUserSettings(); }

    // Settings that differ, side by side in the window's order; the window's image untouched.
    void compareWithFile()
    {
        WorkingDir dir;
        CapturedMessages messages;
        const QString first = dir.file(QStringLiteral("first.tv2"));
        const QString second = dir.file(QStringLiteral("second.tv2"));
        saveEdited(first, [](Form& f) { f.PrimaryCode.text = QStringLiteral("1234"); });
        saveEdited(second, [](Form& f) {
            f.PrimaryCode.text = QStringLiteral("1235");
            f.GroupCode[3].text = QStringLiteral("777");
        });
        MainWindow w;
        QString chosen = first;
        w.setFileChooser([&chosen](QWidget*, FileChooser::Kind, const QString&) { return chosen; });
        Form product = w.form();
        Editor::applyProductProfile(product, QStringLiteral("4"));
        w.showForm(product);
        messages.answers = QStringList{QStringLiteral("Discard")}; // the product's tag words were not saved
        w.mnuFileOpen_Click();
        const BoardImage opened = w.image();

        chosen = second;
        w.menus().mnuFileCompare->trigger();
        QVERIFY(w.compareDialog());
        auto* table = w.compareDialog()->findChild<QTableWidget*>(QStringLiteral("tblCompare"));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("This window"));
        QVERIFY(cell(table, 0, 0).startsWith(QStringLiteral("Primary Code")));
        QCOMPARE(cell(table, 0, 1), QStringLiteral("1234"));
        QCOMPARE(cell(table, 0, 2), QStringLiteral("1235"));
        QVERIFY(cell(table, 1, 0).contains(QStringLiteral("row 3")));
        QCOMPARE(cell(table, 1, 2), QStringLiteral("777"));

        // An edit in the window counts, though it is not in the image yet.
        Form edited = w.form();
        edited.PrimaryCode.text = QStringLiteral("1235");
        w.showForm(edited);
        w.menus().mnuFileCompare->trigger();
        table = w.compareDialog()->findChild<QTableWidget*>(QStringLiteral("tblCompare"));
        QCOMPARE(table->rowCount(), 1);
        QVERIFY(w.image() == opened);

        chosen = first;
        edited.PrimaryCode.text = QStringLiteral("1234");
        w.showForm(edited);
        w.menus().mnuFileCompare->trigger();
        auto* summary = w.compareDialog()->findChild<QLabel*>(QStringLiteral("lblCompareSummary"));
        QCOMPARE(summary->text(), DifferencesDialog::kNoDifferences);
        QVERIFY(messages.messages.isEmpty());

        // Settings by their captions, a board's 16-digit number whole, and the words the
        // window does not show in one plain row (the backups compare in the same table).
        chosen = dir.file(QStringLiteral("third.tv2"));
        saveEdited(chosen, [](Form& f) {
            f.PrimaryCode.text = QStringLiteral("1234");
            f.SpeedDial[5].text = QStringLiteral("0000000000000000");
        });
        BoardImage third;
        QVERIFY(DataFile::load(chosen, third, DataFile::MarkerRule::Required).ok());
        third.setWord(41, QStringLiteral("1234"));
        third.setWord(98, QStringLiteral("AB") + third.word(98).mid(2));
        QVERIFY(DataFile::save(chosen, third).ok());
        w.menus().mnuFileCompare->trigger();
        table = w.compareDialog()->findChild<QTableWidget*>(QStringLiteral("tblCompare"));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(cell(table, 0, 0), QStringLiteral("Speed Dial, row 5"));
        QCOMPARE(cell(table, 0, 2), QStringLiteral("0000000000000000"));
        QVERIFY(table->columnWidth(2) > table->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000000")));
        QCOMPARE(cell(table, 1, 0), QStringLiteral("Words the window does not show: 41, 98"));
        QCOMPARE(table->columnSpan(1, 0), 3);
        summary = w.compareDialog()->findChild<QLabel*>(QStringLiteral("lblCompareSummary"));
        QCOMPARE(summary->text(), QStringLiteral("1 setting differs, and words the window does not show"));

        // A file without the marker is refused as Open refuses it.
        QFile bad(dir.file(QStringLiteral("bad.tv2")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("0000\r\n");
        bad.close();
        chosen = bad.fileName();
        w.menus().mnuFileCompare->trigger();
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].title, Messages::kErrorTitle);
    }

    // File > Export Lists..., Import Lists... (keeping the other rows, or emptying both
    // lists first; a bad row changes nothing) and Export Report..., in the real window.
    void listsAndReportThroughTheWindow()
    {
        WorkingDir dir;
        CapturedMessages messages;
        const QString opened = dir.file(QStringLiteral("radio.tv2"));
        saveEdited(opened, [](Form& f) {
            f.chkFleetDispatch.value = 1;
            f.GroupCode[0].text = QStringLiteral("1234");
            f.GroupAlpha[0].text = QStringLiteral("DISPATCH");
            f.SpeedDial[1].text = QStringLiteral("5551234");
        });
        MainWindow w;
        QString chosen = opened;
        QList<FileChooser::Kind> kinds;
        w.setFileChooser([&](QWidget*, FileChooser::Kind kind, const QString&) {
            kinds << kind;
            return chosen;
        });
        Form product = w.form();
        Editor::applyProductProfile(product, QStringLiteral("4"));
        w.showForm(product);
        messages.answers = QStringList{QStringLiteral("Discard")}; // the product's tag words were not saved
        w.menus().mnuFileOpen->trigger();

        chosen = dir.file(QStringLiteral("lists.csv"));
        w.menus().mnuFileExportLists->trigger();
        QFile csv(chosen);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        csv.close();
        QCOMPARE(lines.size(), 32);
        QCOMPARE(lines[1], QByteArray("Group,0,'1234,'  DISPATCH,\r"));
        QCOMPARE(lines[18], QByteArray("Speed Dial,1,'5551234,,0\r"));
        // Imported back into emptied lists, Save As writes the same file.
        const QString before = dir.file(QStringLiteral("before.tv2"));
        const QString after = dir.file(QStringLiteral("after.tv2"));
        chosen = before;
        w.menus().mnuFileSaveAs->trigger();
        chosen = dir.file(QStringLiteral("lists.csv"));
        messages.answers = QStringList{QStringLiteral("Empty Both Lists First")};
        w.menus().mnuFileImportLists->trigger();
        chosen = after;
        w.menus().mnuFileSaveAs->trigger();
        QFile a(before), b(after);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
        chosen = dir.file(QStringLiteral("lists.csv"));

        QVERIFY(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
        csv.write("List;Row;Number;Alpha Tag\r\nGroup;3;12;abc\r\n");
        csv.close();
        messages.answers = QStringList{QStringLiteral("Keep Other Rows")};
        w.menus().mnuFileImportLists->trigger();
        QCOMPARE(messages.questions.size(), 3);
        QCOMPARE(messages.questions[2].buttons, (QStringList{"Keep Other Rows", "Empty Both Lists First", "Cancel"}));
        QCOMPARE(w.controls().GroupCode[3]->text(), QStringLiteral("0012"));
        QCOMPARE(w.controls().GroupAlpha[3]->text(), QStringLiteral("ABC"));
        QCOMPARE(w.controls().GroupCode[0]->text(), QStringLiteral("1234"));

        messages.answers = QStringList{QStringLiteral("Empty Both Lists First")};
        w.menus().mnuFileImportLists->trigger();
        QCOMPARE(w.controls().GroupCode[0]->text(), QString());
        QCOMPARE(w.controls().SpeedDial[1]->text(), QString());
        QCOMPARE(w.controls().GroupCode[3]->text(), QStringLiteral("0012"));
        // The whole import is one step, and an edit.
        QVERIFY(w.isWindowModified());
        QCOMPARE(w.menus().mnuEditUndo->text(), QStringLiteral("&Undo Import Lists"));
        w.menus().mnuEditUndo->trigger();
        QCOMPARE(w.controls().GroupCode[0]->text(), QStringLiteral("1234"));
        QCOMPARE(w.controls().SpeedDial[1]->text(), QStringLiteral("5551234"));
        QCOMPARE(w.controls().GroupAlpha[3]->text(), QStringLiteral("ABC"));
        w.menus().mnuEditRedo->trigger();
        QCOMPARE(w.controls().GroupCode[0]->text(), QString());
        QCOMPARE(w.controls().SpeedDial[1]->text(), QString());
        QCOMPARE(w.controls().GroupCode[3]->text(), QStringLiteral("0012"));

        QVERIFY(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
        csv.write("List,Row,Number\r\nGroup,4,44\r\nGroup,5,12G4\r\n");
        csv.close();
        messages.answers = QStringList{QStringLiteral("Empty Both Lists First")};
        w.menus().mnuFileImportLists->trigger();
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].text,
                 QStringLiteral(
                     "The lists were not imported; the window is unchanged. Please correct these entries:\r\n"
                     "line 3, column Number: \"12G4\" is not a group code"));
        QCOMPARE(w.controls().GroupCode[3]->text(), QStringLiteral("0012"));
        QCOMPARE(w.controls().GroupCode[4]->text(), QString());
        messages.answers = QStringList{QStringLiteral("Cancel")};
        w.menus().mnuFileImportLists->trigger();
        QCOMPARE(messages.messages.size(), 1);

        chosen = dir.file(QStringLiteral("radio.html"));
        w.menus().mnuFileExportReport->trigger();
        QFile html(chosen);
        QVERIFY(html.open(QIODevice::ReadOnly));
        const QByteArray page = html.readAll();
        // The file last saved, and that the window has changed since.
        QVERIFY(page.contains(
            ("<td>" + QDir::toNativeSeparators(after) + " (changed since it was opened, not saved)</td>").toUtf8()));
        QVERIFY(page.contains("<td class=\"v\">0012</td><td class=\"v\">ABC</td>"));
        chosen = dir.file(QStringLiteral("radio.pdf"));
        w.menus().mnuFileExportReport->trigger();
        QFile pdf(chosen);
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
        QCOMPARE(kinds, (QList<FileChooser::Kind>{FileChooser::Kind::Open, FileChooser::Kind::ListsExport,
                                                  FileChooser::Kind::SaveAs, FileChooser::Kind::ListsImport,
                                                  FileChooser::Kind::SaveAs, FileChooser::Kind::ListsImport,
                                                  FileChooser::Kind::ListsImport, FileChooser::Kind::ListsImport,
                                                  FileChooser::Kind::ListsImport, FileChooser::Kind::Report,
                                                  FileChooser::Kind::Report}));
        QCOMPARE(messages.messages.size(), 1);
    }

    // Snapshot, adapter plugged in, Look Again selects it; Use as COM3 maps and opens it.
    void portAssistantFindsAndMapsANewAdapter()
    {
        WorkingDir dir;
        writeConfig(dir, "1\r\n4\r\n");
        CapturedMessages messages;
        SparePort adapter(4); // a port that opens
        const QString device = adapter.device();
        qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
        QList<PortAssistant::PortInfo> plugged{{"ttyS0", "/dev/ttyS0", "Built-in", "", ""}};
        MainWindow w;
        w.setPortLister([&plugged] { return plugged; });
        w.Form_Load();
        WAIT_LINK_IDLE(w);

        w.menus().mnuSerialOther->trigger();
        PortAssistant* assistant = w.portAssistant();
        QVERIFY(assistant && assistant->isVisible());
        auto* table = assistant->findChild<QTableWidget*>(QStringLiteral("tblPorts"));
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(cell(table, 0, 1), QStringLiteral("/dev/ttyS0"));
        auto* lookAgain = assistant->findChild<QPushButton*>(QStringLiteral("cmdLookAgain"));
        QVERIFY(!lookAgain->isEnabled());
        assistant->findChild<QPushButton*>(QStringLiteral("cmdFindNew"))->click();
        QVERIFY(lookAgain->isEnabled());
        lookAgain->click();
        QVERIFY(assistant->status().startsWith(QStringLiteral("No new port")));
        plugged.append({"ttyUSB0", device, "USB Serial", "FTDI", "A1B2"});
        lookAgain->click();
        QCOMPARE(table->currentRow(), 1);
        QCOMPARE(assistant->devicePath(), device);

        assistant->findChild<QComboBox*>(QStringLiteral("cmbUseAs"))->setCurrentIndex(2);
        assistant->findChild<QPushButton*>(QStringLiteral("cmdUse"))->click();
        WAIT_LINK_IDLE(w);
        QCOMPARE(w.portMap().devicePathFor(QStringLiteral("COM3")), device);
        QSettings settings(QStringLiteral("Tervalo"), QStringLiteral("Vireo Logic Board Programmer"));
        QCOMPARE(settings.value(QStringLiteral("ports/COM3")).toString(), device);
        QVERIFY(w.menus().mnuSerialConfig[3]->isChecked());
        QCOMPARE(w.controls().Label7->text(), QStringLiteral("COM3:"));
        QVERIFY(assistant->status().contains(device));
        QVERIFY(messages.messages.isEmpty());

        // A device that will not open: the port's own reason shows in the assistant too.
        auto* path = assistant->findChild<QLineEdit*>(QStringLiteral("txtDevicePath"));
        path->setText(QStringLiteral("/nonexistent/vireo-tty"));
        assistant->findChild<QComboBox*>(QStringLiteral("cmbUseAs"))->setCurrentIndex(1);
        assistant->findChild<QPushButton*>(QStringLiteral("cmdUse"))->click();
        WAIT_LINK_IDLE(w);
        QVERIFY(assistant->status().contains(QStringLiteral("/nonexistent/vireo-tty")));
        QCOMPARE(messages.messages.size(), 1);
        QVERIFY(w.menus().mnuSerialConfig[3]->isChecked());

        // At the next start-up the mapping comes back, unless the environment names a device.
        qunsetenv("VIREO_COM3");
        qputenv("VIREO_COM2", "/dev/given");
        const PortMap stored = PortAssistant::storedMappings();
        QCOMPARE(stored.devicePathFor(QStringLiteral("COM3")), device);
        QCOMPARE(stored.devicePathFor(QStringLiteral("COM2")), QStringLiteral("/dev/given"));
        for (const char* v : {"VIREO_COM1", "VIREO_COM2", "VIREO_COM3"})
            qunsetenv(v);
        settings.clear();
    }

    // F1: the help file where it can be shown, else the manual; nothing said either way.
    void helpFallsBackToTheManual()
    {
        WorkingDir dir;
        CapturedMessages messages;
        MainWindow w;
        QList<QUrl> opened;
        w.setUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        bool viewer = true;
        w.setChmViewerCheck([&viewer] { return viewer; });
        // The manual installed with the program or the one beside it, never the
        // sources of the machine the program was built on.
        const QString manual = DesktopHelp::manualPath();
        QVERIFY2(QFileInfo::exists(manual), qPrintable(manual));
        QVERIFY2(!manual.startsWith(QDir(qEnvironmentVariable("VIREO_SOURCE_DIR")).filePath(QStringLiteral("docs/"))),
                 qPrintable(manual));
        QVERIFY2(manual == QCoreApplication::applicationDirPath() + QStringLiteral("/manual/index.html")
                     || manual.endsWith(QStringLiteral("/share/doc/vireo-programmer/manual/index.html")),
                 qPrintable(manual));

        w.mnuHelpContents_Click(); // no help file here
        QFile chm(dir.file(QStringLiteral("PX472.chm")));
        QVERIFY(chm.open(QIODevice::WriteOnly));
        chm.close();
        w.mnuHelpContents_Click(); // shown
        viewer = false;
        w.mnuHelpContents_Click(); // nothing shows a help file
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened[0].toLocalFile(), DesktopHelp::manualPath());
        QCOMPARE(opened[1].toLocalFile(), dir.file(QStringLiteral("PX472.chm")));
        QCOMPARE(opened[2].toLocalFile(), DesktopHelp::manualPath());
        QVERIFY(messages.messages.isEmpty());
    }

    // Started where there is no default file, the installed one is loaded; a local one wins.
    void installedDefaultFile()
    {
        WorkingDir dir;
        writeConfig(dir, "1\r\n4\r\n");
        qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
        QTemporaryDir installed;
        saveEdited(QDir(installed.path()).filePath(QStringLiteral("default.tv2")),
                   [](Form& f) { f.PrimaryCode.text = QStringLiteral("2468"); });
        {
            MainWindow w;
            w.setInstalledDataDir(installed.path());
            w.Form_Load();
            WAIT_LINK_IDLE(w);
            QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("2468"));
        }
        saveEdited(dir.file(QStringLiteral("default.tv2")),
                   [](Form& f) { f.PrimaryCode.text = QStringLiteral("1357"); });
        MainWindow w;
        w.setInstalledDataDir(installed.path());
        w.Form_Load();
        WAIT_LINK_IDLE(w);
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("1357"));
        qunsetenv("VIREO_COM1");
    }

    // Windows starts a program from a shortcut or a double-click in places that are not
    // the technician's: the window then works in the user's folder.
    void startedFromTheDesktopTheWindowWorksInTheUsersFolder()
    {
        const QString home = QStringLiteral("C:/Users/tech");
        const QString program = QStringLiteral("C:/Program Files/Vireo Programmer");
        const struct {
            const char* current;
            const char* file;
            bool writable;
            const char* folder;
        } starts[] = {
            {"C:/Program Files/Vireo Programmer", "", false, "C:/Users/tech"}, // Start menu
            {"c:/program files/vireo programmer/", "", true, "C:/Users/tech"}, // the program's folder, any case
            {"C:/Windows/System32", "D:/jobs/r1.tv2", false, "C:/Users/tech"}, // a file's double-click
            {"D:/jobs", "D:/jobs/r1.tv2", true, "C:/Users/tech"},              // the same, in the file's folder
            {"D:/jobs", "", true, "D:/jobs"},                                  // a console in a folder of one's own
            {"D:/jobs", "E:/stick/r1.tv2", true, "D:/jobs"},
        };
        for (const auto& s : starts) {
            const StartPlace place{QString::fromLatin1(s.current), program, home, QString::fromLatin1(s.file),
                                   s.writable};
            QCOMPARE(windowFolder(place), QString::fromLatin1(s.folder));
        }
    }

    // A file named on the command line opens after the default file (a refused one
    // leaves it); a .tv2 dropped on a box opens, the box untouched; Recent Files keeps
    // the last eight opened or saved, newest first, and takes off one that is gone.
    void openingFromTheDesktop()
    {
        useTestUserSettings();
        WorkingDir dir;
        CapturedMessages messages;
        writeConfig(dir, "1\r\n4\r\n");
        qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
        saveEdited(dir.file(QStringLiteral("default.tv2")),
                   [](Form& f) { f.PrimaryCode.text = QStringLiteral("1357"); });
        saveEdited(dir.file(QStringLiteral("a.tv2")), [](Form& f) { f.PrimaryCode.text = QStringLiteral("2468"); });
        saveEdited(dir.file(QStringLiteral("b.tv2")), [](Form& f) { f.PrimaryCode.text = QStringLiteral("3579"); });
        QFile bad(dir.file(QStringLiteral("bad.tv2")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("\"0000\"\r\n");
        bad.close();
        {
            MainWindow refused;
            startWindow(refused, QStringLiteral("bad.tv2"));
            QTRY_COMPARE(messages.messages.size(), 1);
            QCOMPARE(messages.messages[0].title, QStringLiteral("Error Message"));
            QCOMPARE(messages.messages[0].text, QStringLiteral("Invalid Tervalo File"));
            QCOMPARE(refused.controls().PrimaryCode->text(), QStringLiteral("1357"));
            QVERIFY(!refused.menus().mnuFileRecent->menuAction()->isEnabled());
            WAIT_LINK_IDLE(refused);
        }
        MainWindow w;
        startWindow(w, QStringLiteral("a.tv2"));
        QTRY_COMPARE(w.controls().PrimaryCode->text(), QStringLiteral("2468"));
        WAIT_LINK_IDLE(w);

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(dir.file(QStringLiteral("notes.txt"))),
                       QUrl::fromLocalFile(dir.file(QStringLiteral("b.tv2")))});
        files.setText(dir.file(QStringLiteral("b.tv2")));
        QLineEdit* box = w.controls().SecondaryCode;
        const QString boxText = box->text();
        const QPoint middle = box->rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(middle, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QTRY_COMPARE(w.controls().PrimaryCode->text(), QStringLiteral("3579"));
        QCOMPARE(box->text(), boxText);
        QMimeData text;
        text.setText(QStringLiteral("12"));
        QDragEnterEvent textEnter(middle, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &textEnter);
        QVERIFY(textEnter.isAccepted()); // the box's own drop of a text

        const QString b = dir.file(QStringLiteral("b.tv2"));
        QCOMPARE(RecentFiles::paths(), QStringList({b, dir.file(QStringLiteral("a.tv2"))}));
        // Saved files count too: eight of them push the opened ones off.
        QString saving;
        w.setFileChooser([&saving](QWidget*, FileChooser::Kind, const QString&) { return saving; });
        for (int n = 1; n <= 8; ++n) {
            Form form = w.form();
            form.PrimaryCode.text = n == 1 ? QStringLiteral("1111") : QStringLiteral("2222");
            w.showForm(form);
            saving = dir.file(QStringLiteral("r%1.tv2").arg(n));
            w.menus().mnuFileSaveAs->trigger();
        }
        emit w.menus().mnuFile->aboutToShow();
        QList<QAction*> items = w.menus().mnuFileRecent->actions();
        QCOMPARE(items.size(), 8);
        QCOMPARE(items[0]->text(),
                 QStringLiteral("&1 ") + QDir::toNativeSeparators(dir.file(QStringLiteral("r8.tv2"))));
        QCOMPARE(items[7]->text(),
                 QStringLiteral("&8 ") + QDir::toNativeSeparators(dir.file(QStringLiteral("r1.tv2"))));
        QVERIFY(w.menus().mnuFileRecent->menuAction()->isEnabled());

        QVERIFY(QFile::remove(dir.file(QStringLiteral("r5.tv2"))));
        items[3]->trigger();
        QCOMPARE(messages.messages.size(), 2);
        QCOMPARE(messages.messages[1].title, QStringLiteral("Recent Files"));
        QCOMPARE(messages.messages[1].text, QStringLiteral("The file ")
                                                + QDir::toNativeSeparators(dir.file(QStringLiteral("r5.tv2")))
                                                + QStringLiteral(" is no longer there. It has been taken off the "
                                                                 "Recent Files list."));
        QCOMPARE(RecentFiles::paths().size(), 7);
        QVERIFY(!RecentFiles::paths().contains(dir.file(QStringLiteral("r5.tv2"))));

        items[7]->trigger();
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("1111"));
        QCOMPARE(RecentFiles::paths().first(), dir.file(QStringLiteral("r1.tv2")));
        QCOMPARE(messages.messages.size(), 2);

        // With an edit, a recent file and a drop ask first; Cancel keeps the edit.
        QVERIFY(messages.questions.isEmpty());
        w.controls().chkEmergency->click();
        emit w.menus().mnuFile->aboutToShow();
        w.menus().mnuFileRecent->actions()[1]->trigger();
        QCOMPARE(messages.questions.size(), 1);
        QCOMPARE(messages.questions[0].title, QStringLiteral("Unsaved Changes"));
        QDropEvent again(middle, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &again);
        QTRY_COMPARE(messages.questions.size(), 2);
        QCOMPARE(messages.questions[1].title, QStringLiteral("Unsaved Changes"));
        QCOMPARE(w.controls().PrimaryCode->text(), QStringLiteral("1111"));
        QVERIFY(w.controls().chkEmergency->isChecked());
        qunsetenv("VIREO_COM1");
    }

    // Verify after Write and Back Up Board Before Write: off by default, each remembered
    // once ticked; the verify report ends in its verdict.
    void verifyOptionAndReport()
    {
        {
            MainWindow w;
            QVERIFY(!w.menus().mnuVerifyAfterWrite->isChecked());
            QVERIFY(!w.menus().mnuBackUpBeforeWrite->isChecked());
            w.menus().mnuVerifyAfterWrite->trigger();
        }
        {
            MainWindow w;
            QVERIFY(w.menus().mnuVerifyAfterWrite->isChecked());
            QVERIFY(!w.menus().mnuBackUpBeforeWrite->isChecked());
            w.menus().mnuBackUpBeforeWrite->trigger();
            w.menus().mnuVerifyAfterWrite->trigger();
        }
        MainWindow w;
        QVERIFY(!w.menus().mnuVerifyAfterWrite->isChecked());
        QVERIFY(w.menus().mnuBackUpBeforeWrite->isChecked());
        w.menus().mnuBackUpBeforeWrite->trigger();

        Compare::Difference d{QStringLiteral("Group Codes, row 3"), QStringLiteral("1234"), QStringLiteral("1235"),
                              QStringLiteral("GroupCode(3)"), -1};
        const QString failed = DifferencesDialog::verifyText({d}, {});
        QVERIFY(failed.contains(QStringLiteral("Group Codes, row 3: 1234 on file, 1235 on board")));
        QVERIFY(failed.endsWith(DifferencesDialog::kVerifyFailed));
        QVERIFY(DifferencesDialog::verifyText({}, {}).endsWith(DifferencesDialog::kVerifyPassed));
        QVERIFY(
            DifferencesDialog::verifyText({}, QStringLiteral("line gone")).endsWith(DifferencesDialog::kVerifyFailed));
    }
};

QTEST_MAIN(TestWindowAdditions)
#include "TestWindowAdditions.moc"
