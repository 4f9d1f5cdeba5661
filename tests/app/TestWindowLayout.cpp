// The windows' faces: names, captions, menus, limits, tab order, and that nothing
// is clipped by its frame or overlaps a neighbour with the font in use.
#include "AboutWindow.h"
#include "Backups.h"
#include "BackupsWindow.h"
#include "DataFile.h"
#include "DoctorWindow.h"
#include "Editor.h"
#include "FleetWindow.h"
#include "FormControls.h"
#include "MainWindow.h"
#include "MaskedEdit.h"
#include "TestHelpers.h"
#include "TransferWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTest>

namespace {

QString describe(const QWidget* w)
{
    return QStringLiteral("%1 %2,%3 %4x%5")
        .arg(w->objectName())
        .arg(w->x())
        .arg(w->y())
        .arg(w->width())
        .arg(w->height());
}

// A text's width as drawn, without its "&" access-key mark.
int textWidth(const QFontMetrics& metrics, QString text)
{
    return metrics.horizontalAdvance(text.remove(QRegularExpression(QStringLiteral("&(?!&)"))));
}

// Every heading and every cell of a table whole in its column (a cell spanning
// columns in all of them).
QStringList tableFaults(const QTableWidget* t)
{
    constexpr int kMargins = 8; // the item's text margins and grid line
    QStringList faults;
    const QHeaderView* header = t->horizontalHeader();
    for (int c = 0; c < t->columnCount(); ++c) {
        const QString heading = t->horizontalHeaderItem(c) ? t->horizontalHeaderItem(c)->text() : QString();
        if (header->fontMetrics().horizontalAdvance(heading) + kMargins > header->sectionSize(c))
            faults << QStringLiteral("%1 heading clips \"%2\"").arg(t->objectName(), heading);
        for (int r = 0; r < t->rowCount(); ++r) {
            const QTableWidgetItem* item = t->item(r, c);
            if (!item)
                continue;
            int width = 0;
            for (int k = 0; k < t->columnSpan(r, c); ++k)
                width += t->columnWidth(c + k);
            if (QFontMetrics(item->font()).horizontalAdvance(item->text()) + kMargins > width)
                faults << QStringLiteral("%1 clips \"%2\"").arg(t->objectName(), item->text());
        }
    }
    return faults;
}

// Every visible child lies inside its parent, and no two visible siblings overlap.
QStringList layoutFaults(const QWidget* parent)
{
    QStringList faults;
    QList<const QWidget*> children;
    for (const QObject* o : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (!w || w->isWindow() || w->isHidden() || qobject_cast<const QMenuBar*>(w))
            continue;
        children << w;
        if (!parent->rect().contains(w->geometry()))
            faults << QStringLiteral("%1 outside %2").arg(describe(w), describe(parent));
        // Text that does not fit is cut off.
        if (const auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty()) {
            const QSize needed = l->wordWrap()                    ? QSize(0, l->heightForWidth(l->width()))
                                 : Qt::mightBeRichText(l->text()) ? l->sizeHint()
                                                                  : l->fontMetrics().size(0, l->text());
            if (needed.width() > l->contentsRect().width() || needed.height() > l->contentsRect().height() + 2)
                faults << QStringLiteral("%1 clips \"%2\"").arg(describe(w), l->text());
        }
        if (const auto* b = qobject_cast<const QAbstractButton*>(w); b && !b->text().isEmpty()) {
            // A push button's text between its frame and margins; a check or radio
            // button's beside its mark.
            const QStyle* style = b->style();
            const int needed = qobject_cast<const QPushButton*>(b)
                                   ? textWidth(b->fontMetrics(), b->text())
                                         + style->pixelMetric(QStyle::PM_ButtonMargin)
                                         + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth)
                                   : b->sizeHint().width();
            if (needed > b->width())
                faults << QStringLiteral("%1 clips \"%2\"").arg(describe(w), b->text());
        }
        if (const auto* t = qobject_cast<const QTableWidget*>(w))
            faults << tableFaults(t);
        if (const auto* c = qobject_cast<const QComboBox*>(w)) {
            QStyleOptionComboBox option;
            option.initFrom(c);
            const int field =
                c->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c).width();
            for (int i = 0; i < c->count(); ++i) {
                if (c->fontMetrics().horizontalAdvance(c->itemText(i)) + 4 > field)
                    faults << QStringLiteral("%1 clips \"%2\"").arg(describe(w), c->itemText(i));
            }
        }
        if (const auto* e = qobject_cast<const QLineEdit*>(w)) {
            if (e->fontMetrics().horizontalAdvance(e->text()) > e->width() - 6)
                faults << QStringLiteral("%1 clips \"%2\"").arg(describe(w), e->text());
        }
        if (qobject_cast<const QGroupBox*>(w) || qobject_cast<const QDialogButtonBox*>(w))
            faults << layoutFaults(w);
    }
    for (qsizetype i = 0; i < children.size(); ++i) {
        for (qsizetype j = i + 1; j < children.size(); ++j) {
            if (children[i]->geometry().intersects(children[j]->geometry()))
                faults << QStringLiteral("%1 overlaps %2").arg(describe(children[i]), describe(children[j]));
        }
    }
    return faults;
}

void saveScreenshot(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("VIREO_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(name));
}

QAction* action(const MainWindow& w, const QString& name)
{
    return w.findChild<QAction*>(name);
}

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT
private slots:
    // Files opened and saved go to Recent Files: the tests keep a store of their own.
    void initTestCase() { useTestUserSettings(); }

    void menusHaveTheirCaptionsAndKeys()
    {
        MainWindow w;
        const QList<QAction*> top = w.menuBar()->actions();
        QStringList captions;
        for (QAction* a : top)
            captions << a->text();
        QCOMPARE(captions,
                 (QStringList{"  &File  ", "&Edit", " &Clone  ", "  &Product  ", "  &Serial Port  ", "  &Help  "}));

        const struct {
            const char* name;
            const char* caption;
            QKeySequence key;
        } items[] = {
            {"mnuFileOpen", "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O)},
            {"mnuFileSaveAs", "&Save As...", QKeySequence(Qt::CTRL | Qt::Key_S)},
            {"mnuFilePrintScreen", "&Print Screen", QKeySequence(Qt::CTRL | Qt::Key_P)},
            {"mnuExit", "&Exit", QKeySequence(Qt::CTRL | Qt::Key_E)},
            {"mnuEstablishLink", "Establish Comm Link to Logic Board", QKeySequence(Qt::Key_F2)},
            {"mnuOperRead", "Read from Logic Board", QKeySequence(Qt::Key_F3)},
            {"mnuOperWrite", "Write to Logic Board", QKeySequence(Qt::Key_F4)},
            {"mnuIncrement", "Increment Primary Code", QKeySequence(Qt::Key_F5)},
            {"mnuForce", "Force Initialization", QKeySequence()},
            {"mnuProduct(1)", "Alinco EJ-39D", QKeySequence()},
            {"mnuProduct(5)", "Vertex VTP-50", QKeySequence()},
            {"mnuSerialConfig(3)", "Select COM3:", QKeySequence()},
            {"mnuHelpContents", "&Contents", QKeySequence(Qt::Key_F1)},
            {"mnuWeb", "T&ervalo on the web", QKeySequence(Qt::CTRL | Qt::Key_M)},
            {"mnuAbout", "&About Tervalo...", QKeySequence(Qt::Key_F12)},
            {"mnuFileRecent", "Recent &Files", QKeySequence()},
            {"mnuFileBackups", "&Backups...", QKeySequence()},
            {"mnuFileCompare", "&Compare with File...", QKeySequence()},
            {"mnuFileExportLists", "Export &Lists...", QKeySequence()},
            {"mnuFileImportLists", "&Import Lists...", QKeySequence()},
            {"mnuFilePrintReport", "Print &Report...", QKeySequence()},
            {"mnuFileExportReport", "Expor&t Report...", QKeySequence()},
            {"mnuVerifyAfterWrite", "Verify after Write", QKeySequence()},
            {"mnuBackUpBeforeWrite", "Back Up Board Before Write", QKeySequence()},
            {"mnuRecordTrace", "Record Serial Trace...", QKeySequence()},
            {"mnuDiagnoseLink", "Diagnose Link...", QKeySequence()},
            {"mnuCloneFleet", "Fleet Programming...", QKeySequence()},
            {"mnuSerialOther", "&Other Port...", QKeySequence()},
            {"mnuEditUndo", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
            {"mnuEditRedo", "&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y)},
        };
        for (const auto& item : items) {
            QAction* a = action(w, QLatin1String(item.name));
            QVERIFY2(a, item.name);
            QCOMPARE(a->text(), QLatin1String(item.caption));
            QCOMPARE(a->shortcut(), item.key);
        }
        // Never shown, never enabled; no tick before start-up.
        QVERIFY(!action(w, "mnuForce")->isVisible());
        QVERIFY(!action(w, "mnuForce")->isEnabled());
        for (QAction* a : w.findChildren<QAction*>())
            QVERIFY2(!a->isChecked(), qPrintable(a->objectName()));
        // Recent Files, Backups and Compare follow Save As, then the lists, then the report
        // before Print Screen; Verify, then Back Up, follow Write; Other Port follows COM4.
        const QList<QAction*> file = w.menus().mnuFile->actions();
        QCOMPARE(file.size(), 14);
        QCOMPARE(file[2], w.menus().mnuFileRecent->menuAction());
        QCOMPARE(file[3], w.menus().mnuFileBackups);
        QCOMPARE(file[4], w.menus().mnuFileCompare);
        QVERIFY(file[5]->isSeparator() && file[8]->isSeparator() && file[12]->isSeparator());
        QCOMPARE(file.mid(6, 2), (QList<QAction*>{w.menus().mnuFileExportLists, w.menus().mnuFileImportLists}));
        QCOMPARE(file.mid(9, 3), (QList<QAction*>{w.menus().mnuFilePrintReport, w.menus().mnuFileExportReport,
                                                  w.menus().mnuFilePrintScreen}));
        const QList<QAction*> clone = w.menus().mnuClone->actions();
        QCOMPARE(clone[clone.indexOf(w.menus().mnuOperWrite) + 1], w.menus().mnuVerifyAfterWrite);
        QCOMPARE(clone[clone.indexOf(w.menus().mnuOperWrite) + 2], w.menus().mnuBackUpBeforeWrite);
        QVERIFY(w.menus().mnuVerifyAfterWrite->isCheckable() && w.menus().mnuRecordTrace->isCheckable());
        QVERIFY(w.menus().mnuBackUpBeforeWrite->isCheckable());
        QCOMPARE(w.menus().mnuSerial->actions().last(), w.menus().mnuSerialOther);
        QCOMPARE(w.menus().mnuEditRedo->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
        QVERIFY(!w.menus().mnuEditUndo->isEnabled() && !w.menus().mnuEditRedo->isEnabled());
        QCOMPARE(w.windowTitle(), QStringLiteral("Tervalo Systems - Vireo Logic Board Programmer"));
        QCOMPARE(w.centralWidget()->size(), QSize(704, 420));
    }

    // Product and port show one tick each, as a radio mark; the window sets the
    // ticks from its form, none ticked included.
    void productAndPortTicksAreRadioMarks()
    {
        WorkingDir dir;
        CapturedMessages messages;
        QFile config(dir.file(QStringLiteral("Config.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("1\r\n4\r\n");
        config.close();
        SparePort com1(1);
        MainWindow w;
        const MainWindowMenus& m = w.menus();
        QActionGroup* products = m.mnuProduct[1]->actionGroup();
        QActionGroup* ports = m.mnuSerialConfig[1]->actionGroup();
        QVERIFY(products && ports && products != ports);
        for (QActionGroup* group : {products, ports})
            QVERIFY(group->exclusionPolicy() == QActionGroup::ExclusionPolicy::Exclusive);
        QCOMPARE(products->actions(), QList<QAction*>(m.mnuProduct.begin() + 1, m.mnuProduct.end()));
        QCOMPARE(ports->actions(), QList<QAction*>(m.mnuSerialConfig.begin() + 1, m.mnuSerialConfig.end()));
        for (QAction* a : products->actions() + ports->actions())
            QVERIFY2(a->isCheckable(), qPrintable(a->objectName()));
        QVERIFY(!m.mnuSerialOther->actionGroup() && !m.mnuSerialOther->isCheckable());

        const auto ticks = [&m] {
            QString t;
            for (int p = 1; p <= Product::kCount; ++p)
                t += m.mnuProduct[p]->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
            t += QLatin1Char(' ');
            for (int port = 1; port <= 4; ++port)
                t += m.mnuSerialConfig[port]->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
            return t;
        };
        w.Form_Load();
        WAIT_LINK_IDLE(w);
        QCOMPARE(ticks(), QStringLiteral("00010 1000"));
        // The ticked product chosen again is still a command: it rewrites Config.ini.
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.close();
        m.mnuProduct[4]->trigger();
        WAIT_LINK_IDLE(w);
        QCOMPARE(ticks(), QStringLiteral("00010 1000"));
        QVERIFY(config.open(QIODevice::ReadOnly));
        QCOMPARE(config.readAll(), QByteArray("1\r\n4\r\n"));
        config.close();
        m.mnuProduct[2]->trigger();
        WAIT_LINK_IDLE(w);
        QCOMPARE(ticks(), QStringLiteral("01000 1000"));
        Form none = w.form();
        none.mnuProduct.fill(false);
        none.mnuSerialConfig.fill(false);
        w.showForm(none);
        QCOMPARE(ticks(), QStringLiteral("00000 0000"));
        QVERIFY(messages.messages.isEmpty());
    }

    void controlsCarryTheirNamesTipsAndDesignStates()
    {
        MainWindow w;
        const MainWindowControls& c = w.controls();
        QCOMPARE(c.GroupCode[3]->objectName(), QStringLiteral("GroupCode(3)"));
        QCOMPARE(w.findChild<QCheckBox*>("chkLock(13)"), c.chkLock[13]);
        QCOMPARE(c.cmbSystemTone->itemText(1), QStringLiteral("100.0hz   0"));
        QCOMPARE(c.cmbSystemTone->count(), 8);
        QCOMPARE(c.cmbSystemID->count(), 32);
        QCOMPARE(c.cmbMandown->itemText(9), QStringLiteral("Continuous"));
        QCOMPARE(c.cmbSystemTone->currentIndex(), -1);
        QCOMPARE(c.Label23[10]->text(), QStringLiteral("A"));
        QCOMPARE(c.Label25->text(), QStringLiteral("Turbo Speedial"));

        QCOMPARE(c.GroupAlpha[1]->toolTip(), QStringLiteral("Enter up to 10 AlphaNumeric Characters"));
        QVERIFY(c.GroupAlpha[2]->toolTip().isEmpty());
        QCOMPARE(c.SpeedDial[10]->toolTip(), QStringLiteral("Enter up to 14 digits plus Call Routing Digit"));
        QVERIFY(c.SpeedDial[9]->toolTip().isEmpty());
        QCOMPARE(c.chkLock[1]->toolTip(), QStringLiteral("Check to Lock SpeedDial"));
        QCOMPARE(c.chkRoaming->toolTip(), QStringLiteral("Check to Enable this feature"));
        QVERIFY(c.chkANI->toolTip().isEmpty());
        QCOMPARE(c.lblProduct->toolTip(), QStringLiteral("Product Configuration"));
        QCOMPARE(c.lblProduct->alignment(), Qt::AlignCenter);
        QCOMPARE(c.Label7->frameShape(), QFrame::Box);

        // Group rows start greyed, speed-dial rows enabled, chkANI disabled.
        QVERIFY(!c.GroupCode[0]->isEnabled());
        QVERIFY(!c.GroupAlpha[15]->isEnabled());
        QVERIFY(!c.Label1[7]->isEnabled());
        QVERIFY(c.chkFleetDispatch->isEnabled());
        QVERIFY(c.SpeedDial[13]->isEnabled());
        QVERIFY(c.chkLock[0]->isEnabled());
        QVERIFY(!c.chkANI->isEnabled());
    }

    void everyControlOfTheEditorHasItsWidget()
    {
        MainWindow w;
        // The view binds each row to the widget the layout hands it: the one of the row's name.
        std::map<const FormControl*, QWidget*> handed;
        for (const ControlWidget& row : w.controls().rows)
            QVERIFY2(handed.emplace(row.control, row.widget).second, qPrintable(row.control->name));
        QCOMPARE(handed.size(), FormControls::all().size());
        for (const FormControl& control : FormControls::all()) {
            QWidget* widget = w.centralWidget()->findChild<QWidget*>(control.name);
            QVERIFY2(widget, qPrintable(control.name));
            QCOMPARE(handed[&control], widget);
            switch (control.kind) {
            case ControlKind::Text: {
                auto* box = qobject_cast<MaskedEdit*>(widget);
                QVERIFY2(box, qPrintable(control.name));
                QCOMPARE(box->designMaxLength(), control.maxLength);
                QCOMPARE(box->maxLength(), control.maxLength);
                QVERIFY2(box->displayFormat() == control.format, qPrintable(control.name));
                break;
            }
            case ControlKind::Combo: QVERIFY2(qobject_cast<QComboBox*>(widget), qPrintable(control.name)); break;
            case ControlKind::Check: QVERIFY2(qobject_cast<QCheckBox*>(widget), qPrintable(control.name)); break;
            case ControlKind::Label:
                QVERIFY2(qobject_cast<QLabel*>(widget), qPrintable(control.name));
                QCOMPARE(static_cast<QLabel*>(widget)->text(), control.value(Form::designTime()));
                break;
            }
            QCOMPARE(widget->isEnabled(), control.enabled(Form::designTime()));
        }
    }

    void boxesRefuseCharactersBeyondTheirLimit()
    {
        MainWindow w;
        w.show();
        const MainWindowControls& c = w.controls();
        const struct {
            MaskedEdit* box;
            const char* typed;
            const char* kept;
        } cases[] = {
            {c.ProgAccessCode, "123456", "12345"},
            {c.PrimaryCode, "12345", "1234"},
            {c.SpeedAlpha[0], "abcdefghijk", "abcdefghij"},
            {c.SpeedDial[1], "1234567890123456", "123456789012345"},
        };
        for (const auto& t : cases) {
            t.box->setFocus();
            QTest::keyClicks(t.box, QLatin1String(t.typed));
            QCOMPARE(t.box->text(), QLatin1String(t.kept));
        }
        // The form has what the box has.
        QCOMPARE(w.form().SpeedDial[1].text, QStringLiteral("123456789012345"));
    }

    void tabFollowsTheBoardOrder()
    {
        MainWindow w;
        const MainWindowControls& c = w.controls();
        QList<QWidget*> order = c.tabOrder();
        QCOMPARE(order.size(), 18 + 16 + 16 + 14 + 1 + 13 + 13 + 2);
        QCOMPARE(order.first(), c.PrimaryCode);
        QCOMPARE(order.last(), c.cmbMandown);
        // With every control enabled, Tab walks the list in order.
        Form all = w.form();
        for (auto& g : all.GroupCode)
            g.enabled = true;
        for (auto& g : all.GroupAlpha)
            g.enabled = true;
        all.chkANI.enabled = true;
        w.showForm(all);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        order.first()->setFocus();
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY2(QApplication::focusWidget() == order[i], qPrintable(order[i]->objectName()));
        }
        // Tab skips greyed rows: chkLock(0) -> chkMemorySpeed -> SpeedDial(0).
        w.showForm(Form::designTime());
        c.chkMemorySpeed->setFocus();
        QTest::keyClick(c.chkMemorySpeed, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), c.SpeedDial[0]);
    }

    void nothingIsClippedOrOverlapping()
    {
        MainWindow w;
        w.show();
        QStringList faults = layoutFaults(w.centralWidget());
        TransferWindow transfer(nullptr);
        transfer.showTransfer(JobPhase::Reading, 250);
        transfer.setBoardSilent(true);
        faults << layoutFaults(&transfer);
        AboutWindow about(nullptr);
        about.show();
        faults << layoutFaults(&about);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        saveScreenshot(&w, QStringLiteral("main-design.png"));
        saveScreenshot(&transfer, QStringLiteral("transfer.png"));
        saveScreenshot(&about, QStringLiteral("about.png"));
    }

    void startedWindowStaysTidy()
    {
        WorkingDir dir;
        const QString source = QDir(qEnvironmentVariable("VIREO_SOURCE_DIR")).filePath(QStringLiteral("data"));
        // A VT-60 configuration with every row in use, as the default file.
        BoardImage image;
        QVERIFY(DataFile::load(QDir(source).filePath(QStringLiteral("default.tv2")), image,
                               DataFile::MarkerRule::NotChecked)
                    .ok());
        Form full = Form::designTime();
        Editor::applyProductProfile(full, QStringLiteral("4"));
        Editor::setFleetDispatch(full, 1);
        Editor::setMemorySpeed(full, 1);
        full.PrimaryCode.text = QStringLiteral("8765");
        full.ProgAccessCode.text = QStringLiteral("47203");
        full.cmbSystemTone.index = 6;
        full.cmbMandown.index = 6;
        full.chkPriority.value = 1;
        for (int g = 0; g < Form::kGroups; ++g) {
            full.GroupCode[g].text = QString::number(1200 + g);
            full.GroupAlpha[g].text = QStringLiteral("DISPATCH%1").arg(g, 2, 10, QLatin1Char('0'));
        }
        for (int s = 0; s < Form::kSpeedDials; ++s) {
            full.SpeedDial[s].text = QStringLiteral("80055512%1").arg(s, 4, 10, QLatin1Char('0'));
            full.SpeedAlpha[s].text = QStringLiteral("MOBILE %1").arg(s);
        }
        full.chkLock[3].value = 1;
        Editor::ReadGUI(full, image);
        QVERIFY(DataFile::save(dir.file(QStringLiteral("default.tv2")), image).ok());
        QFile config(dir.file(QStringLiteral("Config.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("1\r\n4\r\n");
        config.close();
        MainWindow w;
        w.Form_Load();
        w.show();
        QCOMPARE(w.controls().lblProduct->text(), QStringLiteral("VT-60"));
        const QStringList faults = layoutFaults(w.centralWidget());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        saveScreenshot(&w, QStringLiteral("main.png"));
    }

    // Backups (a backup selected against the window), Fleet Programming (units loaded,
    // the next one marked in bold), Compare with File and Diagnose Link show every
    // caption, item and button text whole.
    void sideWindowsShowTheirTextsWhole()
    {
        WorkingDir dir;
        CapturedMessages messages;
        QTemporaryDir backups;
        qputenv("VIREO_BACKUP_DIR", QFile::encodeName(backups.path()));
        qputenv("VIREO_COM1", "/nonexistent/vireo-com1");
        const QString source = QDir(qEnvironmentVariable("VIREO_SOURCE_DIR")).filePath(QStringLiteral("data"));
        MainWindow w;
        QVERIFY(w.openFile(QDir(source).filePath(QStringLiteral("default.tv2"))));
        Form vt60 = w.form();
        Editor::applyProductProfile(vt60, QStringLiteral("4"));
        w.showForm(vt60);
        w.show();
        // The board as a backup holds it: a 16-digit speed dial, a word the window does not show.
        Form held = vt60;
        held.PrimaryCode.text = QStringLiteral("4321");
        held.SpeedDial[1].text = QStringLiteral("0000000000000000");
        BoardImage board = w.image();
        Editor::ReadGUI(held, board);
        board.setWord(41, QStringLiteral("1234"));
        const QDateTime taken(QDate(2026, 12, 7), QTime(8, 15, 2));
        int k = 0;
        for (Backups::Kind kind : {Backups::Kind::Read, Backups::Kind::BeforeWrite, Backups::Kind::Write})
            QVERIFY(Backups::save(board, 4, kind, taken.addSecs(++k)).ok);
        QStringList faults;

        w.mnuFileBackups_Click();
        auto* backupsWindow = w.findChild<BackupsWindow*>();
        backupsWindow->select(1);
        QCoreApplication::processEvents();
        faults << layoutFaults(backupsWindow);

        QFile units(dir.file(QStringLiteral("units.csv")));
        QVERIFY(units.open(QIODevice::WriteOnly));
        units.write("Unit,PrimaryCode\r\nTruck 12 (Anna Berg-Lindqvist),1201\r\nTruck 7,1202\r\n");
        units.close();
        w.menus().mnuCloneFleet->trigger();
        auto* fleet = w.findChild<FleetWindow*>(QStringLiteral("frmFleet"));
        fleet->findChild<QRadioButton*>(QStringLiteral("optFleetUnits"))->setChecked(true);
        fleet->findChild<QLineEdit*>(QStringLiteral("txtFleetUnits"))->setText(units.fileName());
        QVERIFY2(fleet->loadRadios(), qPrintable(messages.messages.value(0).text));
        QCoreApplication::processEvents();
        faults << layoutFaults(fleet);

        const QString other = dir.file(QStringLiteral("other.tv2"));
        QVERIFY(DataFile::save(other, board).ok());
        w.setFileChooser([other](QWidget*, FileChooser::Kind, const QString&) { return other; });
        w.mnuFileCompare_Click();
        QCoreApplication::processEvents();
        faults << layoutFaults(w.compareDialog());

        w.mnuDiagnoseLink_Click();
        QTRY_VERIFY(!w.doctorWindow()->isRunning());
        QCoreApplication::processEvents();
        faults << layoutFaults(w.doctorWindow());

        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        QVERIFY(messages.messages.isEmpty());
        saveScreenshot(backupsWindow, QStringLiteral("backups.png"));
        saveScreenshot(fleet, QStringLiteral("fleet.png"));
        saveScreenshot(w.compareDialog(), QStringLiteral("compare.png"));
        saveScreenshot(w.doctorWindow(), QStringLiteral("doctor.png"));
        qunsetenv("VIREO_COM1");
        qunsetenv("VIREO_BACKUP_DIR");
    }

    void transferWindowHasItsControls()
    {
        TransferWindow t(nullptr);
        QCOMPARE(t.windowTitle(), QStringLiteral("Communications Link"));
        // Its title whole on a title bar: in bold, beside the bar's icon and buttons.
        QFont bold = QApplication::font();
        bold.setBold(true);
        QVERIFY(t.width() >= QFontMetrics(bold).horizontalAdvance(t.windowTitle()) + 100);
        QCOMPARE(t.height(), 88);
        auto* cancel = t.findChild<QPushButton*>("cmdCancel");
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        QCOMPARE(cancel->toolTip(), QStringLiteral("Click to cancel data transfer"));
        QVERIFY(t.findChild<QProgressBar*>("ProgressBar1"));
        t.showTransfer(JobPhase::Writing, 100);
        QVERIFY(t.findChild<QLabel*>("Image2")->isVisible());
        QVERIFY(t.findChild<QLabel*>("Image3")->isVisible());
        QVERIFY(!t.findChild<QLabel*>("Image1")->isVisible());
        QVERIFY(!t.findChild<QLabel*>("Image4")->isVisible());
        QVERIFY(!t.findChild<QLabel*>("Image2")->pixmap().isNull());
        QCOMPARE(t.label(), QStringLiteral("Writing Logic Board"));
    }
};

QTEST_MAIN(TestWindowLayout)
#include "TestWindowLayout.moc"
