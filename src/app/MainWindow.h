#pragma once

#include "BoardImage.h"
#include "FileChooser.h"
#include "Form.h"
#include "MainWindowLayout.h"
#include "PortAssistant.h"
#include "PrintScreen.h"

#include <QMainWindow>
#include <QTimer>
#include <QUrl>

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AboutWindow;
class CapitalsMode;
class EstablishWindow;
class LinkWorker;
class QDialog;
class SerialTrace;
class TransferWindow;
struct FormControl;
struct LinkJobResult;

// frmMain: the editing window. It is a view of a Form: the widgets are built once,
// showForm copies the form into them, and user edits (textEdited, clicked,
// activated) copy back into the form and run the editor's rule for that control.
// The board image lives here too; the board commands of the link work on it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    inline static const QString kHelpFile = QStringLiteral("PX472.chm");

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Replaceable desktop services, so the commands run in tests without a person.
    void setFileChooser(FileChooser::Chooser chooser) { chooser_ = std::move(chooser); }
    void setPrinterProvider(PrintScreen::PrinterProvider provider) { printers_ = std::move(provider); }
    void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }
    // Whether the desktop can show a .chm help file; asked before Help > Contents opens it.
    void setChmViewerCheck(std::function<bool()> check) { chmViewer_ = std::move(check); }
    void setPortLister(PortAssistant::Lister lister) { portLister_ = std::move(lister); }
    // Where the installed default data files are (set before Form_Load).
    void setInstalledDataDir(const QString& dir) { installedDataDir_ = dir; }
    // What COM1..COM4 mean (set before Form_Load); the port assistant adds to it.
    void setPortMap(const PortMap& map);
    const PortMap& portMap() const { return portMap_; }

    // The help Help > Contents falls back to: the manual installed with the program,
    // else the one beside it; empty when there is none.
    static QString manualPath();
    // The desktop has an application registered for .chm files.
    static bool desktopShowsChm();

    // How long "Transfer Complete" stays on the transfer window.
    static constexpr int kCompleteMs = 1200;

    const Form& form() const { return form_; }
    BoardImage& image() { return image_; }
    // Replaces the form and shows it.
    void showForm(const Form& form);
    // Shows the current form again (after a rule of the editor changed it).
    void showForm();

    const MainWindowControls& controls() const { return controls_; }
    const MainWindowMenus& menus() const { return menus_; }
    TransferWindow* transferWindow() const { return transfer_; }
    EstablishWindow* establishWindow() const { return establish_; }
    AboutWindow* aboutWindow() const { return about_; }
    QDialog* verifyDialog() const { return verifyDialog_; }
    QDialog* compareDialog() const { return compareDialog_; }
    PortAssistant* portAssistant() const { return portAssistant_; }
    SerialTrace& serialTrace() const { return *trace_; }
    CapitalsMode* capitalsMode() const { return capitals_; }
    // The thread that talks to the board; it owns the serial port.
    LinkWorker* linkWorker() const { return link_; }
    // A board command (dialogue or its "Transfer Complete" pause) is under way.
    bool isLinkBusy() const;

public slots:
    // Start-up: placement, Config.ini, product profile, default data file, capitals.
    void Form_Load();

    void mnuFileOpen_Click();
    void mnuFileSaveAs_Click();
    void mnuFilePrintScreen_Click();
    void mnuFileBackups_Click();
    void mnuFileCompare_Click();
    void mnuExit_Click();

    // Board commands: the dialogues run on the link's thread (MainWindowLink.cpp).
    void mnuEstablishLink_Click();
    void mnuOperRead_Click();
    void mnuOperWrite_Click();
    void mnuForce_Click();
    void mnuVerifyAfterWrite_Click(bool on);
    void mnuRecordTrace_Click(bool on);

    void mnuIncrement_Click();
    void mnuProduct_Click(int index);
    void mnuSerialConfig_Click(int index);
    void mnuSerialOther_Click();

    void mnuHelpContents_Click();
    void mnuWeb_Click();
    void mnuAbout_Click();

signals:
    // The window is closing: whoever holds the serial port closes it now.
    void shuttingDown();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Binding {
        std::function<void()> show; // form -> widget
    };

    void bindControls();
    void bindText(MaskedEdit* edit, const FormControl& control);
    void bindCheck(QCheckBox* box, std::function<CheckBox&(Form&)> field, void (*click)(Form&) = nullptr);
    void bindCombo(QComboBox* box, std::function<ComboBox&(Form&)> field);
    void bindLabel(QLabel* label, std::function<Label&(Form&)> field);
    void connectMenus();
    void boxLostFocus(MaskedEdit* edit, const FormControl& control);
    // Before a write or a save: the box being typed in is left, as a Tab would leave it,
    // then every entry is completed and checked (Editor::completeEntries); the window
    // shows the completed boxes. Returns the entries that cannot be written.
    void completeTyping();
    QStringList completeEntries();
    void loadDefaultFile();
    // Opens a data file as Open does: a file without the marker, or unreadable, is reported.
    bool loadDataFile(const QString& path, BoardImage& image);
    void writeSettings(std::optional<int> port, std::optional<int> product);

    // What the link's current job was started for; its result is handled accordingly.
    enum class LinkIntent { None, Startup, Product, Port, OpenForRead, OpenForWrite, Ping, Read, Write, Force, Verify };
    bool refuseWhileBusy();
    // A link check, read, write or verify is talking to the board (not a port change).
    bool isDialogueRunning() const;
    // Exit while a dialogue runs: "Stop and Exit" (true) or "Keep Working".
    bool confirmStopAndExit();
    QString portName() const;
    bool startLink(LinkIntent intent, bool started);
    void linkFinished(const LinkJobResult& result);
    void portOpenedFor(LinkIntent intent, const LinkJobResult& result);
    void pingFinished(const LinkJobResult& result);
    void beginTransfer();
    void transferFinished(LinkIntent intent, const LinkJobResult& result);
    void showTransferComplete();
    void transferCompleteElapsed();
    void endTransferWithError(const QString& reason);
    // Backups, verify (MainWindowTools.cpp).
    void backUp(const BoardImage& image, bool read);
    void reportBackup();
    bool startVerify();
    void verifyFinished(const LinkJobResult& result);
    void portAssistantUse(int com, const QString& device);
    void reportTraceFailure();
    Form form_;
    BoardImage image_;
    MainWindowControls controls_;
    MainWindowMenus menus_;
    std::vector<Binding> bindings_;

    FileChooser::Chooser chooser_;
    PrintScreen::PrinterProvider printers_;
    UrlOpener openUrl_;
    std::function<bool()> chmViewer_;
    PortAssistant::Lister portLister_;
    QString installedDataDir_;

    TransferWindow* transfer_ = nullptr;
    EstablishWindow* establish_ = nullptr;
    AboutWindow* about_ = nullptr;
    CapitalsMode* capitals_ = nullptr;

    std::shared_ptr<SerialTrace> trace_;
    LinkWorker* link_ = nullptr;
    QPointer<QDialog> verifyDialog_;
    QPointer<QDialog> compareDialog_;
    PortAssistant* portAssistant_ = nullptr;
    PortMap portMap_;
    QString backupFailure_;       // shown once the transfer has ended
    BoardImage sentImage_;        // what the last write sent, for its verify
    bool verifyPending_ = false;  // the write completed and is to be read back
    bool portFromAssistant_ = false;
    LinkIntent intent_ = LinkIntent::None;
    bool portOpen_ = false;       // as far as the last job of the link told
    int pendingPort_ = 0;         // the port command's item, until the port has opened
    int transferProduct_ = 0;     // 0: no product ticked, nothing is sent
    bool readRunning_ = false;    // the running or completing transfer is a read
    bool closing_ = false;        // Exit waits for the dialogue to end
    LineSettings portSettings_ = Product::k4800n82;
    QTimer completeTimer_;
};
