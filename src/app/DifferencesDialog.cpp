#include "DifferencesDialog.h"

#include "Editor.h"
#include "EditorSession.h"
#include "MemoryMap.h"
#include "WindowDesign.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QDialog* frame(QWidget* parent, const QString& name, const QString& title, QVBoxLayout*& layout)
{
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    layout = new QVBoxLayout(dialog);
    return dialog;
}

void addCloseButton(QDialog* dialog, QVBoxLayout* layout)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace

namespace DifferencesDialog {

QString verifyText(const std::vector<Compare::Difference>& differences, const QString& failure)
{
    QStringList lines;
    if (!failure.isEmpty())
        lines << QStringLiteral("The board could not be read back: %1").arg(failure);
    for (const Compare::Difference& d : differences)
        lines << Compare::describe(d, QStringLiteral(" on file, "), QStringLiteral(" on board"));
    if (failure.isEmpty() && differences.empty())
        lines << QStringLiteral("The board holds every word that was written.");
    lines << QString() << (failure.isEmpty() && differences.empty() ? kVerifyPassed : kVerifyFailed);
    return lines.join(QLatin1Char('\n'));
}

QDialog* verify(QWidget* parent, const std::vector<Compare::Difference>& differences, const QString& failure)
{
    QVBoxLayout* layout = nullptr;
    QDialog* dialog = frame(parent, QStringLiteral("dlgVerify"), kVerifyTitle, layout);
    const bool passed = failure.isEmpty() && differences.empty();
    auto* verdict = new QLabel(passed ? kVerifyPassed : kVerifyFailed, dialog);
    verdict->setObjectName(QStringLiteral("lblVerdict"));
    QFont bold = verdict->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    verdict->setFont(bold);
    verdict->setStyleSheet(passed ? QStringLiteral("color: #006400") : QStringLiteral("color: #b00000"));
    auto* text = new QPlainTextEdit(verifyText(differences, failure), dialog);
    text->setObjectName(QStringLiteral("txtVerify"));
    text->setReadOnly(true);
    text->setMinimumSize(520, 220);
    layout->addWidget(text);
    layout->addWidget(verdict);
    addCloseButton(dialog, layout);
    return dialog;
}

QTableWidget* compareTable(QWidget* parent)
{
    QTableWidget* table =
        readOnlyTable(parent, QStringLiteral("tblCompare"),
                      {QStringLiteral("Setting"), QStringLiteral("This window"), QStringLiteral("File")}, {560, 260});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return table;
}

void fillTable(QTableWidget* table, const std::vector<Compare::Difference>& differences)
{
    const auto blankShown = [](const QString& t) { return t.isEmpty() ? QStringLiteral("(blank)") : t; };
    table->setRowCount(static_cast<int>(differences.size()));
    for (int row = 0; row < static_cast<int>(differences.size()); ++row) {
        const Compare::Difference& d = differences[static_cast<size_t>(row)];
        table->setItem(row, 0, new QTableWidgetItem(d.setting));
        table->setItem(row, 1, new QTableWidgetItem(blankShown(d.textA)));
        table->setItem(row, 2, new QTableWidgetItem(blankShown(d.textB)));
    }
}

QString summary(const std::vector<Compare::Difference>& differences)
{
    return differences.empty() ? kNoDifferences : QStringLiteral("%1 settings differ").arg(differences.size());
}

std::vector<Compare::Difference> againstWindow(const EditorSession& session, const BoardImage& file)
{
    // Without a ticked product the file is shown as the first product would show it.
    const int product = Editor::selectedProduct(session.form).value_or(1);
    return Compare::differences(session.imageShown(), file, product, MemoryMap::kLastFileWord);
}

QDialog* compare(QWidget* parent, const QString& fileName, const std::vector<Compare::Difference>& differences)
{
    QVBoxLayout* layout = nullptr;
    QDialog* dialog = frame(parent, QStringLiteral("dlgCompare"), kCompareTitle, layout);
    auto* heading = new QLabel(QStringLiteral("This window against %1:").arg(QFileInfo(fileName).fileName()), dialog);
    heading->setObjectName(QStringLiteral("lblCompareFile"));
    layout->addWidget(heading);
    QTableWidget* table = compareTable(dialog);
    fillTable(table, differences);
    layout->addWidget(table);
    auto* summaryLabel = new QLabel(summary(differences), dialog);
    summaryLabel->setObjectName(QStringLiteral("lblCompareSummary"));
    layout->addWidget(summaryLabel);
    addCloseButton(dialog, layout);
    return dialog;
}

} // namespace DifferencesDialog
