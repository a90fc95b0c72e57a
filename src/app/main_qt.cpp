#include "platform/qt/qt_form.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("zandor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zandor.svg")));
    zandor::platform::QtForm window(zandor::window::frmMain::description);
    window.show();
    return QApplication::exec();
}
