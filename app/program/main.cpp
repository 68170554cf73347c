// The configuration program: one copy per user, one main window.
#include "app/vela_app.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vela PRO Software"));
    CVELAApp program;
    const int code = program.InitInstance();
    program.ExitInstance();
    return code;
}
