#pragma once

#include "Compare.h"

#include <QDialog>

#include <vector>

class EditorSession;
class QPlainTextEdit;
class QTableWidget;

// Read-only windows that show how two configurations differ: the verify after a
// write (board against what was sent) and the window against a data file.
namespace DifferencesDialog {

inline const QString kVerifyTitle = QStringLiteral("Verify after Write");
inline const QString kVerifyPassed = QStringLiteral("Verify passed");
inline const QString kVerifyFailed = QStringLiteral("Verify FAILED");
inline const QString kCompareTitle = QStringLiteral("Compare with File");
inline const QString kNoDifferences = QStringLiteral("No differences");

// The verify's result: one line a difference (what was sent "on file", what came
// back "on board"), then the verdict. `failure` is a read-back that did not
// complete; it fails the verify whatever was compared.
QDialog* verify(QWidget* parent, const std::vector<Compare::Difference>& differences, const QString& failure = {});
// The report's text, as the verify window shows it.
QString verifyText(const std::vector<Compare::Difference>& differences, const QString& failure);

// The Compare table, Setting | This window | File, empty; fillTable puts one row a
// difference into it, in the order of the window.
QTableWidget* compareTable(QWidget* parent);
void fillTable(QTableWidget* table, const std::vector<Compare::Difference>& differences);
// "No differences", "3 settings differ".
QString summary(const std::vector<Compare::Difference>& differences);

// How the window as it stands (read onto a copy: the editor's own image is not
// touched) differs from a file's words, setting by setting.
std::vector<Compare::Difference> againstWindow(const EditorSession& session, const BoardImage& file);

// The Compare table between the window and a file, and its summary.
QDialog* compare(QWidget* parent, const QString& fileName, const std::vector<Compare::Difference>& differences);

} // namespace DifferencesDialog
