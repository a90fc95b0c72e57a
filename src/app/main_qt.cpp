#include "icon_images.h"
#include "platform/forms/qt/qt_form.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr const char* usage = "Usage: zandor [--help | --version]\n"
                              "Opens the ZANDOR window: type a payment-card number and press "
                              "Check or Enter.\n";

// What the platform layer, or any critical message, said first while the application
// started: the cause, when it cannot start (no display, a display that does not answer, a
// platform plugin missing). The critical messages are held until it has started.
QString first_cause;
QStringList held_messages;

[[noreturn]] void cannot_start(QString reason) {
    reason = reason.trimmed();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        reason += QStringLiteral(" (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    std::fprintf(stderr, "zandor: cannot start the window: %s\n", qPrintable(reason));
    std::_Exit(1);
}

// Qt ends a program that cannot start its platform with a page of messages and an abort;
// while the application starts, say why in one line and exit with status 1 instead.
void start_up_message(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg)
        cannot_start(first_cause.isEmpty() ? message.section(QLatin1Char('\n'), 0, 0)
                                           : first_cause);
    const bool from_platform =
        context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if ((from_platform || type == QtCriticalMsg) && first_cause.isEmpty())
        first_cause = message;
    if (type == QtCriticalMsg)
        held_messages.append(message);
}

// Qt's Wayland platform, when it is the only one Qt will try, fails at an unreachable display
// in words that vary with the release (and libwayland adds lines of its own). Connecting
// first, as it would (WAYLAND_DISPLAY, by default wayland-0, in XDG_RUNTIME_DIR unless a
// full path), names the display and the reason.
QString wayland_display_unreachable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() ? !qEnvironmentVariableIsEmpty("DISPLAY") ||
                                 qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                           : !platform.startsWith("wayland") || platform.contains(';'))
        return {};
    const QByteArray name =
        qgetenv("WAYLAND_DISPLAY").isEmpty() ? "wayland-0" : qgetenv("WAYLAND_DISPLAY");
    const QByteArray path = name.startsWith('/') ? name : qgetenv("XDG_RUNTIME_DIR") + '/' + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    int error = ENAMETOOLONG;
    const int socket_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (static_cast<std::size_t>(path.size()) < sizeof address.sun_path) {
        std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
        const auto* to = reinterpret_cast<const sockaddr*>(&address);
        error = connect(socket_fd, to, sizeof address) == 0 ? 0 : errno;
    }
    close(socket_fd);
    return error == 0 ? QString()
                      : QStringLiteral("cannot connect to the Wayland display %1: %2")
                            .arg(QString::fromLocal8Bit(name),
                                 QString::fromLocal8Bit(std::strerror(error)));
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
    if (const QString unreachable = wayland_display_unreachable(); !unreachable.isEmpty())
        cannot_start(unreachable);
    const QtMessageHandler previous = qInstallMessageHandler(start_up_message);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString& message : held_messages)
        std::fprintf(stderr, "%s\n", qPrintable(message));

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
