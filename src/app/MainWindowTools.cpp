// The window's additions around the board commands: backups of every transfer, the
// verify after a write, the compare with a file, the link doctor, the port assistant
// and where help comes from when there is no help file.
#include "MainWindow.h"

#include "Backups.h"
#include "Compare.h"
#include "DifferencesDialog.h"
#include "DoctorWindow.h"
#include "Editor.h"
#include "LinkOperations.h"
#include "MemoryMap.h"
#include "LinkWorker.h"
#include "Messages.h"
#include "TransferWindow.h"
#include "UserSettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

// ---- backups (the board job takes them) -----------------------------------------

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

// ---- compare with a file ------------------------------------------------------

void MainWindow::mnuFileCompare_Click()
{
    const QString path = chooser_(this, FileChooser::Kind::Open, QStringLiteral("Compare with Tervalo Logic Board Data File..."));
    if (FileChooser::isCancel(path))
        return;
    BoardImage fileImage;
    if (!Messages::reportOpen(this, session_.openCopy(path, fileImage)))
        return;
    // The window as it stands, onto a copy: the editor's own image is not touched.
    const BoardImage windowImage = session_.imageShown();
    // Without a ticked product the file is shown as the first product would show it.
    const int product = Editor::selectedProduct(session_.form).value_or(1);
    const auto differences = Compare::differences(windowImage, fileImage, product, MemoryMap::kLastFileWord);
    if (compareDialog_)
        compareDialog_->close();
    compareDialog_ = DifferencesDialog::compare(this, path, differences);
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
                               {.product = session_.product().value_or(1), .portName = portName(),
                                .portMap = portMap_, .accessCode = session_.form.ProgAccessCode.text});
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

