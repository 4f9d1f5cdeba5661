#pragma once

#include "BoardCommands.h"
#include "BoardImage.h"
#include "DoctorWindow.h"
#include "EditSafety.h"
#include "EditorSession.h"
#include "FileChooser.h"
#include "Form.h"
#include "MainWindowLayout.h"
#include "PortAssistant.h"
#include "PrintScreen.h"
#include "TraceRecorder.h"

#include <QMainWindow>
#include <QTimer>
#include <QUrl>

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AboutWindow;
class FormView;
class ListsAndReport;
class CapitalsMode;
class EstablishWindow;
class QDialog;
class SerialTrace;
struct FormControl;

// frmMain: the editing window, a view of its EditorSession (the form and the board
// image). MainWindowLayout builds the controls and the menus once; FormView copies
// the form into the controls, and the user's edits (textEdited, clicked, activated)
// back into the form, running the editor's rule for that control. BoardCommands
// runs the board commands on the session; the slots here refuse them while one runs.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

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

    const Form& form() const { return session_.form; }
    BoardImage& image() { return session_.image; }
    // Replaces the form and shows it.
    void showForm(const Form& form);
    // Shows the current form again (after a rule of the editor changed it).
    void showForm();

    const MainWindowControls& controls() const { return controls_; }
    const MainWindowMenus& menus() const { return menus_; }
    TransferWindow* transferWindow() const { return board_->transferWindow(); }
    EstablishWindow* establishWindow() const { return board_->establishWindow(); }
    AboutWindow* aboutWindow() const { return about_; }
    QDialog* verifyDialog() const { return board_->verifyDialog(); }
    QDialog* compareDialog() const { return compareDialog_; }
    PortAssistant* portAssistant() const { return portAssistant_; }
    DoctorWindow* doctorWindow() const { return doctor_; }
    SerialTrace& serialTrace() const { return *trace_->trace(); }
    CapitalsMode* capitalsMode() const { return capitals_; }
    // The thread that talks to the board; it owns the serial port.
    LinkWorker* linkWorker() const { return board_->link(); }
    // A board command (dialogue or its "Transfer Complete" pause) is under way.
    bool isLinkBusy() const;

public slots:
    // Start-up: placement, Config.ini, product profile, default data file, capitals.
    void Form_Load();

    void mnuFileOpen_Click();
    // Open once the file is named (the dialog, a drop, Recent Files): the question first, then one undo step.
    bool openFile(const QString& path);
    void mnuFileSaveAs_Click();
    void mnuFilePrintScreen_Click();
    void mnuFileBackups_Click();
    void mnuFileCompare_Click();
    void mnuExit_Click();

    // Board commands: BoardCommands runs their dialogues on the link's thread.
    void mnuEstablishLink_Click();
    void mnuOperRead_Click();
    void mnuOperWrite_Click();
    void mnuForce_Click();
    void mnuDiagnoseLink_Click();

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
    void connectMenus();
    void writeSettings(std::optional<int> port, std::optional<int> product);

    // Exit while a dialogue runs: "Stop and Exit" (true) or "Keep Working".
    bool confirmStopAndExit();
    void afterJob();
    QString portName() const;
    void choosePort(int index, bool fromAssistant);
    void portAssistantUse(int com, const QString& device);

    EditorSession session_;
    MainWindowControls controls_;
    MainWindowMenus menus_;
    FormView* view_ = nullptr;

    FileChooser::Chooser chooser_;
    PrintScreen::PrinterProvider printers_;
    UrlOpener openUrl_;
    std::function<bool()> chmViewer_;
    PortAssistant::Lister portLister_;
    QString installedDataDir_;

    BoardCommands* board_ = nullptr;
    EditSafety* safety_ = nullptr;
    std::unique_ptr<ListsAndReport> lists_; // the File menu's lists and report
    AboutWindow* about_ = nullptr;
    CapitalsMode* capitals_ = nullptr;

    TraceRecorder* trace_ = nullptr; // Clone > Record Serial Trace...
    QPointer<QDialog> compareDialog_;
    PortAssistant* portAssistant_ = nullptr;
    QPointer<DoctorWindow> doctor_;
    PortMap portMap_;
    LineSettings portSettings_ = Product::k4800n82;
};
