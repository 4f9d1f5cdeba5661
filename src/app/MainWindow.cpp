#include "MainWindow.h"

#include "AboutWindow.h"
#include "CapitalsMode.h"
#include "DataFile.h"
#include "Editor.h"
#include "EstablishWindow.h"
#include "FormControls.h"
#include "LinkOperations.h"
#include "LinkWorker.h"
#include "MaskedEdit.h"
#include "Messages.h"
#include "Product.h"
#include "SerialTrace.h"
#include "SettingsFile.h"
#include "UserSettings.h"
#include "TransferWindow.h"
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

bool hasMarker(const BoardImage& image)
{
    return image.word(0).endsWith(QStringLiteral("E5"));
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), form_(Form::designTime()), chooser_(FileChooser::chooseWithDialog),
      printers_(PrintScreen::defaultPrinter), openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      chmViewer_(desktopShowsChm), portLister_(PortAssistant::systemPorts), installedDataDir_(QStringLiteral(VIREO_DATA_DIR))
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
    bindControls();
    connectMenus();

    // Created hidden; the board commands show them.
    transfer_ = new TransferWindow(this);
    establish_ = new EstablishWindow(this);
    capitals_ = new CapitalsMode(this);
    capitals_->install();

    trace_ = std::make_shared<SerialTrace>();
    link_ = new LinkWorker(this, {}, {}, trace_);
    connect(link_, &LinkWorker::finished, this, &MainWindow::linkFinished);
    connect(link_, &LinkWorker::progress, transfer_, &TransferWindow::setValue);
    connect(transfer_, &TransferWindow::cancelRequested, link_, &LinkWorker::cancel, Qt::DirectConnection);
    connect(link_, &LinkWorker::boardSilenceChanged, transfer_, &TransferWindow::setBoardSilent);
    transfer_->setCancelEnabled(false);
    completeTimer_.setSingleShot(true);
    completeTimer_.setInterval(kCompleteMs);
    connect(&completeTimer_, &QTimer::timeout, this, &MainWindow::transferCompleteElapsed);

    menus_.mnuVerifyAfterWrite->setChecked(userSettings().value(kVerifyAfterWriteKey, false).toBool());

    showForm();
    adjustSize();
    setFixedSize(sizeHint());
}

MainWindow::~MainWindow() = default;

void MainWindow::setPortMap(const PortMap& map)
{
    portMap_ = map;
    link_->setPortMap(portMap_);
}

// ---- the view ---------------------------------------------------------------

void MainWindow::showForm(const Form& form)
{
    form_ = form;
    showForm();
}

void MainWindow::showForm()
{
    for (const Binding& b : bindings_)
        b.show();
    for (const ProductInfo& p : Product::kAll)
        menus_.mnuProduct[p.index]->setChecked(form_.mnuProduct[p.index]);
    for (int port = 1; port <= 4; ++port)
        menus_.mnuSerialConfig[port]->setChecked(form_.mnuSerialConfig[port]);
}

void MainWindow::bindText(MaskedEdit* edit, const FormControl& control)
{
    const FormControl* c = &control; // the table lives as long as the program
    bindings_.push_back({[this, edit, c] {
        const TextBox& box = *c->textBox(form_);
        const QSignalBlocker block(edit);
        edit->showText(box.text);
        edit->setEnabled(box.enabled);
    }});
    connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& text) { c->textBox(form_)->text = text; });
    connect(edit, &MaskedEdit::focusLost, this, [this, edit, c] { boxLostFocus(edit, *c); });
}

void MainWindow::boxLostFocus(MaskedEdit* edit, const FormControl& control)
{
    TextBox& field = *control.textBox(form_);
    field.text = FormControls::leftText(control, field.text);
    const QSignalBlocker block(edit);
    edit->showText(field.text);
}

void MainWindow::completeTyping()
{
    // Only the box being typed in can hold a text that was not yet left.
    for (MaskedEdit* edit : centralWidget()->findChildren<MaskedEdit*>()) {
        if (!edit->isModified())
            continue;
        if (const FormControl* control = FormControls::find(edit->objectName()))
            boxLostFocus(edit, *control);
    }
}

QStringList MainWindow::completeEntries()
{
    completeTyping();
    const QStringList problems = Editor::completeEntries(form_);
    showForm();
    return problems;
}

void MainWindow::bindCheck(QCheckBox* box, std::function<CheckBox&(Form&)> field, void (*click)(Form&))
{
    bindings_.push_back({[this, box, field] {
        const CheckBox& c = field(form_);
        const QSignalBlocker block(box);
        box->setCheckState(c.value == 1 ? Qt::Checked : c.value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        box->setEnabled(c.enabled);
    }});
    connect(box, &QCheckBox::clicked, this, [this, box, field, click] {
        field(form_).value = box->checkState() == Qt::Checked ? 1 : 0;
        if (click) {
            click(form_);
            showForm();
        }
    });
}

void MainWindow::bindCombo(QComboBox* box, std::function<ComboBox&(Form&)> field)
{
    bindings_.push_back({[this, box, field] {
        const ComboBox& c = field(form_);
        const QSignalBlocker block(box);
        box->setCurrentIndex(c.index >= 0 && c.index < box->count() ? c.index : -1);
        box->setEnabled(c.enabled);
    }});
    connect(box, &QComboBox::activated, this, [this, field](int index) { field(form_).index = index; });
}

void MainWindow::bindLabel(QLabel* label, std::function<Label&(Form&)> field)
{
    bindings_.push_back({[this, label, field] {
        const Label& l = field(form_);
        label->setText(l.caption);
        label->setEnabled(l.enabled);
    }});
}

void MainWindow::bindControls()
{
    // The editor's table names every control that holds a value or changes its state;
    // the widgets carry the same names.
    QWidget* client = centralWidget();
    for (const FormControl& control : FormControls::all()) {
        QWidget* widget = client->findChild<QWidget*>(control.name);
        if (!widget)
            continue; // the layout test sees to it that there is none missing
        const auto access = control.access;
        switch (control.kind) {
        case ControlKind::Text:
            bindText(qobject_cast<MaskedEdit*>(widget), control);
            break;
        case ControlKind::Combo:
            bindCombo(qobject_cast<QComboBox*>(widget),
                      [access](Form& f) -> ComboBox& { return *std::get<ComboBox*>(access(f)); });
            break;
        case ControlKind::Check: {
            void (*click)(Form&) = widget == controls_.chkFleetDispatch ? Editor::chkFleetDispatch_Click
                                   : widget == controls_.chkMemorySpeed ? Editor::chkMemorySpeed_Click
                                                                        : nullptr;
            bindCheck(qobject_cast<QCheckBox*>(widget),
                      [access](Form& f) -> CheckBox& { return *std::get<CheckBox*>(access(f)); }, click);
            break;
        }
        case ControlKind::Label:
            bindLabel(qobject_cast<QLabel*>(widget),
                      [access](Form& f) -> Label& { return *std::get<Label*>(access(f)); });
            break;
        }
    }
    bindLabel(controls_.lblProduct, [](Form& f) -> Label& { return f.lblProduct; });
    bindLabel(controls_.Label7, [](Form& f) -> Label& { return f.Label7; });
}

void MainWindow::connectMenus()
{
    const MainWindowMenus& m = menus_;
    connect(m.mnuFileOpen, &QAction::triggered, this, &MainWindow::mnuFileOpen_Click);
    connect(m.mnuFileSaveAs, &QAction::triggered, this, &MainWindow::mnuFileSaveAs_Click);
    connect(m.mnuFilePrintScreen, &QAction::triggered, this, &MainWindow::mnuFilePrintScreen_Click);
    connect(m.mnuFileBackups, &QAction::triggered, this, &MainWindow::mnuFileBackups_Click);
    connect(m.mnuFileCompare, &QAction::triggered, this, &MainWindow::mnuFileCompare_Click);
    connect(m.mnuVerifyAfterWrite, &QAction::triggered, this, &MainWindow::mnuVerifyAfterWrite_Click);
    connect(m.mnuRecordTrace, &QAction::triggered, this, &MainWindow::mnuRecordTrace_Click);
    connect(m.mnuSerialOther, &QAction::triggered, this, &MainWindow::mnuSerialOther_Click);
    connect(m.mnuExit, &QAction::triggered, this, &MainWindow::mnuExit_Click);
    connect(m.mnuEstablishLink, &QAction::triggered, this, &MainWindow::mnuEstablishLink_Click);
    connect(m.mnuOperRead, &QAction::triggered, this, &MainWindow::mnuOperRead_Click);
    connect(m.mnuOperWrite, &QAction::triggered, this, &MainWindow::mnuOperWrite_Click);
    connect(m.mnuIncrement, &QAction::triggered, this, &MainWindow::mnuIncrement_Click);
    connect(m.mnuForce, &QAction::triggered, this, &MainWindow::mnuForce_Click);
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
    if (settings.port && *settings.port >= 1 && *settings.port <= 4) {
        form_.mnuSerialConfig[*settings.port] = true;
        form_.Label7.caption = QStringLiteral("COM%1:").arg(*settings.port);
    }
    if (settings.product) {
        Editor::applyProductProfile(form_, *settings.product);
        if (const std::optional<int> product = Editor::selectedProduct(form_))
            portSettings_ = Product::info(*product).line;
    }
    // Opening on the stored port and reopening with the product's line settings
    // come to one open with the final settings; a port that fails stays closed, silently.
    startLink(LinkIntent::Startup, link_->openPort(portName(), portSettings_));
    loadDefaultFile();
    showForm();

    capitals_->setOn(true);
}

void MainWindow::loadDefaultFile()
{
    const std::optional<int> product = Editor::selectedProduct(form_);
    if (!product)
        return;
    const QString name = QLatin1String(Product::info(*product).defaultFile);
    QString path = QDir::current().filePath(name);
    // Started from the desktop, the working directory has no data files: the
    // installed copy stands in.
    if (!QFileInfo::exists(path) && !installedDataDir_.isEmpty())
        path = QDir(installedDataDir_).filePath(name);
    // A missing or unreadable default file leaves the design-time contents, silently.
    if (DataFile::load(path, image_, DataFile::MarkerRule::NotChecked).ok())
        Editor::UpdateGUI(form_, image_);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A running dialogue is stopped first, once the technician agrees; the window
    // closes when it has ended.
    if (link_->isBusy()) {
        event->ignore();
        if (!closing_ && isDialogueRunning() && !confirmStopAndExit())
            return;
        closing_ = true;
        link_->cancel();
        return;
    }
    completeTimer_.stop();
    emit shuttingDown();
    link_->closePort();
    transfer_->close();
    if (about_)
        about_->close();
    establish_->close();
    event->accept();
}

void MainWindow::mnuExit_Click()
{
    close();
}

bool MainWindow::confirmStopAndExit()
{
    enum { StopAndExit, KeepWorking };
    const int answer = Messages::ask(
        this, {Messages::kBusyTitle,
               QStringLiteral("A board transfer is in progress. Stop it and exit? A board whose write is stopped "
                              "holds only the words sent so far."),
               {QStringLiteral("Stop and Exit"), QStringLiteral("Keep Working")}, KeepWorking,
               Messages::Icon::Exclamation});
    return answer == StopAndExit;
}

// ---- data files ---------------------------------------------------------------

void MainWindow::mnuFileOpen_Click()
{
    const QString path = chooser_(this, FileChooser::Kind::Open, QStringLiteral("Open Tervalo Logic Board Data File..."));
    if (FileChooser::isCancel(path))
        return;
    if (!loadDataFile(path, image_))
        return;
    Editor::UpdateGUI(form_, image_);
    showForm();
}

bool MainWindow::loadDataFile(const QString& path, BoardImage& image)
{
    const DataFile::LoadResult result = DataFile::load(path, image, DataFile::MarkerRule::Required);
    if (result.error == DataFile::Error::MissingMarker) {
        Messages::invalidTervaloFile(this);
        return false;
    }
    if (!result.ok()) {
        Messages::errorMessage(this, QStringLiteral("The board data file was not opened.\r\n%1").arg(result.message));
        return false;
    }
    return true;
}

void MainWindow::mnuFileSaveAs_Click()
{
    // Only a board image that came from a valid file or a board can be saved.
    if (!hasMarker(image_)) {
        Messages::invalidTervaloFile(this);
        return;
    }
    // Entries are completed and checked before the technician picks a name.
    if (const QStringList problems = completeEntries(); !problems.isEmpty()) {
        Messages::entriesRefused(this, QStringLiteral("The file was not saved. Please correct these entries:"),
                                 problems);
        return;
    }
    const QString path =
        chooser_(this, FileChooser::Kind::SaveAs, QStringLiteral("Save Tervalo Logic Board Data File As..."));
    if (FileChooser::isCancel(path))
        return;
    Editor::ReadGUI(form_, image_);
    const DataFile::SaveResult result = DataFile::save(path, image_);
    if (!result.ok())
        Messages::errorMessage(this, QStringLiteral("The board data file was not saved.\r\n%1").arg(result.message));
}

// ---- the window's own commands ----------------------------------------------

void MainWindow::mnuIncrement_Click()
{
    if (Editor::incrementPrimaryCode(form_) == Editor::IncrementResult::AtLimit) {
        Messages::show(this, {QStringLiteral("Increment Primary Code"),
                              QStringLiteral("The Primary Code is already 9999, the highest four-digit code.\r\n"
                                             "Enter the next code by hand."),
                              Messages::Icon::Information});
    }
    showForm();
}

void MainWindow::mnuProduct_Click(int index)
{
    if (refuseWhileBusy())
        return;
    Editor::mnuProduct_Click(form_, index);
    showForm();
    if (const std::optional<int> product = Editor::selectedProduct(form_))
        portSettings_ = Product::info(*product).line;
    startLink(LinkIntent::Product, link_->openPort(portName(), portSettings_));
    writeSettings(Editor::selectedPort(form_), index);
}

void MainWindow::mnuSerialConfig_Click(int index)
{
    if (refuseWhileBusy())
        return;
    // The ticks, Label7 and Config.ini change only once the port has opened.
    pendingPort_ = index;
    startLink(LinkIntent::Port, link_->openPort(QStringLiteral("COM%1").arg(index), portSettings_));
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
    const QString chm = QDir::current().absoluteFilePath(kHelpFile);
    if (QFileInfo::exists(chm) && chmViewer_() && openUrl_(QUrl::fromLocalFile(chm)))
        return;
    // No help file, or nothing on this desktop shows one: the same help as web pages.
    const QString manual = manualPath();
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
