#pragma once

#include "FileChooser.h"

#include <QString>

#include <functional>

class EditorSession;
class QWidget;
struct Form;

// The File menu's commands for the group and speed-dial lists as CSV (Export
// Lists..., Import Lists...) and the configuration report (Print Report..., Export
// Report...). Each first completes the box being typed in, as Save As does, so that
// what goes out is what the window shows.
class ListsAndReport {
public:
    // What of the main window the commands use.
    struct Window {
        QWidget* widget; // the dialogs' parent
        EditorSession& session;
        std::function<QString(FileChooser::Kind kind, const QString& title)> choose;
        std::function<void()> completeTyping;
        // The form an import gives, in place of the window's, as one change (as Open
        // replaces it): the one place an undo step for the whole import hooks in.
        std::function<void(const Form&)> replaceForm;
    };
    explicit ListsAndReport(Window window) : window_(std::move(window)) {}

    void exportLists();
    void importLists();
    void printReport();
    void exportReport();

private:
    Window window_;
};
