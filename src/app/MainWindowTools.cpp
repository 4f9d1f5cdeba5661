// The window's additions around the board commands: the backups window, the compare
// with a file, the link doctor, the port assistant and where help comes from when
// there is no help file.
#include "MainWindow.h"

#include "BackupsWindow.h"
#include "DifferencesDialog.h"
#include "DoctorWindow.h"
#include "LinkOperations.h"
#include "LinkWorker.h"
#include "Messages.h"
#include "TransferWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

// ---- backups (the board job takes them) -----------------------------------------

void MainWindow::mnuFileBackups_Click()
{
    BackupsWindow::showFor(this, {session_, [this](const QString& path) { return openFile(path); }, openUrl_,
                                  [this](const Backups::Entry& backup, QWidget* parent, std::function<void()> ended) {
                                      if (!board_->refuseWhileBusy())
                                          board_->restore(backup, portName(), parent, std::move(ended));
                                  }});
}

// ---- compare with a file ------------------------------------------------------

void MainWindow::mnuFileCompare_Click()
{
    const QString path = chooser_(this, FileChooser::Kind::Open,
                                  QStringLiteral("Compare with Tervalo Logic Board Data File..."));
    if (FileChooser::isCancel(path))
        return;
    BoardImage fileImage;
    if (!Messages::reportOpen(this, session_.openCopy(path, fileImage)))
        return;
    if (compareDialog_)
        compareDialog_->close();
    compareDialog_ = DifferencesDialog::compare(this, path, DifferencesDialog::againstWindow(session_, fileImage));
    compareDialog_->show();
}

// ---- serial trace -------------------------------------------------------------

void MainWindow::mnuDiagnoseLink_Click()
{
    if (board_->refuseWhileBusy() || (doctor_ && doctor_->isRunning()))
        return;
    if (doctor_)
        doctor_->close();
    doctor_ = new DoctorWindow(this, board_->link(),
                               {.product = session_.product().value_or(1),
                                .portName = portName(),
                                .portMap = portMap_,
                                .accessCode = session_.form.ProgAccessCode.text});
    doctor_->setAttribute(Qt::WA_DeleteOnClose);
    doctor_->show();
    doctor_->start();
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
    if (board_->refuseWhileBusy())
        return;
    PortAssistant::storeMapping(com, device);
    portMap_.choose(com, device);
    board_->link()->setPortMap(portMap_);
    portAssistant_->setStatus(QStringLiteral("COM%1 now means %2. Opening it...").arg(com).arg(device));
    choosePort(com, true);
}
