#include "platform/forms/qt/qt_form.h"

#include "platform/forms/qt/qt_controls.h"
#include "platform/forms/qt/qt_entry_box.h"
#include "platform/values/system_number_format.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace zandor::platform {
namespace {

QString qstring(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QRect to_qrect(const PixelRect& r) {
    return {r.left, r.top, r.width(), r.height()};
}

PixelRect to_pixel_rect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// Device-independent pixels: Qt's high-DPI scaling serves denser screens.
QRect to_qrect(TwipRect twips) {
    return to_qrect(to_pixels(twips, standard_dpi));
}

// The described face is a Windows bitmap font that Linux lacks. Liberation Sans at 10 px for
// 8 points keeps every caption inside the widths stored for it.
QFont caption_font(const FontDescription& described) {
    QFont font;
    font.setFamilies(
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(described.points * 5 / 4);
    return font;
}

// A live label is a notification to screen readers, named by its caption.
class LiveLabelAccessible final : public QAccessibleWidget {
  public:
    explicit LiveLabelAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::Notification) {}
    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

constexpr const char* live_property = "zandorLive";

QAccessibleInterface* live_label_accessible(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String("QLabel") && object != nullptr &&
        object->property(live_property).toBool())
        return new LiveLabelAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

QtForm::QtForm(const FormDescription& description, QWidget* parent)
    : QDialog(parent), Form(description), number_format_(system_number_format()) {
    setWindowTitle(qstring(description.caption));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (description.min_button)
        flags |= Qt::WindowMinimizeButtonHint;
    if (description.max_button)
        flags |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
    const QRect client = to_qrect(description.client_area);
    if (description.fixed_border)
        setFixedSize(client.size());
    else
        resize(client.size());
    setFont(caption_font(description.font)); // before the controls, which inherit it
    static const bool factory_installed =
        (QAccessible::installFactory(live_label_accessible), true);
    (void)factory_installed;

    std::vector<QWidget*> widgets;
    for (std::size_t i = 0; i < description.controls.size(); ++i)
        widgets.push_back(create_control(i));
    const std::vector<std::size_t> order = tab_order(description);
    for (std::size_t k = 1; k < order.size(); ++k)
        setTabOrder(widgets[order[k - 1]], widgets[order[k]]);
    place_window(to_pixels(description.client_area, standard_dpi));
}

QtForm::~QtForm() = default;

QWidget* QtForm::create_control(std::size_t index) {
    const ControlDescription& control = description().controls[index];
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::text_box: {
        // No length limit, and no layout of more than it shows: a pasted entry is checked whole.
        auto* edit = new QtEntryBox(this);
        edit->insert(qstring(control.caption));
        edit->clearHistory();
        edit->setInputMethodHints(Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
        connect(edit, &QtEntryBox::edited, this, [this, index] { edited(index); });
        add_text_box(index, *text_boxes_.emplace_back(std::make_unique<QtTextBox>(*edit)));
        widget = edit;
        break;
    }
    case ControlKind::command_button: {
        auto* button = new QPushButton(qstring(control.caption), this);
        button->setDefault(control.is_default);
        connect(button, &QPushButton::clicked, this, [this, index] { clicked(index); });
        widget = button;
        break;
    }
    case ControlKind::label: {
        auto* label = new QLabel(qstring(control.caption), this);
        label->setTextFormat(Qt::PlainText);
        label->setProperty(live_property, control.live);
        add_label(index, *labels_.emplace_back(std::make_unique<QtAutoSizeLabel>(
                             *label, control.auto_size, control.live)));
        widget = label;
        break;
    }
    }
    widget->setObjectName(
        QString::fromLatin1(control.name.data(), static_cast<qsizetype>(control.name.size())));
    widget->setGeometry(to_qrect(control.geometry));
    if (!control.accessible_name.empty())
        widget->setAccessibleName(qstring(control.accessible_name));
    if (control.auto_size)
        widget->adjustSize();
    return widget;
}

bool QtForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        activated();
    return QDialog::event(event);
}

void QtForm::keyPressEvent(QKeyEvent* event) {
    // A dialog closes on Escape; a form without a cancel button stays.
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The client area, in device-independent pixels; the window manager may still place it.
std::optional<PixelRect> QtForm::work_area_at(const PixelRect& window) const {
    if (const QScreen* screen = QGuiApplication::screenAt(to_qrect(window).center()))
        return to_pixel_rect(screen->availableGeometry());
    return std::nullopt;
}

PixelRect QtForm::primary_work_area() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? to_pixel_rect(screen->availableGeometry()) : PixelRect{};
}

void QtForm::move_window(const PixelRect& window) {
    setGeometry(to_qrect(window));
}

} // namespace zandor::platform
