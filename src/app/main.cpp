#include "MainWindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
    MainWindow window;
    // Devices mapped to COM1..COM4 in the port assistant of earlier runs.
    window.setPortMap(PortAssistant::storedMappings());
    window.Form_Load();
    window.show();
    return app.exec();
}
