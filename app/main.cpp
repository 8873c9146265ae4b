#include <QApplication>
#include <QWidget>

// Start-up: the window arrives with its own change; until then the program shows an empty
// window of the final size.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Quorvane - by Varnhollow"));
    window.setFixedSize(521, 549);
    window.show();
    return QApplication::exec();
}
