#pragma once

#include "Backups.h"

#include <QDialog>
#include <QUrl>

#include <functional>
#include <vector>

class EditorSession;
class QLabel;
class QPushButton;
class QTableWidget;

// File > Backups...: every backup of every product, newest first. The one selected
// is compared with the window setting by setting (the Compare table); Open shows it
// in the window as Open... does, for reading and editing; Restore to Board... puts it
// back on the board exactly, word for word, undoing the write it was taken before;
// Show Folder opens the folder on the desktop.
class BackupsWindow : public QDialog {
    Q_OBJECT
public:
    // What of the main window the backups window uses.
    struct Window {
        const EditorSession& session;                  // the window a backup is compared with
        std::function<bool(const QString& path)> open; // Open... after its file dialog
        std::function<bool(const QUrl&)> openUrl;      // the desktop's file manager
        // Restore to Board... (BoardCommands::restore), asking over `parent`; `ended`
        // once its job has ended.
        std::function<void(const Backups::Entry&, QWidget* parent, std::function<void()> ended)> restore;
    };
    inline static const QString kTitle = QStringLiteral("Backups");

    BackupsWindow(QWidget* parent, Window window);

    // The window `parent` has (made when it has none), its list read afresh, shown.
    static BackupsWindow* showFor(QWidget* parent, Window window);

    // Reads the folder again; the selected backup stays selected while it is there.
    void refresh();
    // Selects the backup in this row of the list (newest first), -1 for none.
    void select(int row);
    const std::vector<Backups::Entry>& entries() const { return entries_; }

private:
    void showDifferences();
    void openSelected();
    void restoreSelected();
    int selectedRow() const;

    Window window_;
    std::vector<Backups::Entry> entries_;
    QLabel* folder_;
    QTableWidget* list_;
    QLabel* against_;
    QTableWidget* differences_;
    QLabel* summary_;
    QPushButton* open_;
    QPushButton* restore_;
};
