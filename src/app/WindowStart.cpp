#include "WindowStart.h"

#include "MainWindow.h"

#include <QTimer>

void startWindow(MainWindow& window, const QString& file)
{
    window.setPortMap(PortAssistant::storedMappings());
    window.Form_Load();
    window.show();
    if (!file.isEmpty())
        QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
}
