// The start-up baseline: an empty frameless 1024 x 576 Qt window, titled by
// its first argument.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("empty"));
    window.resize(1024, 576);
    window.show();
    return app.exec();
}
