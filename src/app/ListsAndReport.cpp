#include "ListsAndReport.h"

#include "ConfigurationReport.h"
#include "EditorSession.h"
#include "ListsCsv.h"
#include "Messages.h"
#include "SafeSave.h"

#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

const QString kImportTitle = QStringLiteral("Import Lists");

} // namespace

void ListsAndReport::exportLists()
{
    window_.completeTyping();
    const QString path = window_.choose(FileChooser::Kind::ListsExport, QStringLiteral("Export Lists..."));
    if (FileChooser::isCancel(path))
        return;
    const QString why = SafeSave::write(path, ListsCsv::exportLists(window_.session.form));
    if (!why.isEmpty())
        Messages::errorMessage(window_.widget, QStringLiteral("The lists were not exported.\r\n%1: %2")
                                                   .arg(QDir::toNativeSeparators(path), why));
}

void ListsAndReport::importLists()
{
    window_.completeTyping();
    const QString path = window_.choose(FileChooser::Kind::ListsImport, QStringLiteral("Import Lists..."));
    if (FileChooser::isCancel(path))
        return;
    enum { KeepOtherRows, EmptyListsFirst, Cancel };
    const int answer = Messages::ask(
        window_.widget,
        {kImportTitle,
         QStringLiteral("Each row of the file replaces that row of Group Codes or Speed Dial Programming.\r\n"
                        "Should the rows the file does not name keep their values, or should both lists be "
                        "emptied first?"),
         {QStringLiteral("Keep Other Rows"), QStringLiteral("Empty Both Lists First"), QStringLiteral("Cancel")},
         Cancel,
         Messages::Icon::Information});
    if (answer != KeepOtherRows && answer != EmptyListsFirst)
        return;
    const ListsCsv::ImportResult imported = ListsCsv::importLists(window_.session.form, path,
                                                                  answer == EmptyListsFirst ? ListsCsv::Mode::Replace
                                                                                            : ListsCsv::Mode::Merge);
    switch (imported.outcome) {
    case ListsCsv::ImportResult::Outcome::Unreadable:
        Messages::errorMessage(window_.widget, QStringLiteral("The lists were not imported.\r\n%1")
                                                   .arg(imported.problems.join(QStringLiteral("\r\n"))));
        return;
    case ListsCsv::ImportResult::Outcome::Refused:
        Messages::entriesRefused(
            window_.widget,
            QStringLiteral("The lists were not imported; the window is unchanged. Please correct these entries:"),
            imported.problems);
        return;
    case ListsCsv::ImportResult::Outcome::Done: break;
    }
    // One replacement of the form: the whole import is one edit.
    window_.replaceForm(imported.form);
}

void ListsAndReport::printReport()
{
    window_.completeTyping();
    const ConfigurationReport report(window_.session);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(QMarginsF(ConfigurationReport::kMarginMm, ConfigurationReport::kMarginMm,
                                     ConfigurationReport::kMarginMm, ConfigurationReport::kMarginMm),
                           QPageLayout::Millimeter);
    printer.setDocName(QStringLiteral("Logic Board Configuration"));
    QPrintPreviewDialog preview(&printer, window_.widget);
    preview.setWindowTitle(QStringLiteral("Print Report"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&report](QPrinter* p) { report.print(*p); });
    preview.exec();
}

void ListsAndReport::exportReport()
{
    window_.completeTyping();
    const QString path = window_.choose(FileChooser::Kind::Report, QStringLiteral("Export Report..."));
    if (FileChooser::isCancel(path))
        return;
    const QString why = ConfigurationReport(window_.session).save(path, ConfigurationReport::defaultPaper());
    if (!why.isEmpty())
        Messages::errorMessage(window_.widget, QStringLiteral("The report was not saved.\r\n%1: %2")
                                                   .arg(QDir::toNativeSeparators(path), why));
}
