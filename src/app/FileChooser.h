#pragma once

#include <QString>

#include <functional>

class QWidget;

// The data-file dialog, replaceable so that the commands can run without a person.
namespace FileChooser {

// Trace: a serial trace's text file (*.txt), saved. ListsExport, ListsImport: the
// group and speed-dial lists as CSV (*.csv), saved or opened. Report: the
// configuration report (*.pdf, *.html), saved.
enum class Kind { Open, SaveAs, Trace, ListsExport, ListsImport, Report };

// Returns the chosen path, or an empty text when the user cancelled.
using Chooser = std::function<QString(QWidget* parent, Kind kind, const QString& title)>;

inline const QString kPattern = QStringLiteral("*.tv2");

// The desktop's file dialog in the working directory, over the files of the kind
// (board data files, *.tv2, for Open and Save As).
QString chooseWithDialog(QWidget* parent, Kind kind, const QString& title);

// The name "*.tv2" itself, as typed, counts as a cancel.
bool isCancel(const QString& path);

} // namespace FileChooser
