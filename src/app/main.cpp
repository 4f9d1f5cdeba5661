#include "MainWindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
    // Devices mapped to COM1..COM4 in the port assistant.
    PortAssistant::applyStoredMappings();
    MainWindow window;
    window.Form_Load();
    window.show();
    return app.exec();
}
