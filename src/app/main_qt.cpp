#include "icon_images.h"
#include "platform/forms/qt/qt_form.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/prctl.h>

namespace {

constexpr const char* usage = "Usage: zandor [--help | --version]\n"
                              "Opens the ZANDOR window: type a payment-card number and press "
                              "Check or Enter.\n";

// Qt ends a program that cannot open its display with a page of messages and an abort; while
// the application starts, say it in one line and exit with status 1 instead.
void start_up_message(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        const QByteArray display =
            qgetenv("WAYLAND_DISPLAY").isEmpty() ? qgetenv("DISPLAY") : qgetenv("WAYLAND_DISPLAY");
        if (display.isEmpty())
            std::fputs("zandor: no display to open the window on (neither DISPLAY nor "
                       "WAYLAND_DISPLAY is set).\n",
                       stderr);
        else
            std::fprintf(stderr, "zandor: cannot open the display '%s'.\n", display.constData());
        std::_Exit(1);
    }
    if (type != QtWarningMsg && type != QtInfoMsg && type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 &&
        (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(std::strcmp(argv[1], "--help") == 0 ? usage : "zandor " ZANDOR_VERSION "\n",
                   stdout);
        return 0;
    }
#if !defined(__SANITIZE_ADDRESS__)
    // No core dump holding card numbers, and no reading of this process's memory by others.
    // (LeakSanitizer's checker needs to trace the process, so test builds keep it.)
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
    const QtMessageHandler previous = qInstallMessageHandler(start_up_message);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);

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
