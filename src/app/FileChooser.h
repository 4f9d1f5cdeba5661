#pragma once

#include <QString>

#include <functional>

class QWidget;

// The data-file dialog, replaceable so that the commands can run without a person.
namespace FileChooser {

// Trace: a serial trace's text file (*.txt), saved.
enum class Kind { Open, SaveAs, Trace };

// Returns the chosen path, or an empty text when the user cancelled.
using Chooser = std::function<QString(QWidget* parent, Kind kind, const QString& title)>;

inline const QString kPattern = QStringLiteral("*.tv2");

// The desktop's file dialog over board data files (*.tv2) in the working directory.
QString chooseWithDialog(QWidget* parent, Kind kind, const QString& title);

// The name "*.tv2" itself, as typed, counts as a cancel.
bool isCancel(const QString& path);

} // namespace FileChooser
