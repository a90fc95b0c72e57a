// The floor for start-up time and memory: a Qt Widgets window showing one line of text.

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLabel label(QStringLiteral("Minimal window"));
    label.setWindowTitle(QStringLiteral("minimal"));
    label.show();
    return QApplication::exec();
}
