// The File menu's commands for the lists as CSV (Export Lists..., Import Lists...)
// and the configuration report (Print Report..., Export Report...). Each first
// completes the box being typed in, as Save As does, so that what goes out is what
// the window shows.
#include "MainWindow.h"

#include "ConfigurationReport.h"
#include "FormView.h"
#include "ListsCsv.h"
#include "Messages.h"
#include "SafeSave.h"

#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

const QString kImportTitle = QStringLiteral("Import Lists");

} // namespace

void MainWindow::mnuFileExportLists_Click()
{
    view_->completeTyping();
    const QString path = chooser_(this, FileChooser::Kind::ListsExport, QStringLiteral("Export Lists..."));
    if (FileChooser::isCancel(path))
        return;
    const QString why = SafeSave::write(path, ListsCsv::exportLists(session_.form));
    if (!why.isEmpty())
        Messages::errorMessage(this, QStringLiteral("The lists were not exported.\r\n%1: %2")
                                         .arg(QDir::toNativeSeparators(path), why));
}

void MainWindow::mnuFileImportLists_Click()
{
    view_->completeTyping();
    const QString path = chooser_(this, FileChooser::Kind::ListsImport, QStringLiteral("Import Lists..."));
    if (FileChooser::isCancel(path))
        return;
    enum { KeepOtherRows, EmptyListsFirst, Cancel };
    const int answer = Messages::ask(
        this, {kImportTitle,
               QStringLiteral("Each row of the file replaces that row of Group Codes or Speed Dial Programming.\r\n"
                              "Should the rows the file does not name keep their values, or should both lists be "
                              "emptied first?"),
               {QStringLiteral("Keep Other Rows"), QStringLiteral("Empty Both Lists First"), QStringLiteral("Cancel")},
               Cancel,
               Messages::Icon::Information});
    if (answer != KeepOtherRows && answer != EmptyListsFirst)
        return;
    const ListsCsv::ImportResult imported = ListsCsv::importLists(
        session_.form, path, answer == EmptyListsFirst ? ListsCsv::Mode::Replace : ListsCsv::Mode::Merge);
    switch (imported.outcome) {
    case ListsCsv::ImportResult::Outcome::Unreadable:
        Messages::errorMessage(this, QStringLiteral("The lists were not imported.\r\n%1").arg(imported.problems.join(QStringLiteral("\r\n"))));
        return;
    case ListsCsv::ImportResult::Outcome::Refused:
        Messages::entriesRefused(
            this, QStringLiteral("The lists were not imported; the window is unchanged. Please correct these entries:"),
            imported.problems);
        return;
    case ListsCsv::ImportResult::Outcome::Done: break;
    }
    // One replacement of the form: the whole import is one edit.
    showForm(imported.form);
}

void MainWindow::mnuFilePrintReport_Click()
{
    view_->completeTyping();
    const ConfigurationReport report(session_);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(QMarginsF(ConfigurationReport::kMarginMm, ConfigurationReport::kMarginMm,
                                     ConfigurationReport::kMarginMm, ConfigurationReport::kMarginMm),
                           QPageLayout::Millimeter);
    printer.setDocName(QStringLiteral("Logic Board Configuration"));
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Print Report"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&report](QPrinter* p) { report.print(*p); });
    preview.exec();
}

void MainWindow::mnuFileExportReport_Click()
{
    view_->completeTyping();
    const QString path = chooser_(this, FileChooser::Kind::Report, QStringLiteral("Export Report..."));
    if (FileChooser::isCancel(path))
        return;
    const QString why = ConfigurationReport(session_).save(path, ConfigurationReport::defaultPaper());
    if (!why.isEmpty())
        Messages::errorMessage(this, QStringLiteral("The report was not saved.\r\n%1: %2")
                                         .arg(QDir::toNativeSeparators(path), why));
}
