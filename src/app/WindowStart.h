#pragma once

#include <QString>

class MainWindow;

// The window's start as the program makes it: the COM port mappings of earlier runs,
// Form_Load (placement, Config.ini, the product's default file), the window shown, and
// then, once the window is up, the data file named on the command line, opened as
// File > Open opens it. A file that is refused leaves the default file in the window.
void startWindow(MainWindow& window, const QString& file = {});
