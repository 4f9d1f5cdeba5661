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

namespace {

// The words that differ without a control of the window showing them ("41", "98").
QStringList unshownWords(const std::vector<Compare::Difference>& differences)
{
    QStringList words;
    for (const Compare::Difference& d : differences) {
        if (d.word >= 0)
            words << QString::number(d.word);
    }
    return words;
}

} // namespace

void fillTable(QTableWidget* table, const std::vector<Compare::Difference>& differences)
{
    const auto blankShown = [](const QString& t) { return t.isEmpty() ? QStringLiteral("(blank)") : t; };
    const QStringList words = unshownWords(differences);
    table->clearSpans();
    table->setRowCount(static_cast<int>(differences.size() - words.size()) + (words.isEmpty() ? 0 : 1));
    int row = 0;
    for (const Compare::Difference& d : differences) {
        if (d.word >= 0)
            continue;
        table->setItem(row, 0, new QTableWidgetItem(d.setting));
        table->setItem(row, 1, new QTableWidgetItem(blankShown(d.textA)));
        table->setItem(row, 2, new QTableWidgetItem(blankShown(d.textB)));
        ++row;
    }
    // Raw words mean nothing to a technician: one row names them, for support.
    if (!words.isEmpty()) {
        table->setItem(row, 0,
                       new QTableWidgetItem(
                           QStringLiteral("Words the window does not show: %1").arg(words.join(QStringLiteral(", ")))));
        table->setSpan(row, 0, 1, table->columnCount());
    }
    // A board's 16-digit speed dial is shown whole.
    fitColumns(table, {1, 2}, table->font());
}

QString summary(const std::vector<Compare::Difference>& differences)
{
    const qsizetype words = unshownWords(differences).size();
    const qsizetype settings = static_cast<qsizetype>(differences.size()) - words;
    if (settings == 0)
        return words == 0 ? kNoDifferences : QStringLiteral("Only words the window does not show differ");
    const QString counted = settings == 1 ? QStringLiteral("1 setting differs")
                                          : QStringLiteral("%1 settings differ").arg(settings);
    return words == 0 ? counted : counted + QStringLiteral(", and words the window does not show");
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
