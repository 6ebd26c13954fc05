// The program entry: the window program "テルヴァン".
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8("テルヴァン"));
    window.resize(800, 700);
    window.show();
    return app.exec();
}
