#include "FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace FileChooser {

QString chooseWithDialog(QWidget* parent, Kind kind, const QString& title)
{
    const bool trace = kind == Kind::Trace;
    QFileDialog dialog(parent, title, QDir::currentPath(), trace ? QStringLiteral("*.txt") : kPattern);
    dialog.setDefaultSuffix(trace ? QStringLiteral("txt") : QStringLiteral("tv2"));
    if (kind == Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The desktop dialog asks before it replaces an existing file.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

bool isCancel(const QString& path)
{
    return path.isEmpty() || QFileInfo(path).fileName() == kPattern;
}

} // namespace FileChooser
