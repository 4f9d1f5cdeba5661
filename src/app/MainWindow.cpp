#include "MainWindow.h"

#include "AboutWindow.h"
#include "BoardCommands.h"
#include "CapitalsMode.h"
#include "DataFile.h"
#include "DesktopHelp.h"
#include "Editor.h"
#include "EstablishWindow.h"
#include "FileDrops.h"
#include "FleetWindow.h"
#include "FormControls.h"
#include "FormView.h"
#include "LinkWorker.h"
#include "ListsAndReport.h"
#include "MaskedEdit.h"
#include "Messages.h"
#include "Product.h"
#include "RecentFiles.h"
#include "SerialPort.h"
#include "SerialTrace.h"
#include "SettingsFile.h"
#include "TransferWindow.h"
#include "UserSettings.h"
#include "WindowDesign.h"
#include "WordCodecs.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QSignalBlocker>

namespace {

const QString kWindowCaption = QStringLiteral("Tervalo Systems - Vireo Logic Board Programmer");
constexpr QSize kClientSize(704, 420);

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), chooser_(FileChooser::chooseWithDialog), printers_(PrintScreen::defaultPrinter),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      chmViewer_(DesktopHelp::desktopShowsChm), portLister_(PortAssistant::systemPorts),
      installedDataDir_(DesktopHelp::installedDataDir())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kWindowCaption);
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFont(boardFont());
    client->setFixedSize(kClientSize);
    setCentralWidget(client);
    controls_ = MainWindowControls::build(client);
    menus_ = MainWindowMenus::build(menuBar());
    view_ = new FormView(client, session_.form, controls_);
    connectMenus();
    new FileDrops(this, [this](const QString& path) { openFile(path); });
    new RecentFiles(menus_.mnuFile, menus_.mnuFileRecent, [this](const QString& path) { return openFile(path); });

    capitals_ = new CapitalsMode(this);
    capitals_->install();

    trace_ = new TraceRecorder(this, menus_.mnuRecordTrace, [this] {
        return chooser_(this, FileChooser::Kind::Trace, QStringLiteral("Record Serial Trace..."));
    });
    board_ = new BoardCommands({this, session_, [this] { showForm(); }, [this] { view_->completeTyping(); }, menus_,
                                [this] { afterJob(); }},
                               trace_->trace());

    lists_ = std::make_unique<ListsAndReport>(ListsAndReport::Window{
        this, session_, [this](FileChooser::Kind kind, const QString& title) { return chooser_(this, kind, title); },
        [this] { view_->completeTyping(); }, [this](const Form& form) { safety_->takeImport(form); }});
    safety_ = new EditSafety(this, session_, *view_, *board_, menus_);

    rememberTicked(menus_.mnuVerifyAfterWrite, kVerifyAfterWriteKey);
    rememberTicked(menus_.mnuBackUpBeforeWrite, kBackUpBeforeWriteKey);

    showForm();
    adjustSize();
    setFixedSize(sizeHint());
}

MainWindow::~MainWindow() = default;

void MainWindow::setPortMap(const PortMap& map)
{
    portMap_ = map;
    board_->link()->setPortMap(portMap_);
}

// ---- the view ---------------------------------------------------------------

void MainWindow::showForm(const Form& form)
{
    session_.form = form;
    showForm();
}

void MainWindow::showForm()
{
    view_->show();
    for (const ProductInfo& p : Product::kAll)
        menus_.mnuProduct[p.index]->setChecked(session_.form.mnuProduct[p.index]);
    for (int port = 1; port <= 4; ++port)
        menus_.mnuSerialConfig[port]->setChecked(session_.form.mnuSerialConfig[port]);
}

void MainWindow::connectMenus()
{
    const MainWindowMenus& m = menus_;
    connect(m.mnuFileOpen, &QAction::triggered, this, &MainWindow::mnuFileOpen_Click);
    connect(m.mnuFileSaveAs, &QAction::triggered, this, &MainWindow::mnuFileSaveAs_Click);
    connect(m.mnuFilePrintScreen, &QAction::triggered, this, &MainWindow::mnuFilePrintScreen_Click);
    connect(m.mnuFileBackups, &QAction::triggered, this, &MainWindow::mnuFileBackups_Click);
    connect(m.mnuFileCompare, &QAction::triggered, this, &MainWindow::mnuFileCompare_Click);
    connect(m.mnuFileExportLists, &QAction::triggered, this, [this] { lists_->exportLists(); });
    connect(m.mnuFileImportLists, &QAction::triggered, this, [this] { lists_->importLists(); });
    connect(m.mnuFilePrintReport, &QAction::triggered, this, [this] { lists_->printReport(); });
    connect(m.mnuFileExportReport, &QAction::triggered, this, [this] { lists_->exportReport(); });
    connect(m.mnuDiagnoseLink, &QAction::triggered, this, &MainWindow::mnuDiagnoseLink_Click);
    connect(m.mnuSerialOther, &QAction::triggered, this, &MainWindow::mnuSerialOther_Click);
    connect(m.mnuExit, &QAction::triggered, this, &MainWindow::mnuExit_Click);
    connect(m.mnuEstablishLink, &QAction::triggered, this, &MainWindow::mnuEstablishLink_Click);
    connect(m.mnuOperRead, &QAction::triggered, this, &MainWindow::mnuOperRead_Click);
    connect(m.mnuOperWrite, &QAction::triggered, this, &MainWindow::mnuOperWrite_Click);
    connect(m.mnuIncrement, &QAction::triggered, this, &MainWindow::mnuIncrement_Click);
    connect(m.mnuForce, &QAction::triggered, this, &MainWindow::mnuForce_Click);
    connect(m.mnuCloneFleet, &QAction::triggered, this,
            [this] { FleetWindow::open(this, session_, *board_, menus_.mnuVerifyAfterWrite->isChecked()); });
    for (const ProductInfo& p : Product::kAll)
        connect(m.mnuProduct[p.index], &QAction::triggered, this, [this, k = p.index] { mnuProduct_Click(k); });
    for (int port = 1; port <= 4; ++port)
        connect(m.mnuSerialConfig[port], &QAction::triggered, this, [this, port] { mnuSerialConfig_Click(port); });
    connect(m.mnuHelpContents, &QAction::triggered, this, &MainWindow::mnuHelpContents_Click);
    connect(m.mnuWeb, &QAction::triggered, this, &MainWindow::mnuWeb_Click);
    connect(m.mnuAbout, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
}

// ---- start-up and shutdown ----------------------------------------------------

void MainWindow::Form_Load()
{
    centreOnScreen(this);

    const SettingsFile::Settings settings = SettingsFile::read(QDir::currentPath());
    // The product's profile and its default data file; a missing or unreadable
    // default file leaves the design-time contents, silently.
    session_ = EditorSession::startUp(settings.product, QDir::currentPath(), installedDataDir_);
    if (settings.port && *settings.port >= 1 && *settings.port <= 4) {
        session_.form.mnuSerialConfig[*settings.port] = true;
        session_.form.Label7.caption = QStringLiteral("COM%1:").arg(*settings.port);
    }
    if (const std::optional<int> product = session_.product())
        portSettings_ = Product::info(*product).line;
    // Opening on the stored port and reopening with the product's line settings
    // come to one open with the final settings; a port that fails stays closed, silently.
    board_->openPort(portName(), portSettings_);
    showForm();

    capitals_->setOn(true);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A running dialogue is stopped first, once the technician agrees; the window
    // closes when it has ended.
    if (!board_->isClosing() && !safety_->mayDiscardEdits())
        return event->ignore();
    LinkWorker* link = board_->link();
    if (link->isBusy()) {
        event->ignore();
        if (!board_->isClosing() && link->isRunningDialogue() && !confirmStopAndExit())
            return;
        board_->setClosing();
        link->cancel();
        return;
    }
    board_->transferWindow()->stopCompleting();
    emit shuttingDown();
    link->closePort();
    board_->transferWindow()->close();
    if (about_)
        about_->close();
    board_->establishWindow()->close();
    event->accept();
}

void MainWindow::mnuExit_Click()
{
    close();
}

void MainWindow::afterJob()
{
    trace_->reportFailure(board_->isClosing());
    // Exit waits for the dialogue to end.
    if (board_->isClosing())
        close();
}

bool MainWindow::confirmStopAndExit()
{
    enum { StopAndExit, KeepWorking };
    const int answer = Messages::ask(
        this, {Messages::kBusyTitle,
               QStringLiteral("A board transfer is in progress. Stop it and exit? A board whose write is stopped "
                              "holds only the words sent so far."),
               {QStringLiteral("Stop and Exit"), QStringLiteral("Keep Working")},
               KeepWorking,
               Messages::Icon::Exclamation});
    return answer == StopAndExit;
}

// ---- data files ---------------------------------------------------------------

void MainWindow::mnuFileOpen_Click()
{
    const QString path = chooser_(this, FileChooser::Kind::Open,
                                  QStringLiteral("Open Tervalo Logic Board Data File..."));
    if (!FileChooser::isCancel(path))
        openFile(path);
}

bool MainWindow::openFile(const QString& path)
{
    const EditSafety::Step step = safety_->replace(QStringLiteral("Open")); // shows the opened file as it ends
    if (!step || !Messages::reportOpen(this, session_.open(path)))
        return false;
    RecentFiles::add(path);
    return true;
}

void MainWindow::mnuFileSaveAs_Click()
{
    view_->completeTyping();
    const EditorSession::SaveCheck check = session_.checkSave();
    showForm();
    if (check.invalidImage) {
        Messages::invalidTervaloFile(this);
        return;
    }
    // Entries are completed and checked before the technician picks a name.
    if (!check.entries.isEmpty()) {
        Messages::entriesRefused(this, QStringLiteral("The file was not saved. Please correct these entries:"),
                                 check.entries);
        return;
    }
    const QString path = chooser_(this, FileChooser::Kind::SaveAs,
                                  QStringLiteral("Save Tervalo Logic Board Data File As..."));
    if (FileChooser::isCancel(path))
        return;
    const DataFile::SaveResult result = session_.save(path);
    if (result.ok())
        RecentFiles::add(path);
    else
        Messages::errorMessage(this, QStringLiteral("The board data file was not saved.\r\n%1").arg(result.message));
}

// ---- the window's own commands ----------------------------------------------

void MainWindow::mnuIncrement_Click()
{
    const EditSafety::Step step = safety_->step(QStringLiteral("Increment Primary Code"));
    if (Editor::incrementPrimaryCode(session_.form) == Editor::IncrementResult::AtLimit) {
        Messages::show(this, {QStringLiteral("Increment Primary Code"),
                              QStringLiteral("The Primary Code is already 9999, the highest four-digit code.\r\n"
                                             "Enter the next code by hand."),
                              Messages::Icon::Information});
    }
    showForm();
}

void MainWindow::mnuProduct_Click(int index)
{
    if (board_->refuseWhileBusy())
        return;
    // A first run starts with no product and nothing in the window: the first product
    // chosen fills it from its default data file, as start-up would have.
    const bool empty = session_.holdsNothing();
    Editor::mnuProduct_Click(session_.form, index);
    if (empty) {
        const EditSafety::Step step =
            safety_->step(QStringLiteral("Open %1").arg(QLatin1String(Product::info(index).defaultFile)));
        session_.loadDefault(QDir::currentPath(), installedDataDir_);
    }
    showForm();
    if (const std::optional<int> product = Editor::selectedProduct(session_.form))
        portSettings_ = Product::info(*product).line;
    // The new product's tick, caption and enabled states stand whatever the port does.
    board_->openPort(portName(), portSettings_, [this](const LinkWorker::PortChange& change) {
        if (!change.opened)
            Messages::invalidSerialPort(this, change.message);
    });
    writeSettings(Editor::selectedPort(session_.form), index);
}

void MainWindow::mnuSerialConfig_Click(int index)
{
    if (board_->refuseWhileBusy())
        return;
    choosePort(index, false);
}

bool MainWindow::isLinkBusy() const
{
    return board_->isBusy();
}

// The board commands (BoardCommands.cpp), refused while another runs.
void MainWindow::mnuEstablishLink_Click()
{
    if (!board_->refuseWhileBusy())
        board_->linkCheck();
}

void MainWindow::mnuOperRead_Click()
{
    if (!board_->refuseWhileBusy() && safety_->mayDiscardEdits())
        board_->read();
}

void MainWindow::mnuOperWrite_Click()
{
    if (!board_->refuseWhileBusy())
        board_->write();
}

void MainWindow::mnuForce_Click()
{
    if (!board_->refuseWhileBusy())
        board_->forceInitialization();
}

QString MainWindow::portName() const
{
    // Without a ticked item the port keeps the number it starts with.
    return QStringLiteral("COM%1").arg(Editor::selectedPort(session_.form).value_or(1));
}

// ---- the port -----------------------------------------------------------------

void MainWindow::choosePort(int index, bool fromAssistant)
{
    // The ticks, Label7 and Config.ini change only once the port has opened.
    board_->openPort(QStringLiteral("COM%1").arg(index), portSettings_,
                     [this, index, fromAssistant](const LinkWorker::PortChange& change) {
                         if (fromAssistant && portAssistant_)
                             portAssistant_->setStatus(
                                 change.opened ? QStringLiteral("COM%1 is open on %2.")
                                                     .arg(index)
                                                     .arg(portMap_.devicePathFor(QStringLiteral("COM%1").arg(index)))
                                               : change.message);
                         if (!change.opened) {
                             Messages::invalidSerialPort(this, change.message);
                             showForm();
                             return;
                         }
                         session_.form.mnuSerialConfig.fill(false);
                         session_.form.mnuSerialConfig[index] = true;
                         session_.form.Label7.caption = QStringLiteral("COM%1:").arg(index);
                         showForm();
                         writeSettings(index, session_.product());
                     });
}

void MainWindow::writeSettings(std::optional<int> port, std::optional<int> product)
{
    const SettingsFile::WriteResult result = SettingsFile::write(QDir::currentPath(), port, product);
    if (!result.ok)
        Messages::errorMessage(this, result.message);
}

void MainWindow::mnuHelpContents_Click()
{
    // Looked for in the working directory as it is at the moment of the command.
    const QString chm = DesktopHelp::helpFile();
    if (!chm.isEmpty() && chmViewer_() && openUrl_(QUrl::fromLocalFile(chm)))
        return;
    // No help file, or nothing on this desktop shows one: the same help as web pages.
    const QString manual = DesktopHelp::manualPath();
    if (!manual.isEmpty())
        openUrl_(QUrl::fromLocalFile(manual));
}

void MainWindow::mnuWeb_Click()
{
    openUrl_(QUrl(AboutWindow::kWebAddress));
}

void MainWindow::mnuFilePrintScreen_Click()
{
    if (std::unique_ptr<QPrinter> printer = printers_())
        PrintScreen::print(centralWidget(), *printer);
}

void MainWindow::mnuAbout_Click()
{
    if (!about_)
        about_ = new AboutWindow(this);
    about_->setWindowModality(Qt::ApplicationModal);
    about_->show();
    about_->raise();
    about_->activateWindow();
}
