#include "icon_images.h"
#include "platform/qt/qt_form.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("zandor"));
    // Raw pixels: decoding an image file would load every image format plugin at start.
    QIcon icon;
    for (const IconImage& image : icon_images)
        icon.addPixmap(QPixmap::fromImage(
            QImage(image.rgba, image.size, image.size, QImage::Format_RGBA8888)));
    QApplication::setWindowIcon(icon);
    zandor::platform::QtForm window(zandor::window::frmMain::description);
    window.show();
    return QApplication::exec();
}
