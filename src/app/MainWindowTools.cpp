// The window's additions around the board commands: backups of every transfer, the
// verify after a write, the compare with a file, the serial trace, the port assistant
// and where help comes from when there is no help file.
#include "MainWindow.h"

#include "Backups.h"
#include "Compare.h"
#include "DifferencesDialog.h"
#include "Editor.h"
#include "LinkOperations.h"
#include "LinkWorker.h"
#include "Messages.h"
#include "SerialTrace.h"
#include "TransferWindow.h"
#include "UserSettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

// ---- backups ------------------------------------------------------------------

void MainWindow::backUp(const BoardImage& image, bool read)
{
    const QDateTime now = QDateTime::currentDateTime();
    const Backups::Result saved =
        Backups::save(image, transferProduct_, read ? Backups::Kind::Read : Backups::Kind::Write, now);
    QStringList problems;
    if (!saved.ok)
        problems << saved.message;
    const Backups::PruneResult pruned = Backups::prune(now);
    if (!pruned.message.isEmpty())
        problems << pruned.message;
    if (!problems.isEmpty())
        backupFailure_ = problems.join(QStringLiteral("\r\n"));
}

void MainWindow::reportBackup()
{
    const QString failure = std::exchange(backupFailure_, QString());
    if (!failure.isEmpty() && !closing_)
        Messages::errorMessage(this, QStringLiteral("The transfer itself was fine, but its backup was not saved.\r\n%1")
                                         .arg(failure));
}

void MainWindow::mnuFileBackups_Click()
{
    const QString folder = Backups::folder();
    QDir().mkpath(folder);
    openUrl_(QUrl::fromLocalFile(folder));
}

// ---- verify after write -------------------------------------------------------

void MainWindow::mnuVerifyAfterWrite_Click(bool on)
{
    userSettings().setValue(kVerifyAfterWriteKey, on);
}

bool MainWindow::startVerify()
{
    if (!std::exchange(verifyPending_, false) || closing_)
        return false;
    // The read-back works on a copy; the editor's image stays as it was written.
    transfer_->showTransfer(TransferWindow::Direction::Read, LinkOperations::progressMaximum(transferProduct_));
    if (!startLink(LinkIntent::Verify, link_->read(transferProduct_, sentImage_))) {
        transfer_->hide();
        return false;
    }
    setCursor(Qt::WaitCursor);
    transfer_->setCancelEnabled(true);
    return true;
}

void MainWindow::verifyFinished(const LinkJobResult& result)
{
    unsetCursor();
    transfer_->setCancelEnabled(false);
    transfer_->setBoardSilent(false);
    transfer_->hide();
    portOpen_ = result.portOpened && result.transfer.end != TransferResult::End::Failed;
    if (closing_)
        return;
    QString failure;
    if (!result.portOpened)
        failure = result.message;
    else if (result.transfer.end == TransferResult::End::Cancelled)
        failure = QStringLiteral("the read-back was cancelled.");
    else if (result.transfer.end != TransferResult::End::Completed)
        failure = result.transfer.message;
    const int last = LinkOperations::lastWord(transferProduct_);
    const std::vector<Compare::Difference> differences =
        failure.isEmpty() ? Compare::differences(sentImage_, result.image, transferProduct_, last)
                          : std::vector<Compare::Difference>{};
    if (verifyDialog_)
        verifyDialog_->close();
    verifyDialog_ = DifferencesDialog::verify(this, differences, failure);
    verifyDialog_->show();
}

// ---- compare with a file ------------------------------------------------------

namespace {
constexpr int kFileLastWord = 250; // a data file holds words 0..250
}

void MainWindow::mnuFileCompare_Click()
{
    const QString path = chooser_(this, FileChooser::Kind::Open, QStringLiteral("Compare with Tervalo Logic Board Data File..."));
    if (FileChooser::isCancel(path))
        return;
    BoardImage fileImage = image_;
    if (!loadDataFile(path, fileImage))
        return;
    // The window as it stands, onto a copy: the editor's own image is not touched.
    BoardImage windowImage = image_;
    Editor::ReadGUI(form_, windowImage);
    // Without a ticked product the file is shown as the first product would show it.
    const int product = Editor::selectedProduct(form_).value_or(1);
    const auto differences = Compare::differences(windowImage, fileImage, product, kFileLastWord);
    if (compareDialog_)
        compareDialog_->close();
    compareDialog_ = DifferencesDialog::compare(this, path, differences);
    compareDialog_->show();
}

// ---- serial trace -------------------------------------------------------------

void MainWindow::mnuRecordTrace_Click(bool on)
{
    if (!on) {
        trace_->setFile({});
        return;
    }
    const QString path = chooser_(this, FileChooser::Kind::Trace, QStringLiteral("Record Serial Trace..."));
    if (path.isEmpty()) {
        menus_.mnuRecordTrace->setChecked(false);
        return;
    }
    // Tried here, so a folder that cannot take the file is named at once.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        menus_.mnuRecordTrace->setChecked(false);
        Messages::errorMessage(this, QStringLiteral("The serial trace was not started.\r\n%1: %2")
                                         .arg(QDir::toNativeSeparators(path), probe.errorString()));
        return;
    }
    probe.close();
    trace_->setFile(path);
}

void MainWindow::reportTraceFailure()
{
    const QString why = trace_->error();
    if (why.isEmpty() || closing_ || !menus_.mnuRecordTrace->isChecked())
        return;
    // The board command itself went on untraced.
    trace_->setFile({});
    menus_.mnuRecordTrace->setChecked(false);
    Messages::errorMessage(this, QStringLiteral("The serial trace stopped.\r\n%1").arg(why));
}

// ---- the port assistant -------------------------------------------------------

void MainWindow::mnuSerialOther_Click()
{
    if (!portAssistant_) {
        portAssistant_ = new PortAssistant(this, portLister_);
        connect(portAssistant_, &PortAssistant::useAs, this, &MainWindow::portAssistantUse);
    }
    portAssistant_->refresh();
    portAssistant_->show();
    portAssistant_->raise();
    portAssistant_->activateWindow();
}

void MainWindow::portAssistantUse(int com, const QString& device)
{
    if (refuseWhileBusy())
        return;
    PortAssistant::storeMapping(com, device);
    portMap_.choose(com, device);
    link_->setPortMap(portMap_);
    portAssistant_->setStatus(QStringLiteral("COM%1 now means %2. Opening it...").arg(com).arg(device));
    portFromAssistant_ = true;
    mnuSerialConfig_Click(com);
}

// ---- help ---------------------------------------------------------------------

QString MainWindow::manualPath()
{
    const QString program = QCoreApplication::applicationDirPath();
    const QString places[] = {
        // Installed with the program, under whatever prefix it was installed to.
        program + QStringLiteral("/../share/doc/vireo-programmer/manual/index.html"),
        // Installed where this build installs to.
        QStringLiteral(VIREO_DATA_DIR "/../doc/vireo-programmer/manual/index.html"),
        // Unpacked beside the program, as the build tree has it.
        program + QStringLiteral("/manual/index.html"),
    };
    for (const QString& place : places) {
        if (QFileInfo::exists(place))
            return QDir::cleanPath(place);
    }
    return {};
}

bool MainWindow::desktopShowsChm()
{
#ifdef Q_OS_WIN
    return true; // Windows shows help files itself
#else
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("application/vnd.ms-htmlhelp")});
    if (!query.waitForFinished(2000)) {
        query.kill();
        query.waitForFinished(500);
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
#endif
}
