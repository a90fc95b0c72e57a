#include "icon_images.h"
#include "platform/forms/qt/qt_form.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/prctl.h>

namespace {

constexpr const char* usage = "Usage: zandor [--help | --version]\n"
                              "Opens the ZANDOR window: type a payment-card number and press "
                              "Check or Enter.\n";

// What the platform layer said first while the application started: the cause, when it
// cannot start (no display, a display that does not answer, a platform plugin missing).
QString first_platform_message;

// Qt ends a program that cannot start its platform with a page of messages and an abort;
// while the application starts, say why in one line and exit with status 1 instead.
void start_up_message(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        QString reason = first_platform_message.isEmpty() ? message.section(QLatin1Char('\n'), 0, 0)
                                                          : first_platform_message;
        reason = reason.trimmed();
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            reason += QStringLiteral(" (neither DISPLAY nor WAYLAND_DISPLAY is set)");
        std::fprintf(stderr, "zandor: cannot start the window: %s\n", qPrintable(reason));
        std::_Exit(1);
    }
    const bool from_platform =
        context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (from_platform && first_platform_message.isEmpty())
        first_platform_message = message;
    if (type == QtCriticalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 &&
        (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        if (std::fputs(std::strcmp(argv[1], "--help") == 0 ? usage : "zandor " ZANDOR_VERSION "\n",
                       stdout) < 0 ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "zandor: cannot write output: %s\n", std::strerror(errno));
            return 1;
        }
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
