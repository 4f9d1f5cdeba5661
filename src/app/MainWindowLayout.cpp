#include "MainWindowLayout.h"

#include "FormControls.h"
#include "MaskedEdit.h"
#include "Product.h"
#include "WindowDesign.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr int kHeight = 17;    // 255 twips: a single box, label or check box
constexpr int kRowHeight = 16; // list rows stand 240 twips apart: kept from overlapping
constexpr int kCodeWidth = 495;
constexpr int kAlphaWidth = 1300;
// The two left frames and their lists are a little wider than drawn, so that the
// longest list item and "System ID Number" fit beside each other.
constexpr int kLeftFrameWidth = 2955;
constexpr int kListWidth = 1290;
constexpr int kListLabelLeft = 1500;

const QString kFourDigitsTip = QStringLiteral("Enter Four Digits");
const QString kAlphaTip = QStringLiteral("Enter up to 10 AlphaNumeric Characters");
const QString kFeatureTip = QStringLiteral("Check to Enable this feature");

QString indexed(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

template <typename W>
W* place(W* widget, const QString& name, int left, int top, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(twips(left), twips(top), twips(width), height);
    return widget;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width = 0,
              int height = kHeight)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->move(twips(left), twips(top));
    l->adjustSize();
    l->resize(width > 0 ? twips(width) : l->width(), height);
    return l;
}

QLabel* statusLabel(QWidget* parent, const QString& name, int left, const QString& tip)
{
    auto* l = place(new QLabel(parent), name, left, 200, 1080, kHeight);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Box);
    l->setLineWidth(1);
    l->setAutoFillBackground(true);
    QPalette palette = l->palette();
    palette.setColor(QPalette::Window, Qt::white);
    l->setPalette(palette);
    l->setToolTip(tip);
    return l;
}

// What the editor's control table declares for a control: its caption, and for a box
// its length and display format. The layout adds the place and the size.
const FormControl& declared(const QString& name)
{
    const FormControl* control = FormControls::find(name);
    Q_ASSERT_X(control, "MainWindowLayout", "every editing control is in the editor's table");
    return *control;
}

// The widget of the table's control `control`, handed to the view with its row.
template <typename W>
W* bound(MainWindowControls& c, const FormControl& control, W* widget)
{
    c.rows.push_back({&control, widget});
    return widget;
}

MaskedEdit* edit(MainWindowControls& c, QWidget* parent, const QString& name, int left, int top, int width,
                 int height = kHeight)
{
    const FormControl& control = declared(name);
    return bound(c, control,
                 place(new MaskedEdit(control.maxLength, control.format, parent), name, left, top, width, height));
}

// A label of the table (a heading or a row number whose enabled state follows its frame).
QLabel* tableLabel(MainWindowControls& c, QWidget* parent, const QString& name, const QString& caption, int left,
                   int top)
{
    return bound(c, declared(name), label(parent, name, caption, left, top, 0, kRowHeight));
}

// The label beside a box or list shows the control's caption.
QLabel* captionOf(QWidget* parent, const QString& labelName, const QString& controlName, int left, int top,
                  int width = 0)
{
    return label(parent, labelName, declared(controlName).caption, left, top, width);
}

QCheckBox* check(MainWindowControls& mc, QWidget* parent, const QString& name, int left, int top, const QString& tip,
                 int height = kRowHeight)
{
    const FormControl& declaredBox = declared(name);
    auto* c = new QCheckBox(declaredBox.kind == ControlKind::Check && declaredBox.row < 0 ? declaredBox.caption
                                                                                          : QString(),
                            parent);
    c->setObjectName(name);
    c->move(twips(left), twips(top));
    c->adjustSize();
    c->resize(c->width(), height);
    c->setToolTip(tip);
    return bound(mc, declaredBox, c);
}

QComboBox* combo(MainWindowControls& mc, QWidget* parent, const QString& name, const QStringList& items, int top)
{
    auto* c = place(new QComboBox(parent), name, 175, top, kListWidth, kHeight + 3);
    c->addItems(items);
    c->setCurrentIndex(-1);
    return bound(mc, declared(name), c);
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height)
{
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    f->setGeometry(twips(left), twips(top), twips(width), twips(height));
    return f;
}

void buildPaging(MainWindowControls& c, QWidget* client)
{
    QGroupBox* f = c.framePaging = frame(client, QStringLiteral("framePaging"), QStringLiteral("Paging Codes"), 240,
                                         240, kLeftFrameWidth, 1935);
    struct Row {
        MaskedEdit** box;
        const char* boxName;
        QLabel** label;
        const char* labelName;
        int top;
    };
    const Row rows[] = {
        {&c.PrimaryCode, "PrimaryCode", &c.Label11, "Label11", 360},
        {&c.SecondaryCode, "SecondaryCode", &c.Label12, "Label12", 720},
        {&c.LowerBlockCode, "LowerBlockCode", &c.Label14, "Label14", 1080},
        {&c.UpperBlockCode, "UpperBlockCode", &c.Label13, "Label13", 1440},
    };
    for (const Row& r : rows) {
        *r.box = edit(c, f, QLatin1String(r.boxName), 240, r.top, kCodeWidth);
        (*r.box)->setToolTip(kFourDigitsTip);
        *r.label = captionOf(f, QLatin1String(r.labelName), QLatin1String(r.boxName), 840, r.top);
    }
}

void buildOptions(MainWindowControls& c, QWidget* client, const Form& design)
{
    QGroupBox* f = c.frameOptions = frame(client, QStringLiteral("frameOptions"), QStringLiteral("Options"), 240, 2280,
                                          kLeftFrameWidth, 3735);
    c.cmbSystemTone = combo(c, f, QStringLiteral("cmbSystemTone"), design.cmbSystemTone.items, 360);
    c.Label9 = captionOf(f, QStringLiteral("Label9"), QStringLiteral("cmbSystemTone"), kListLabelLeft, 390);
    c.cmbSystemID = combo(c, f, QStringLiteral("cmbSystemID"), design.cmbSystemID.items, 720);
    c.Label30 = captionOf(f, QStringLiteral("Label30"), QStringLiteral("cmbSystemID"), kListLabelLeft, 750);
    c.cmbMandown = combo(c, f, QStringLiteral("cmbMandown"), design.cmbMandown.items, 1080);
    c.Label4 = bound(c, declared(QStringLiteral("Label4")),
                     label(f, QStringLiteral("Label4"), design.Label4.caption, kListLabelLeft, 1110));

    struct Row {
        QCheckBox** box;
        const char* name;
    };
    const Row rows[] = {
        {&c.chkEmergency, "chkEmergency"},
        {&c.chkPriority, "chkPriority"},
        {&c.chkConventional, "chkConventional"},
        {&c.chkClearChannel, "chkClearChannel"},
        {&c.chkRadioKill, "chkRadioKill"},
        {&c.chkDTMFMic, "chkDTMFMic"},
        {&c.chkVoiceEncryption, "chkVoiceEncryption"},
        {&c.chkRoaming, "chkRoaming"},
        {&c.chkANI, "chkANI"},
    };
    int top = 1440;
    for (const Row& r : rows) {
        const bool isAni = r.box == &c.chkANI;
        *r.box = check(c, f, QLatin1String(r.name), 240, top, isAni ? QString() : kFeatureTip);
        top += 240;
    }
}

void buildGroups(MainWindowControls& c, QWidget* client, const Form& design)
{
    QGroupBox* f = c.frameGroups = frame(client, QStringLiteral("frameGroups"), QStringLiteral("Group Codes"), 3240,
                                         600, 2775, 5415);
    c.chkFleetDispatch = check(c, f, QStringLiteral("chkFleetDispatch"), 240, 480, QString(), kHeight);
    c.Label3 = tableLabel(c, f, QStringLiteral("Label3"), design.Label3.caption, 445, 960);
    c.Label2 = tableLabel(c, f, QStringLiteral("Label2"), design.Label2.caption, 1600, 960);
    for (int g = 0; g < Form::kGroups; ++g) {
        const int top = 1200 + 240 * g;
        c.Label1[g] = tableLabel(c, f, indexed("Label1", g), design.Label1[g].caption, 240, top);
        c.GroupCode[g] = edit(c, f, indexed("GroupCode", g), 600, top, kCodeWidth, kRowHeight);
        c.GroupAlpha[g] = edit(c, f, indexed("GroupAlpha", g), 1340, top, kAlphaWidth, kRowHeight);
        if (g < 2) {
            c.GroupCode[g]->setToolTip(kFourDigitsTip);
            c.GroupAlpha[g]->setToolTip(kAlphaTip);
        }
    }
}

void buildSpeedDial(MainWindowControls& c, QWidget* client, const Form& design)
{
    QGroupBox* f = c.frameSpeedDial = frame(client, QStringLiteral("frameSpeedDial"),
                                            QStringLiteral("Speed Dial Programming"), 6240, 600, 4095, 5415);
    c.chkMemorySpeed = check(c, f, QStringLiteral("chkMemorySpeed"), 240, 480, QString(), kHeight);
    c.Label5 = tableLabel(c, f, QStringLiteral("Label5"), design.Label5.caption, 520, 960);
    c.Label6 = tableLabel(c, f, QStringLiteral("Label6"), design.Label6.caption, 2520, 960);
    c.Label8 = tableLabel(c, f, QStringLiteral("Label8"), design.Label8.caption, 3625, 960);
    c.Label25 = tableLabel(c, f, QStringLiteral("Label25"), design.Label25.caption, 720, 3840);
    for (int s = 0; s < Form::kSpeedDials; ++s) {
        const int top = s < 10 ? 1200 + 240 * s : 4080 + 240 * (s - 10);
        c.Label23[s] = tableLabel(c, f, indexed("Label23", s), design.Label23[s].caption, 240, top);
        c.SpeedDial[s] = edit(c, f, indexed("SpeedDial", s), 480, top, 1575, kRowHeight);
        c.SpeedAlpha[s] = edit(c, f, indexed("SpeedAlpha", s), 2250, top, kAlphaWidth, kRowHeight);
        // Only the tick box shows.
        c.chkLock[s] = check(c, f, indexed("chkLock", s), 3720, top, QString());
        if (s == 0 || s == 1 || s == 10) {
            c.SpeedDial[s]->setToolTip(QStringLiteral("Enter up to 14 digits plus Call Routing Digit"));
            c.SpeedAlpha[s]->setToolTip(kAlphaTip);
            c.chkLock[s]->setToolTip(QStringLiteral("Check to Lock SpeedDial"));
        }
    }
}

void buildTopStrip(MainWindowControls& c, QWidget* client)
{
    c.Label10 = captionOf(client, QStringLiteral("Label10"), QStringLiteral("ProgAccessCode"), 3430, 220, 1335);
    c.Label10->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    c.ProgAccessCode = edit(c, client, QStringLiteral("ProgAccessCode"), 4870, 200, 600);
    c.ProgAccessCode->setToolTip(QStringLiteral("Enter the Five Digit Access Code"));
    c.lblProduct = statusLabel(client, QStringLiteral("lblProduct"), 6840, QStringLiteral("Product Configuration"));
    c.Label7 = statusLabel(client, QStringLiteral("Label7"), 8640, QStringLiteral("Current Serial Comm Port"));
}

} // namespace

MainWindowControls MainWindowControls::build(QWidget* client)
{
    const Form design = Form::designTime();
    MainWindowControls c;
    buildTopStrip(c, client);
    buildPaging(c, client);
    buildOptions(c, client, design);
    buildGroups(c, client, design);
    buildSpeedDial(c, client, design);

    const QList<QWidget*> order = c.tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return c;
}

QList<QWidget*> MainWindowControls::tabOrder() const
{
    QList<QWidget*> order{PrimaryCode,    SecondaryCode, LowerBlockCode,     UpperBlockCode,  cmbSystemTone,
                          cmbSystemID,    chkEmergency,  chkPriority,        chkConventional, chkClearChannel,
                          chkRadioKill,   chkDTMFMic,    chkVoiceEncryption, chkRoaming,      chkFleetDispatch,
                          ProgAccessCode, chkLock[0],    chkMemorySpeed};
    for (MaskedEdit* e : GroupCode)
        order << e;
    for (MaskedEdit* e : GroupAlpha)
        order << e;
    for (MaskedEdit* e : SpeedDial)
        order << e;
    order << SpeedAlpha[0];
    for (int s = 1; s < Form::kSpeedDials; ++s)
        order << chkLock[s];
    for (int s = 1; s < Form::kSpeedDials; ++s)
        order << SpeedAlpha[s];
    order << chkANI << cmbMandown;
    return order;
}

namespace {

QAction* item(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key = {})
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!key.isEmpty())
        a->setShortcut(key);
    return a;
}

QMenu* topMenu(QMenuBar* bar, const QString& name, const QString& caption)
{
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

// One tick among the items, drawn as a radio mark. The window sets the ticks
// itself, so none ticked stays possible; a click on the ticked item still
// triggers it (choosing the ticked product again reopens the port).
QActionGroup* oneTickGroup(QMenu* menu)
{
    auto* group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    return group;
}

QAction* separator(QMenu* menu, const QString& name)
{
    QAction* a = menu->addSeparator();
    a->setObjectName(name);
    return a;
}

// The File menu: the original items, with this programmer's additions before Print Screen.
void buildFileMenu(QMenuBar* bar, MainWindowMenus& m)
{
    m.mnuFile = topMenu(bar, QStringLiteral("mnuFile"), QStringLiteral("  &File  "));
    m.mnuFileOpen = item(m.mnuFile, QStringLiteral("mnuFileOpen"), QStringLiteral("&Open..."), Qt::CTRL | Qt::Key_O);
    m.mnuFileSaveAs = item(m.mnuFile, QStringLiteral("mnuFileSaveAs"), QStringLiteral("&Save As..."),
                           Qt::CTRL | Qt::Key_S);
    m.mnuFileRecent = m.mnuFile->addMenu(QStringLiteral("Recent &Files"));
    m.mnuFileRecent->setObjectName(QStringLiteral("mnuFileRecent"));
    m.mnuFileRecent->menuAction()->setObjectName(QStringLiteral("mnuFileRecent"));
    m.mnuFileBackups = item(m.mnuFile, QStringLiteral("mnuFileBackups"), QStringLiteral("&Backups..."));
    m.mnuFileCompare = item(m.mnuFile, QStringLiteral("mnuFileCompare"), QStringLiteral("&Compare with File..."));
    separator(m.mnuFile, QStringLiteral("mnuFileBar1"));
    m.mnuFileExportLists = item(m.mnuFile, QStringLiteral("mnuFileExportLists"), QStringLiteral("Export &Lists..."));
    m.mnuFileImportLists = item(m.mnuFile, QStringLiteral("mnuFileImportLists"), QStringLiteral("&Import Lists..."));
    separator(m.mnuFile, QStringLiteral("mnuFileBar3"));
    m.mnuFilePrintReport = item(m.mnuFile, QStringLiteral("mnuFilePrintReport"), QStringLiteral("Print &Report..."));
    m.mnuFileExportReport = item(m.mnuFile, QStringLiteral("mnuFileExportReport"), QStringLiteral("Expor&t Report..."));
    m.mnuFilePrintScreen = item(m.mnuFile, QStringLiteral("mnuFilePrintScreen"), QStringLiteral("&Print Screen"),
                                Qt::CTRL | Qt::Key_P);
    separator(m.mnuFile, QStringLiteral("mnuFileBar2"));
    m.mnuExit = item(m.mnuFile, QStringLiteral("mnuExit"), QStringLiteral("&Exit"), Qt::CTRL | Qt::Key_E);
}

// Undo and Redo of the controls' changes; their texts name the step they take.
void buildEditMenu(QMenuBar* bar, MainWindowMenus& m)
{
    m.mnuEdit = topMenu(bar, QStringLiteral("mnuEdit"), QStringLiteral("&Edit"));
    m.mnuEditUndo = item(m.mnuEdit, QStringLiteral("mnuEditUndo"), QStringLiteral("&Undo"), Qt::CTRL | Qt::Key_Z);
    m.mnuEditRedo = item(m.mnuEdit, QStringLiteral("mnuEditRedo"), QStringLiteral("&Redo"));
    m.mnuEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m.mnuEditUndo->setEnabled(false);
    m.mnuEditRedo->setEnabled(false);
}

void buildCloneMenu(QMenuBar* bar, MainWindowMenus& m)
{
    m.mnuClone = topMenu(bar, QStringLiteral("mnuClone"), QStringLiteral(" &Clone  "));
    m.mnuEstablishLink = item(m.mnuClone, QStringLiteral("mnuEstablishLink"),
                              QStringLiteral("Establish Comm Link to Logic Board"), Qt::Key_F2);
    separator(m.mnuClone, QStringLiteral("mnuOperbar1"));
    m.mnuOperRead = item(m.mnuClone, QStringLiteral("mnuOperRead"), QStringLiteral("Read from Logic Board"),
                         Qt::Key_F3);
    m.mnuOperWrite = item(m.mnuClone, QStringLiteral("mnuOperWrite"), QStringLiteral("Write to Logic Board"),
                          Qt::Key_F4);
    m.mnuVerifyAfterWrite = item(m.mnuClone, QStringLiteral("mnuVerifyAfterWrite"),
                                 QStringLiteral("Verify after Write"));
    m.mnuVerifyAfterWrite->setCheckable(true);
    m.mnuBackUpBeforeWrite = item(m.mnuClone, QStringLiteral("mnuBackUpBeforeWrite"),
                                  QStringLiteral("Back Up Board Before Write"));
    m.mnuBackUpBeforeWrite->setCheckable(true);
    separator(m.mnuClone, QStringLiteral("mnuOperbar2"));
    m.mnuIncrement = item(m.mnuClone, QStringLiteral("mnuIncrement"), QStringLiteral("Increment Primary Code"),
                          Qt::Key_F5);
    m.mnuCloneFleet = item(m.mnuClone, QStringLiteral("mnuCloneFleet"), QStringLiteral("Fleet Programming..."));
    m.mnuForce = item(m.mnuClone, QStringLiteral("mnuForce"), QStringLiteral("Force Initialization"));
    m.mnuForce->setVisible(false);
    m.mnuForce->setEnabled(false);
    separator(m.mnuClone, QStringLiteral("mnuOperbar3"));
    m.mnuRecordTrace = item(m.mnuClone, QStringLiteral("mnuRecordTrace"), QStringLiteral("Record Serial Trace..."));
    m.mnuRecordTrace->setCheckable(true);
    m.mnuDiagnoseLink = item(m.mnuClone, QStringLiteral("mnuDiagnoseLink"), QStringLiteral("Diagnose Link..."));
}

} // namespace

MainWindowMenus MainWindowMenus::build(QMenuBar* bar)
{
    MainWindowMenus m;
    buildFileMenu(bar, m);
    buildEditMenu(bar, m);
    buildCloneMenu(bar, m);
    m.mnuProd = topMenu(bar, QStringLiteral("mnuProd"), QStringLiteral("  &Product  "));
    QActionGroup* products = oneTickGroup(m.mnuProd);
    for (const ProductInfo& p : Product::kAll) {
        QAction* a = item(m.mnuProd, indexed("mnuProduct", p.index), QLatin1String(p.caption));
        a->setCheckable(true);
        products->addAction(a);
        m.mnuProduct[p.index] = a;
    }
    m.mnuSerial = topMenu(bar, QStringLiteral("mnuSerial"), QStringLiteral("  &Serial Port  "));
    QActionGroup* ports = oneTickGroup(m.mnuSerial);
    for (int port = 1; port <= 4; ++port) {
        m.mnuSerialConfig[port] = item(m.mnuSerial, indexed("mnuSerialConfig", port),
                                       QStringLiteral("Select COM%1:").arg(port));
        m.mnuSerialConfig[port]->setCheckable(true);
        ports->addAction(m.mnuSerialConfig[port]);
    }
    separator(m.mnuSerial, QStringLiteral("mnuSerialBar1"));
    m.mnuSerialOther = item(m.mnuSerial, QStringLiteral("mnuSerialOther"), QStringLiteral("&Other Port..."));

    m.mnuHelp = topMenu(bar, QStringLiteral("mnuHelp"), QStringLiteral("  &Help  "));
    m.mnuHelpContents = item(m.mnuHelp, QStringLiteral("mnuHelpContents"), QStringLiteral("&Contents"), Qt::Key_F1);
    separator(m.mnuHelp, QStringLiteral("mnuHelpBar1"));
    m.mnuWeb = item(m.mnuHelp, QStringLiteral("mnuWeb"), QStringLiteral("T&ervalo on the web"), Qt::CTRL | Qt::Key_M);
    m.mnuAbout = item(m.mnuHelp, QStringLiteral("mnuAbout"), QStringLiteral("&About Tervalo..."), Qt::Key_F12);
    return m;
}
