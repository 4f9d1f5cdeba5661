#include "FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace FileChooser {

namespace {

struct Files {
    QString filter;
    QString suffix;
    bool opened;
};

Files filesOf(Kind kind)
{
    switch (kind) {
    case Kind::Open: return {kPattern, QStringLiteral("tv2"), true};
    case Kind::SaveAs: return {kPattern, QStringLiteral("tv2"), false};
    case Kind::Trace: return {QStringLiteral("*.txt"), QStringLiteral("txt"), false};
    case Kind::ListsExport: return {QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"), false};
    case Kind::ListsImport: return {QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"), true};
    case Kind::Report:
        return {QStringLiteral("PDF files (*.pdf);;Web pages (*.html *.htm)"), QStringLiteral("pdf"), false};
    }
    return {kPattern, QStringLiteral("tv2"), true};
}

} // namespace

QString chooseWithDialog(QWidget* parent, Kind kind, const QString& title)
{
    const Files files = filesOf(kind);
    QFileDialog dialog(parent, title, QDir::currentPath(), files.filter);
    dialog.setDefaultSuffix(files.suffix);
    if (files.opened) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The desktop dialog asks before it replaces an existing file.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    // The suffix follows the filter chosen (a web page is saved as .html).
    if (kind == Kind::Report)
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            dialog.setDefaultSuffix(filter.contains(QLatin1String("*.html")) ? QStringLiteral("html")
                                                                             : QStringLiteral("pdf"));
        });
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

bool isCancel(const QString& path)
{
    return path.isEmpty() || QFileInfo(path).fileName() == kPattern;
}

} // namespace FileChooser
