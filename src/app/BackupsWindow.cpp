#include "BackupsWindow.h"

#include "DifferencesDialog.h"
#include "EditorSession.h"
#include "Product.h"
#include "WindowDesign.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(QWidget* parent, const QString& name, const QString& text, QHBoxLayout* row)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false); // Enter in the list must not load a backup
    row->addWidget(b);
    return b;
}

QTableWidget* backupList(QWidget* parent)
{
    QTableWidget* list = readOnlyTable(parent, QStringLiteral("tblBackups"),
                                       {QStringLiteral("Time"), QStringLiteral("Product"), QStringLiteral("Kind"),
                                        QStringLiteral("Primary Code"), QStringLiteral("File")},
                                       {720, 180});
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->verticalHeader()->hide();
    list->setWordWrap(false); // a file name stays on one line
    list->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    return list;
}

} // namespace

BackupsWindow::BackupsWindow(QWidget* parent, Window window)
    : QDialog(parent), window_(std::move(window)), folder_(new QLabel(this)), list_(backupList(this)),
      against_(new QLabel(this)), differences_(DifferencesDialog::compareTable(this)), summary_(new QLabel(this))
{
    setObjectName(QStringLiteral("dlgBackups"));
    setWindowTitle(kTitle);
    folder_->setObjectName(QStringLiteral("lblBackupsFolder"));
    against_->setObjectName(QStringLiteral("lblBackupAgainst"));
    summary_->setObjectName(QStringLiteral("lblBackupSummary"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folder_);
    layout->addWidget(list_);
    layout->addWidget(against_);
    layout->addWidget(differences_);
    layout->addWidget(summary_);
    auto* row = new QHBoxLayout;
    open_ = button(this, QStringLiteral("cmdBackupOpen"), QStringLiteral("Open"), row);
    restore_ = button(this, QStringLiteral("cmdBackupRestore"), QStringLiteral("Restore to Board..."), row);
    QPushButton* showFolder = button(this, QStringLiteral("cmdBackupShowFolder"), QStringLiteral("Show Folder"), row);
    row->addStretch();
    QPushButton* close = button(this, QStringLiteral("cmdBackupClose"), QStringLiteral("Close"), row);
    layout->addLayout(row);
    connect(list_, &QTableWidget::itemSelectionChanged, this, &BackupsWindow::showDifferences);
    connect(open_, &QPushButton::clicked, this, &BackupsWindow::openSelected);
    connect(restore_, &QPushButton::clicked, this, &BackupsWindow::restoreSelected);
    connect(showFolder, &QPushButton::clicked, this, [this] {
        QDir().mkpath(Backups::folder());
        window_.openUrl(QUrl::fromLocalFile(Backups::folder()));
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

BackupsWindow* BackupsWindow::showFor(QWidget* parent, Window window)
{
    auto* backups = parent->findChild<BackupsWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!backups)
        backups = new BackupsWindow(parent, std::move(window));
    backups->refresh();
    backups->show();
    backups->raise();
    backups->activateWindow();
    return backups;
}

void BackupsWindow::refresh()
{
    const int selected = selectedRow();
    const QString kept = selected >= 0 ? entries_[static_cast<size_t>(selected)].path : QString();
    entries_ = Backups::list();
    folder_->setText(QStringLiteral("Backups in %1, newest first:").arg(QDir::toNativeSeparators(Backups::folder())));
    const QSignalBlocker quiet(list_);
    list_->clearSelection();
    list_->setRowCount(static_cast<int>(entries_.size()));
    int keptRow = -1;
    for (int row = 0; row < list_->rowCount(); ++row) {
        const Backups::Entry& e = entries_[static_cast<size_t>(row)];
        const QStringList cells{e.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                QString::fromLatin1(Product::info(e.product).shortName), Backups::kindName(e.kind),
                                e.primaryCode, QFileInfo(e.path).fileName()};
        for (int column = 0; column < cells.size(); ++column)
            list_->setItem(row, column, new QTableWidgetItem(cells[column]));
        if (e.path == kept)
            keptRow = row;
    }
    list_->resizeColumnsToContents();
    select(keptRow);
    showDifferences();
}

void BackupsWindow::select(int row)
{
    if (row < 0)
        list_->clearSelection();
    else
        list_->selectRow(row);
}

int BackupsWindow::selectedRow() const
{
    const QList<QTableWidgetItem*> items = list_->selectedItems();
    return items.isEmpty() ? -1 : items.front()->row();
}

void BackupsWindow::showDifferences()
{
    const int row = selectedRow();
    open_->setEnabled(row >= 0);
    restore_->setEnabled(row >= 0);
    if (row < 0) {
        against_->setText(entries_.empty() ? QStringLiteral("No backups yet: every read and write is backed up here.")
                                           : QStringLiteral("Select a backup to compare it with this window."));
        DifferencesDialog::fillTable(differences_, {});
        summary_->clear();
        return;
    }
    const Backups::Entry& e = entries_[static_cast<size_t>(row)];
    against_->setText(QStringLiteral("This window against %1:").arg(QFileInfo(e.path).fileName()));
    BoardImage backup;
    const DataFile::LoadResult loaded = window_.session.openCopy(e.path, backup);
    if (!loaded.ok()) {
        DifferencesDialog::fillTable(differences_, {});
        summary_->setText(QStringLiteral("The backup cannot be read: %1").arg(loaded.message));
        return;
    }
    const auto differences = DifferencesDialog::againstWindow(window_.session, backup);
    DifferencesDialog::fillTable(differences_, differences);
    summary_->setText(DifferencesDialog::summary(differences));
}

void BackupsWindow::openSelected()
{
    const int row = selectedRow();
    if (row >= 0 && window_.open(entries_[static_cast<size_t>(row)].path))
        showDifferences(); // the window now holds the backup
}

void BackupsWindow::restoreSelected()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    // The restore and any backup before it are listed once its job has ended.
    window_.restore(entries_[static_cast<size_t>(row)], this, [window = QPointer<BackupsWindow>(this)] {
        if (window)
            window->refresh();
    });
}
