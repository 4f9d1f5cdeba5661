#pragma once

#include "Backups.h"
#include "BoardJob.h"
#include "LinkWorker.h"
#include "MainWindowLayout.h"
#include "TransferWindow.h"

#include <QObject>
#include <QPointer>

#include <functional>

class EditorSession;
class EstablishWindow;
class QDialog;
class QWidget;

// The window's commands that talk to the board: link check, read, write and its
// verify, Force Initialization, and the port changes. Each is a board job on the
// link's thread; the transfer window shows it, and the handler it was started with
// shows what it came to. The windows it shows are children of the main window.
class BoardCommands : public QObject {
    Q_OBJECT
public:
    // What of the main window the commands use.
    struct Window {
        QWidget* widget; // message boxes' parent, the hourglass
        EditorSession& session;
        std::function<void()> showForm; // the controls again, after the form changed
        std::function<void()> completeTyping;
        const MainWindowMenus& menus;   // the write's options: Verify after Write, Back Up Board Before Write
        std::function<void()> afterJob; // every job's end (the trace's failure, Exit)
    };
    // The link's port traces to `trace` while a file is set.
    BoardCommands(Window window, std::shared_ptr<SerialTrace> trace);

    LinkWorker* link() const { return link_; }
    TransferWindow* transferWindow() const { return transfer_; }
    EstablishWindow* establishWindow() const { return establish_; }
    QDialog* verifyDialog() const { return verifyDialog_; }
    // A board command (a job or its "Transfer Complete" pause) is under way.
    bool isBusy() const;
    // While busy: tells the technician so, and true.
    bool refuseWhileBusy();
    // Exit is waiting for the dialogue to end: messages are left out.
    void setClosing() { closing_ = true; }
    bool isClosing() const { return closing_; }

    void linkCheck();
    void read();
    void write();
    // The Backups window's "Restore to Board...": refused when the backup is not for the
    // product ticked or its words cannot go to a board, else asked (`parent` gets the
    // question and any refusal), then its words 0..N written exactly as the backup holds
    // them, with Back Up Board Before Write and Verify after Write as ticked. The editor
    // is not touched. `ended` is called when the job has ended.
    void restore(const Backups::Entry& backup, const QString& port, QWidget* parent, std::function<void()> ended);
    inline static const QString kRestoreTitle = QStringLiteral("Restore Board");
    void forceInitialization();
    // One radio of a fleet run: the request's link check, write and verify as one job,
    // shown in the transfer window as a write and its verify are, above `owner` (the
    // fleet window); the board is backed up first when a write would be. The editor's
    // session is not touched. `done` gets how it ended, after "Transfer Complete" when
    // it was written, at once when not.
    void programRadio(QWidget* owner, BoardJob::Request request, std::function<void(const BoardJob::Result&)> done);
    // Closes the port, renames it, opens it again with the line settings.
    void openPort(const QString& name, const LineSettings& settings,
                  std::function<void(const LinkWorker::PortChange&)> done = {});

signals:
    // A read is about to start: the controls and image are as they were before it.
    void readStarting();
    // A read (completed or cancelled) is shown in the controls.
    void readShown();
    // A write has ended well: the board holds what the controls give.
    void written();

private:
    // A board job; `started` hears of each transfer's start (not the link check's), and
    // `held`, when given, is called when a write waits before its verify.
    void run(const BoardJob::Request& request, std::function<void(const BoardJob::Result&)> done,
             std::function<void(JobPhase phase, int maximum)> started = {}, std::function<void()> held = {});
    void linkCheckFinished(const BoardJob::Result& result);
    void transferStarted(JobPhase phase, int maximum);
    void transferWithoutBoard(JobPhase phase);
    // A write of `image` with its backup before and verify as ticked, as one job; the
    // transfer window shows it. The controls' write (not `restored`) puts the image
    // into the editor as the words start to go.
    void send(const BoardImage& image, int product, bool restored, std::function<void(const BoardJob::Result&)> done);
    // A complete write that is to be verified: "Transfer Complete", then the read-back.
    void writtenBeforeVerify(bool restored);
    void writeDone(bool restored);
    void transferFinished(const BoardJob::Result& result, bool restored = false);
    void showTransferComplete(std::function<void()> then);
    void showImage();
    void endTransferWithError(const BoardJob::Result& result);
    void reportBackup();
    void showBackupNote(const BoardJob::Result& result);
    void verifyFinished(const BoardJob::Result& result);

    Window window_;
    LinkWorker* link_;
    TransferWindow* transfer_;
    EstablishWindow* establish_;
    QPointer<QDialog> verifyDialog_;
    QString backupFailure_;   // shown once the transfer has ended
    QPointer<QWidget> owner_; // the window the transfer window stays above; none: the main window
    bool closing_ = false;
};
