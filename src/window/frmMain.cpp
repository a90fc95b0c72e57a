#include "window/frmMain.h"

#include "platform/system_number_format.h"
#include "window/check_action.h"
#include "window/frmMain_layout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <limits>

namespace zandor::window {
namespace {

QLabel* make_label(QWidget* parent, const char* name, const QString& caption,
                   layout::TwipRect geometry) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(layout::to_pixels(geometry));
    return label;
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QDialog(parent), Text1(new QLineEdit(this)), Command1(new QPushButton(this)),
      Label3(make_label(this, "Label3", QStringLiteral("Between >"), layout::Label3)),
      Label2(make_label(this, "Label2", QStringLiteral("|      |  "), layout::Label2)),
      Label1(make_label(this, "Label1", QString(), layout::Label1)), text1_control_(*Text1),
      label1_control_(*Label1), number_format_(platform::system_number_format()) {
    setWindowTitle(QStringLiteral("ZANDOR"));
    setWindowIcon(QIcon(QStringLiteral(":/zandor.svg")));
    // Title bar with system menu and close box; no minimise or maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(layout::to_pixels(layout::client_area).size());

    QFont font;
    font.setFamilies(
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(layout::font_pixel_size);
    setFont(font);

    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(layout::to_pixels(layout::Text1));
    Text1->setMaxLength(std::numeric_limits<int>::max()); // a pasted entry is checked whole
    Text1->setInputMethodHints(Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    Text1->setAccessibleName(QStringLiteral("Card number"));

    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setText(QStringLiteral("Check"));
    Command1->setGeometry(layout::to_pixels(layout::Command1));
    Command1->setDefault(true);

    // Auto-size: each label's width follows its caption in the window's font, now set.
    for (QLabel* label : {Label3, Label2, Label1})
        label->adjustSize();

    // Tab order: Command1, then Text1; the labels take no focus.
    setTabOrder(Command1, Text1);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    place_on_screen();
}

bool frmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        Form_Activate();
    }
    return QDialog::event(event);
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    // A dialog closes on Escape; this window has no cancel button and stays.
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMain::Form_Activate() {
    text1_control_.set_focus();
}

void frmMain::Command1_Click() {
    window::Command1_Click(text1_control_, label1_control_, number_format_);
}

void frmMain::place_on_screen() {
    QRect wanted = layout::to_pixels(layout::client_area);
    const QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (screen == nullptr || !screen->availableGeometry().contains(wanted)) {
        screen = QGuiApplication::primaryScreen();
        if (screen != nullptr)
            wanted.moveCenter(screen->availableGeometry().center());
    }
    setGeometry(wanted);
}

} // namespace zandor::window
