#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tervalo Systems - Vireo Logic Board Programmer"));
    window.show();
    return app.exec();
}
