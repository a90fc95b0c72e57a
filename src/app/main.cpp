#include "window/frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("zandor"));
    zandor::window::frmMain window;
    window.show();
    return QApplication::exec();
}
