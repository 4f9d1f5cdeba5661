#pragma once

#include <QString>

class MainWindow;

// The window's start as the program makes it: the COM port mappings of earlier runs,
// Form_Load (placement, Config.ini, the product's default file), the window shown, and
// then, once the window is up, the data file named on the command line, opened as
// File > Open opens it. A file that is refused leaves the default file in the window.
void startWindow(MainWindow& window, const QString& file = {});

// Where the window is started from, for windowFolder.
struct StartPlace {
    QString current; // the working directory
    QString program; // the program's folder
    QString home;    // the user's folder
    QString file;    // the data file to open, as an absolute path; empty when none
    bool currentWritable = true;
};

// The folder the window works in: its Config.ini, the default data files it looks for
// first, where the file dialogs and the trace start. Windows starts a program from a
// shortcut or a double-click in the program's folder, in a folder the user cannot
// write (Program Files, the system folder) or in the folder of the file it opens:
// the window then works in the user's folder, as the Linux desktop entry starts it
// there. Started from a console in a folder of the user's own, it stays there.
// Folders are compared as Windows does, case ignored.
QString windowFolder(const StartPlace& place);

// Windows: moves to windowFolder() of this start; returns `file` as an absolute path
// (empty stays empty), so that it still names the same file.
QString enterWindowFolder(const QString& file);
