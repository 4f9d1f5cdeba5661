// The main window's commands that talk to the board: link check, read, write,
// Force Initialization, and the results of the port changes. The dialogues run
// on the link's thread; here they are started and their results shown.
#include "MainWindow.h"

#include "Editor.h"
#include "EstablishWindow.h"
#include "LinkOperations.h"
#include "LinkWorker.h"
#include "Messages.h"
#include "Product.h"
#include "TransferWindow.h"

bool MainWindow::isLinkBusy() const
{
    return link_->isBusy() || completeTimer_.isActive();
}

bool MainWindow::isDialogueRunning() const
{
    switch (intent_) {
    case LinkIntent::Ping:
    case LinkIntent::Read:
    case LinkIntent::Write:
    case LinkIntent::Force:
    case LinkIntent::Verify: return link_->isBusy();
    default: return false;
    }
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
    return QStringLiteral("COM%1").arg(Editor::selectedPort(form_).value_or(1));
}

bool MainWindow::startLink(LinkIntent intent, bool started)
{
    if (started)
        intent_ = intent;
    return started;
}

// ---- link check ---------------------------------------------------------------

void MainWindow::mnuEstablishLink_Click()
{
    if (refuseWhileBusy())
        return;
    const std::optional<int> product = Editor::selectedProduct(form_);
    if (!product)
        return;
    startLink(LinkIntent::Ping, link_->ping(*product, form_.ProgAccessCode.text));
}

void MainWindow::pingFinished(const LinkJobResult& result)
{
    switch (result.ping.outcome) {
    case PingResult::Outcome::Established:
        establish_->showNotice();
        break;
    case PingResult::Outcome::CodeRefused:
        Messages::invalidPassword(this);
        break;
    case PingResult::Outcome::LinkError:
    case PingResult::Outcome::PortError:
        Messages::commLinkError(this, result.ping.message);
        break;
    }
}

// ---- read and write -----------------------------------------------------------

void MainWindow::mnuOperRead_Click()
{
    if (refuseWhileBusy())
        return;
    transferProduct_ = Editor::selectedProduct(form_).value_or(0);
    readRunning_ = true;
    // The port is opened first, so a port that cannot be opened is reported
    // before the transfer window shows.
    if (transferProduct_ != 0 && !portOpen_)
        startLink(LinkIntent::OpenForRead, link_->openPort(portName(), portSettings_));
    else
        beginTransfer();
}

void MainWindow::mnuOperWrite_Click()
{
    if (refuseWhileBusy())
        return;
    // Checked before the port is touched.
    if (const QStringList problems = completeEntries(); !problems.isEmpty()) {
        Messages::entriesRefused(this, QStringLiteral("Nothing was written to the board. Please correct these entries:"),
                                 problems);
        return;
    }
    transferProduct_ = Editor::selectedProduct(form_).value_or(0);
    readRunning_ = false;
    if (transferProduct_ != 0) {
        // A board must never get a malformed word: look at what ReadGUI will hand it,
        // words a file carried into the image included.
        BoardImage outgoing = image_;
        Editor::ReadGUI(form_, outgoing);
        const QStringList words = Editor::malformedWords(outgoing, LinkOperations::lastWord(transferProduct_));
        if (!words.isEmpty()) {
            Messages::errorMessage(this, QStringLiteral("Nothing was written to the board: %1.").arg(words.front()));
            return;
        }
        if (!portOpen_) {
            startLink(LinkIntent::OpenForWrite, link_->openPort(portName(), portSettings_));
            return;
        }
    }
    beginTransfer();
}

void MainWindow::beginTransfer()
{
    setCursor(Qt::WaitCursor);
    if (!readRunning_)
        Editor::ReadGUI(form_, image_);
    const int maximum = transferProduct_ ? LinkOperations::progressMaximum(transferProduct_) : 0;
    transfer_->showTransfer(readRunning_ ? TransferWindow::Direction::Read : TransferWindow::Direction::Write, maximum);
    const bool started = transferProduct_ != 0
        && (readRunning_ ? startLink(LinkIntent::Read, link_->read(transferProduct_, image_))
                         : startLink(LinkIntent::Write, link_->write(transferProduct_, image_)));
    if (!started) {
        showTransferComplete(); // no product ticked: nothing is sent
        return;
    }
    transfer_->setCancelEnabled(true);
}

void MainWindow::transferFinished(LinkIntent intent, const LinkJobResult& result)
{
    transfer_->setCancelEnabled(false);
    transfer_->setBoardSilent(false);
    // The dialogue worked on a copy: whatever it got to replaces the image.
    if (intent == LinkIntent::Read)
        image_ = result.image;
    if (result.portOpened) {
        const bool readKept = result.transfer.end == TransferResult::End::Completed
            || result.transfer.end == TransferResult::End::Cancelled;
        if (intent == LinkIntent::Write)
            backUp(result.image, false);
        else if (readKept)
            backUp(result.image, true);
        if (intent == LinkIntent::Write && result.transfer.end == TransferResult::End::Completed
            && menus_.mnuVerifyAfterWrite->isChecked()) {
            sentImage_ = result.image;
            verifyPending_ = true;
        }
    }
    portOpen_ = result.portOpened && result.transfer.end != TransferResult::End::Failed;
    if (!result.portOpened) {
        endTransferWithError(result.message);
        return;
    }
    switch (result.transfer.end) {
    case TransferResult::End::Completed:
    case TransferResult::End::Cancelled:
        showTransferComplete();
        return;
    case TransferResult::End::Failed:
    case TransferResult::End::TimedOut:
        endTransferWithError(QStringLiteral("The serial port failed during the transfer: %1").arg(result.transfer.message));
        return;
    }
}

void MainWindow::showTransferComplete()
{
    unsetCursor();
    transfer_->setCancelEnabled(false);
    transfer_->setLabel(TransferWindow::kComplete);
    // The pause keeps the window painting; commands are refused until it ends.
    completeTimer_.start();
}

void MainWindow::transferCompleteElapsed()
{
    transfer_->hide();
    if (readRunning_) {
        Editor::UpdateGUI(form_, image_);
        showForm();
    }
    reportBackup();
    startVerify();
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

// ---- Force Initialization -----------------------------------------------------

void MainWindow::mnuForce_Click()
{
    if (refuseWhileBusy())
        return;
    setCursor(Qt::WaitCursor);
    startLink(LinkIntent::Force, link_->forceInitialization());
}

// ---- results ------------------------------------------------------------------

void MainWindow::portOpenedFor(LinkIntent intent, const LinkJobResult& result)
{
    portOpen_ = result.portOpened;
    switch (intent) {
    case LinkIntent::Startup:
        return; // start-up says nothing
    case LinkIntent::Product:
        // The new product's tick, caption and enabled states stand.
        if (!result.portOpened)
            Messages::invalidSerialPort(this, result.message);
        return;
    case LinkIntent::Port:
        if (std::exchange(portFromAssistant_, false) && portAssistant_)
            portAssistant_->setStatus(result.portOpened
                                          ? QStringLiteral("COM%1 is open on %2.").arg(pendingPort_).arg(
                                                portMap_.devicePathFor(QStringLiteral("COM%1").arg(pendingPort_)))
                                          : result.message);
        if (!result.portOpened) {
            Messages::invalidSerialPort(this, result.message);
            showForm();
            return;
        }
        form_.mnuSerialConfig.fill(false);
        form_.mnuSerialConfig[pendingPort_] = true;
        form_.Label7.caption = QStringLiteral("COM%1:").arg(pendingPort_);
        showForm();
        writeSettings(pendingPort_, Editor::selectedProduct(form_));
        return;
    case LinkIntent::OpenForRead:
    case LinkIntent::OpenForWrite:
        if (!result.portOpened) {
            Messages::commLinkError(this, result.message);
            return;
        }
        beginTransfer();
        return;
    default:
        return;
    }
}

void MainWindow::linkFinished(const LinkJobResult& result)
{
    const LinkIntent intent = std::exchange(intent_, LinkIntent::None);
    switch (result.job) {
    case LinkJobResult::Job::OpenPort:
        portOpenedFor(intent, result);
        break;
    case LinkJobResult::Job::ClosePort:
        portOpen_ = false;
        break;
    case LinkJobResult::Job::Ping:
        if (result.ping.outcome == PingResult::Outcome::PortError)
            portOpen_ = false;
        if (!closing_)
            pingFinished(result);
        break;
    case LinkJobResult::Job::Read:
        if (intent == LinkIntent::Verify) {
            verifyFinished(result);
            break;
        }
        transferFinished(intent, result);
        break;
    case LinkJobResult::Job::Write:
        transferFinished(intent, result);
        break;
    case LinkJobResult::Job::ForceInitialization:
        unsetCursor();
        portOpen_ = result.portOpened && result.message.isEmpty();
        break;
    }
    reportTraceFailure();
    if (closing_)
        close();
}
