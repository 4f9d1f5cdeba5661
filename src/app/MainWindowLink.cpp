// The main window's commands that talk to the board: link check, read, write,
// verify, Force Initialization and the port changes. Each is a board job run on
// the link's thread; the handler it was started with shows what it came to.
#include "MainWindow.h"

#include "DifferencesDialog.h"
#include "Editor.h"
#include "EstablishWindow.h"
#include "FormView.h"
#include "LinkOperations.h"
#include "LinkWorker.h"
#include "Messages.h"
#include "Product.h"
#include "SerialPort.h"
#include "TransferWindow.h"

#include <QAction>

bool MainWindow::isLinkBusy() const
{
    return link_->isBusy() || transfer_->isCompleting();
}

bool MainWindow::refuseWhileBusy()
{
    if (!isLinkBusy())
        return false;
    Messages::linkBusy(this);
    showForm(); // a menu item ticks itself when clicked: put the ticks back
    return true;
}

QString MainWindow::portName() const
{
    // Without a ticked item the port keeps the number it starts with.
    return QStringLiteral("COM%1").arg(Editor::selectedPort(session_.form).value_or(1));
}

void MainWindow::runBoardJob(const BoardJob::Request& request, std::function<void(const BoardJob::Result&)> done,
                             std::function<void(int maximum)> started)
{
    link_->run<BoardJob::Result>(
        [request](LinkContext& ctx) { return BoardJob::run(ctx, request); },
        [this, done = std::move(done)](const BoardJob::Result& result) {
            done(result);
            afterJob();
        },
        [started = std::move(started)](const QString&, int maximum) {
            if (started)
                started(maximum);
        });
}

void MainWindow::openPort(const QString& name, std::function<void(const LinkWorker::PortChange&)> done)
{
    link_->openPort(name, portSettings_, [this, done = std::move(done)](const LinkWorker::PortChange& change) {
        if (done)
            done(change);
        afterJob();
    });
}

void MainWindow::afterJob()
{
    reportTraceFailure();
    // Exit waits for the dialogue to end.
    if (closing_)
        close();
}

// ---- link check ---------------------------------------------------------------

void MainWindow::mnuEstablishLink_Click()
{
    if (refuseWhileBusy())
        return;
    const std::optional<int> product = session_.product();
    if (!product)
        return;
    runBoardJob({.kind = BoardJob::Kind::LinkCheck, .product = *product, .accessCode = session_.form.ProgAccessCode.text},
                [this](const BoardJob::Result& result) {
                    if (!closing_)
                        linkCheckFinished(result);
                });
}

void MainWindow::linkCheckFinished(const BoardJob::Result& result)
{
    switch (result.end) {
    case BoardJob::End::Done:
        establish_->showNotice();
        return;
    case BoardJob::End::CodeRefused:
        Messages::invalidPassword(this);
        return;
    default:
        Messages::commLinkError(this, BoardJob::describe(result).reason);
        return;
    }
}

// ---- read and write -----------------------------------------------------------

void MainWindow::mnuOperRead_Click()
{
    if (refuseWhileBusy())
        return;
    const std::optional<int> product = session_.product();
    if (!product) {
        transferWithoutBoard(TransferWindow::Direction::Read);
        return;
    }
    // The port is opened first, so a port that cannot be opened is reported
    // before the transfer window shows; the dialogue works on a copy of the image.
    runBoardJob({.kind = BoardJob::Kind::Read, .product = *product, .image = session_.image},
                [this](const BoardJob::Result& result) { transferFinished(result); },
                [this](int maximum) { transferStarted(TransferWindow::Direction::Read, maximum); });
}

void MainWindow::mnuOperWrite_Click()
{
    if (refuseWhileBusy())
        return;
    // Checked before the port is touched.
    view_->completeTyping();
    const EditorSession::Outgoing outgoing = session_.outgoing();
    showForm();
    if (!outgoing.entries.isEmpty()) {
        Messages::entriesRefused(this, QStringLiteral("Nothing was written to the board. Please correct these entries:"),
                                 outgoing.entries);
        return;
    }
    // A board must never get a malformed word, not even one a file carried into the image.
    if (!outgoing.words.isEmpty()) {
        Messages::errorMessage(this, QStringLiteral("Nothing was written to the board: %1.").arg(outgoing.words.front()));
        return;
    }
    const std::optional<int> product = session_.product();
    if (!product) {
        session_.image = outgoing.image;
        transferWithoutBoard(TransferWindow::Direction::Write);
        return;
    }
    runBoardJob({.kind = BoardJob::Kind::Write, .product = *product, .image = outgoing.image},
                [this](const BoardJob::Result& result) { transferFinished(result); },
                [this, sent = outgoing.image](int maximum) {
                    session_.image = sent; // the controls read into the image, as the write sends them
                    transferStarted(TransferWindow::Direction::Write, maximum);
                });
}

void MainWindow::transferStarted(TransferWindow::Direction direction, int maximum)
{
    setCursor(Qt::WaitCursor);
    transfer_->showTransfer(direction, maximum);
    transfer_->setCancelEnabled(true);
}

void MainWindow::transferWithoutBoard(TransferWindow::Direction direction)
{
    // No product ticked: the window goes through its steps and nothing is sent.
    setCursor(Qt::WaitCursor);
    transfer_->showTransfer(direction, 0);
    std::function<void()> then;
    if (direction == TransferWindow::Direction::Read)
        then = [this] { showImage(); };
    showTransferComplete(std::move(then));
}

void MainWindow::transferFinished(const BoardJob::Result& result)
{
    transfer_->setCancelEnabled(false);
    transfer_->setBoardSilent(false);
    if (result.end == BoardJob::End::PortUnavailable) {
        unsetCursor();
        Messages::commLinkError(this, result.message);
        return;
    }
    const bool read = result.kind == BoardJob::Kind::Read;
    // The dialogue worked on a copy: whatever it got to replaces the image.
    if (read) {
        session_.image = result.image;
        session_.source = {QString(), true, portName()};
    }
    backupFailure_ = result.backupProblems.join(QStringLiteral("\r\n"));
    if (result.end != BoardJob::End::Done && result.end != BoardJob::End::Cancelled) {
        endTransferWithError(BoardJob::describe(result).reason);
        return;
    }
    const bool verify = !read && result.end == BoardJob::End::Done && menus_.mnuVerifyAfterWrite->isChecked();
    showTransferComplete([this, read, verify, sent = result.image, product = result.product] {
        if (read)
            showImage();
        reportBackup();
        if (verify)
            startVerify(sent, product);
    });
}

void MainWindow::showTransferComplete(std::function<void()> then)
{
    unsetCursor();
    // Commands are refused until the pause has ended.
    transfer_->complete(std::move(then));
}

void MainWindow::showImage()
{
    Editor::UpdateGUI(session_.form, session_.image);
    showForm();
}

void MainWindow::endTransferWithError(const QString& reason)
{
    // The window goes, so no Cancel is left on the screen for a dialogue that ended.
    unsetCursor();
    transfer_->hide();
    if (!closing_)
        Messages::commLinkError(this, reason);
    reportBackup();
}

// ---- verify after write -------------------------------------------------------

void MainWindow::startVerify(const BoardImage& sent, int product)
{
    if (closing_)
        return;
    // The read-back works on a copy; the editor's image stays as it was written.
    transfer_->showTransfer(TransferWindow::Direction::Read, LinkOperations::progressMaximum(product));
    setCursor(Qt::WaitCursor);
    transfer_->setCancelEnabled(true);
    runBoardJob({.kind = BoardJob::Kind::Verify, .product = product, .image = sent},
                [this](const BoardJob::Result& result) { verifyFinished(result); });
}

void MainWindow::verifyFinished(const BoardJob::Result& result)
{
    unsetCursor();
    transfer_->setCancelEnabled(false);
    transfer_->setBoardSilent(false);
    transfer_->hide();
    if (closing_)
        return;
    const QString failure = BoardJob::readBackFailure(result);
    if (verifyDialog_)
        verifyDialog_->close();
    verifyDialog_ = DifferencesDialog::verify(
        this, failure.isEmpty() ? result.differences : std::vector<Compare::Difference>{}, failure);
    verifyDialog_->show();
}

// ---- Force Initialization -----------------------------------------------------

void MainWindow::mnuForce_Click()
{
    if (refuseWhileBusy())
        return;
    setCursor(Qt::WaitCursor);
    runBoardJob({.kind = BoardJob::Kind::ForceInitialization, .product = session_.product().value_or(1)},
                [this](const BoardJob::Result&) { unsetCursor(); });
}

// ---- the port -----------------------------------------------------------------

void MainWindow::choosePort(int index, bool fromAssistant)
{
    // The ticks, Label7 and Config.ini change only once the port has opened.
    openPort(QStringLiteral("COM%1").arg(index), [this, index, fromAssistant](const LinkWorker::PortChange& change) {
        if (fromAssistant && portAssistant_)
            portAssistant_->setStatus(change.opened ? QStringLiteral("COM%1 is open on %2.")
                                                          .arg(index)
                                                          .arg(SerialPort::devicePathFor(QStringLiteral("COM%1").arg(index)))
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
