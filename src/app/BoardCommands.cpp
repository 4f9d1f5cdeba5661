#include "BoardCommands.h"

#include "DifferencesDialog.h"
#include "Editor.h"
#include "EditorSession.h"
#include "EstablishWindow.h"
#include "LinkWorker.h"
#include "Messages.h"
#include "Product.h"
#include "Restore.h"
#include "TransferWindow.h"

#include <QFileInfo>
#include <QWidget>

BoardCommands::BoardCommands(Window window, std::shared_ptr<SerialTrace> trace)
    : QObject(window.widget), window_(std::move(window)), link_(new LinkWorker(this, {}, {}, std::move(trace))),
      transfer_(new TransferWindow(window_.widget)), establish_(new EstablishWindow(window_.widget))
{
    // Created hidden; the board commands show them.
    connect(transfer_, &TransferWindow::cancelRequested, link_, &LinkWorker::cancel, Qt::DirectConnection);
    transfer_->setCancelEnabled(false);
}

bool BoardCommands::isBusy() const
{
    return link_->isBusy() || transfer_->isCompleting();
}

bool BoardCommands::refuseWhileBusy()
{
    if (!isBusy())
        return false;
    Messages::linkBusy(window_.widget);
    window_.showForm(); // a menu item ticks itself when clicked: put the ticks back
    return true;
}

void BoardCommands::run(const BoardJob::Request& request, std::function<void(const BoardJob::Result&)> done,
                        std::function<void(JobPhase phase, int maximum)> started, std::function<void()> held)
{
    link_->run<BoardJob::Result>([request](LinkContext& ctx) { return BoardJob::run(ctx, request); },
                                 [this, done = std::move(done)](const BoardJob::Result& result) {
                                     done(result);
                                     window_.afterJob();
                                 },
                                 [this, started = std::move(started)](const JobEvent& event) {
                                     switch (event.kind) {
                                     case JobEvent::Kind::PhaseStarted:
                                         if (started && event.phase != JobPhase::LinkCheck)
                                             started(event.phase, event.maximum);
                                         return;
                                     case JobEvent::Kind::StepDone: transfer_->setValue(event.step); return;
                                     case JobEvent::Kind::SilenceChanged:
                                         transfer_->setBoardSilent(event.silent);
                                         return;
                                     }
                                 },
                                 std::move(held));
}

void BoardCommands::openPort(const QString& name, const LineSettings& settings,
                             std::function<void(const LinkWorker::PortChange&)> done)
{
    link_->openPort(name, settings, [this, done = std::move(done)](const LinkWorker::PortChange& change) {
        if (done)
            done(change);
        window_.afterJob();
    });
}

// ---- link check ---------------------------------------------------------------

void BoardCommands::linkCheck()
{
    const std::optional<int> product = window_.session.product();
    if (!product)
        return;
    window_.completeTyping();
    const QString accessCode = window_.session.linkCheckCode();
    window_.showForm();
    run({.kind = BoardJob::Kind::LinkCheck, .product = *product, .accessCode = accessCode},
        [this](const BoardJob::Result& result) {
            if (!closing_)
                linkCheckFinished(result);
        });
}

void BoardCommands::linkCheckFinished(const BoardJob::Result& result)
{
    switch (result.end) {
    case BoardJob::End::Done: establish_->showNotice(); return;
    case BoardJob::End::CodeRefused: Messages::invalidPassword(window_.widget); return;
    default: Messages::commLinkError(window_.widget, BoardJob::describe(result).reason); return;
    }
}

// ---- read and write -----------------------------------------------------------

void BoardCommands::read()
{
    emit readStarting();
    const std::optional<int> product = window_.session.product();
    if (!product) {
        transferWithoutBoard(JobPhase::Reading);
        return;
    }
    // The port is opened first, so a port that cannot be opened is reported
    // before the transfer window shows; the dialogue works on a copy of the image.
    run(
        {.kind = BoardJob::Kind::Read, .product = *product, .image = window_.session.image},
        [this](const BoardJob::Result& result) { transferFinished(result); },
        [this](JobPhase phase, int maximum) { transferStarted(phase, maximum); });
}

void BoardCommands::write()
{
    // Checked before the port is touched.
    window_.completeTyping();
    const EditorSession::Outgoing outgoing = window_.session.outgoing();
    window_.showForm();
    if (!outgoing.entries.isEmpty()) {
        Messages::entriesRefused(window_.widget,
                                 QStringLiteral("Nothing was written to the board. Please correct these entries:"),
                                 outgoing.entries);
        return;
    }
    // A board must never get a malformed word, not even one a file carried into the image.
    if (!outgoing.words.isEmpty()) {
        Messages::errorMessage(window_.widget,
                               QStringLiteral("Nothing was written to the board: %1.").arg(outgoing.words.front()));
        return;
    }
    const std::optional<int> product = window_.session.product();
    if (!product) {
        window_.session.image = outgoing.image;
        transferWithoutBoard(JobPhase::Writing);
        return;
    }
    send(outgoing.image, *product, false, [this](const BoardJob::Result& result) { transferFinished(result); });
}

void BoardCommands::restore(const Backups::Entry& backup, const QString& port, QWidget* parent,
                            std::function<void()> ended)
{
    const QString name = QFileInfo(backup.path).fileName();
    const QString caption = QLatin1String(Product::info(backup.product).caption);
    const std::optional<int> product = window_.session.product();
    const Restore::Words words = product ? Restore::backupWords(backup.path, *product) : Restore::Words{};
    if (!product || !words.ok()) {
        const QString why = product ? words.problem : QStringLiteral("no product is chosen");
        const QString choose = !product || backup.product != *product
                                   ? QStringLiteral(" Choose %1 in the Product menu to restore it.").arg(caption)
                                   : QString();
        Messages::errorMessage(parent, QStringLiteral("Nothing was written to the board: %1.%2").arg(why, choose));
        return;
    }
    enum { RestoreToBoard, Cancel };
    const QString code = backup.primaryCode.isEmpty() ? QStringLiteral("none") : backup.primaryCode;
    const int answer =
        Messages::ask(parent,
                      {kRestoreTitle,
                       QStringLiteral("Write the backup %1 (%2, primary code %3, %4) to the board on %5? Every word of "
                                      "the board is replaced by the backup's.")
                           .arg(name, QLatin1String(Product::info(backup.product).shortName), code,
                                backup.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), port),
                       {QStringLiteral("Restore to Board"), QStringLiteral("Cancel")},
                       Cancel,
                       Messages::Icon::Exclamation});
    if (answer != RestoreToBoard)
        return;
    send(words.image, *product, true, [this, ended = std::move(ended)](const BoardJob::Result& result) {
        transferFinished(result, true);
        if (ended)
            ended();
    });
}

void BoardCommands::send(const BoardImage& image, int product, bool restored,
                         std::function<void(const BoardJob::Result&)> done)
{
    const bool verify = window_.menus.mnuVerifyAfterWrite->isChecked();
    run(
        {.kind = BoardJob::Kind::Write,
         .product = product,
         .image = image,
         .verify = verify,
         .backUpFirst = window_.menus.mnuBackUpBeforeWrite->isChecked()},
        std::move(done),
        [this, image, restored](JobPhase phase, int maximum) {
            // The controls go into the image as the write sends them.
            if (phase == JobPhase::Writing && !restored)
                window_.session.image = image;
            transferStarted(phase, maximum);
        },
        verify ? std::function<void()>([this, restored] { writtenBeforeVerify(restored); }) : nullptr);
}

void BoardCommands::writtenBeforeVerify(bool restored)
{
    transfer_->setCancelEnabled(false);
    transfer_->setBoardSilent(false);
    writeDone(restored);
    // The read-back starts after the pause; the read-back works on a copy, and the
    // editor's image stays as it was written. Exit ends the job instead (a cancel).
    showTransferComplete([this] { link_->resume(); });
}

void BoardCommands::writeDone(bool restored)
{
    // A restore leaves the board holding the backup, not what the controls give.
    if (restored)
        return;
    window_.session.markStored();
    emit written();
}

void BoardCommands::transferStarted(JobPhase phase, int maximum)
{
    window_.widget->setCursor(Qt::WaitCursor);
    transfer_->setOwner(owner_ ? owner_.data() : window_.widget);
    transfer_->showTransfer(phase, maximum);
    transfer_->setCancelEnabled(true);
}

void BoardCommands::transferWithoutBoard(JobPhase phase)
{
    // No product ticked: the window goes through its steps and nothing is sent.
    window_.widget->setCursor(Qt::WaitCursor);
    transfer_->showTransfer(phase, 0);
    std::function<void()> then;
    if (phase == JobPhase::Reading)
        then = [this] { showImage(); };
    showTransferComplete(std::move(then));
}

void BoardCommands::transferFinished(const BoardJob::Result& result, bool restored)
{
    transfer_->setCancelEnabled(false);
    transfer_->setBoardSilent(false);
    if (result.end == BoardJob::End::PortUnavailable) {
        window_.widget->unsetCursor();
        Messages::commLinkError(window_.widget, result.message);
        return;
    }
    const bool read = result.kind == BoardJob::Kind::Read;
    // The dialogue worked on a copy: whatever it got to replaces the image, unless
    // what the board said is no configuration at all.
    if (read && result.end != BoardJob::End::NotAConfiguration)
        window_.session.takeRead(result.image);
    backupFailure_ = result.backupProblems.join(QStringLiteral("\r\n"));
    if (result.end == BoardJob::End::BackupFailed) {
        window_.widget->unsetCursor();
        transfer_->hide();
        if (!closing_)
            Messages::errorMessage(window_.widget, BoardJob::describe(result).reason);
        return;
    }
    // A write that was read back: written, "Transfer Complete" shown (writtenBeforeVerify).
    if (result.verified) {
        verifyFinished(result);
        return;
    }
    if (result.end != BoardJob::End::Done && result.end != BoardJob::End::Cancelled) {
        endTransferWithError(result);
        return;
    }
    if (!read && result.end == BoardJob::End::Done)
        writeDone(restored);
    showTransferComplete([this, read, result] {
        if (read)
            showImage();
        reportBackup();
        showBackupNote(result);
    });
}

void BoardCommands::showTransferComplete(std::function<void()> then)
{
    window_.widget->unsetCursor();
    // Commands are refused until the pause has ended.
    transfer_->complete(std::move(then));
}

void BoardCommands::showImage()
{
    window_.session.showRead();
    window_.showForm();
    emit readShown();
}

void BoardCommands::endTransferWithError(const BoardJob::Result& result)
{
    // The window goes, so no Cancel is left on the screen for a dialogue that ended.
    window_.widget->unsetCursor();
    transfer_->hide();
    const BoardJob::Description d = BoardJob::describe(result);
    QString reason = d.reason;
    if (!d.backupNote.isEmpty())
        reason += (reason.isEmpty() ? QString() : QStringLiteral("\r\n\r\n")) + d.backupNote;
    // A board that answered, but not with a configuration, is told just that.
    const bool noise = result.end == BoardJob::End::NotAConfiguration;
    if (!closing_ && noise)
        Messages::show(window_.widget, {Messages::kCommTitle, reason, Messages::Icon::Stop});
    else if (!closing_)
        Messages::commLinkError(window_.widget, reason);
    reportBackup();
}

void BoardCommands::showBackupNote(const BoardJob::Result& result)
{
    // A cancelled write: the cancel message has gone; this names the file to write back.
    const QString note = BoardJob::describe(result).backupNote;
    if (!note.isEmpty() && !closing_)
        Messages::errorMessage(window_.widget, note);
}

void BoardCommands::reportBackup()
{
    const QString failure = std::exchange(backupFailure_, QString());
    if (!failure.isEmpty() && !closing_)
        Messages::errorMessage(
            window_.widget,
            QStringLiteral("The transfer itself was fine, but its backup was not saved.\r\n%1").arg(failure));
}

// ---- verify after write -------------------------------------------------------

void BoardCommands::verifyFinished(const BoardJob::Result& result)
{
    window_.widget->unsetCursor();
    transfer_->setCancelEnabled(false);
    transfer_->setBoardSilent(false);
    transfer_->hide();
    if (closing_)
        return;
    reportBackup(); // the write's, before the verify's findings
    const QString failure = BoardJob::readBackFailure(result);
    if (verifyDialog_)
        verifyDialog_->close();
    verifyDialog_ =
        DifferencesDialog::verify(window_.widget,
                                  failure.isEmpty() ? result.differences : std::vector<Compare::Difference>{}, failure);
    verifyDialog_->show();
}

// ---- a fleet's radio ----------------------------------------------------------

void BoardCommands::programRadio(QWidget* owner, BoardJob::Request request,
                                 std::function<void(const BoardJob::Result&)> done)
{
    request.backUpFirst = window_.menus.mnuBackUpBeforeWrite->isChecked(); // as the window's write
    owner_ = owner;
    run(
        request,
        [this, done = std::move(done)](const BoardJob::Result& result) {
            owner_ = nullptr;
            transfer_->setCancelEnabled(false);
            transfer_->setBoardSilent(false);
            window_.widget->unsetCursor();
            if (result.end != BoardJob::End::Done || closing_) {
                transfer_->hide();
                done(result);
                return;
            }
            transfer_->complete([done, result] { done(result); });
        },
        [this](JobPhase phase, int maximum) { transferStarted(phase, maximum); }); // the write, then its read-back
}

// ---- Force Initialization -----------------------------------------------------

void BoardCommands::forceInitialization()
{
    window_.widget->setCursor(Qt::WaitCursor);
    run({.kind = BoardJob::Kind::ForceInitialization, .product = window_.session.product().value_or(1)},
        [this](const BoardJob::Result&) { window_.widget->unsetCursor(); });
}
