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
    : QDialog(parent), Form(description, system_number_format()) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    static const bool factory_installed =
        (QAccessible::installFactory(live_label_accessible), true);
    (void)factory_installed;
    build_form(description, *this);
    place_window(to_pixels(description.client_area, standard_dpi));
}

QtForm::~QtForm() = default;

void QtForm::set_window_caption(std::u16string_view caption) {
    setWindowTitle(qstring(caption));
}

void QtForm::set_font(const FontDescription& font) {
    setFont(caption_font(font)); // before the controls, which inherit it
}

void QtForm::set_client_area(const TwipRect& area) {
    resize(to_qrect(area).size());
}

void QtForm::set_fixed_border(bool fixed) {
    if (fixed)
        setFixedSize(size());
}

void QtForm::set_min_button(bool shown) {
    setWindowFlag(Qt::WindowMinimizeButtonHint, shown);
}

void QtForm::set_max_button(bool shown) {
    setWindowFlag(Qt::WindowMaximizeButtonHint, shown);
}

void QtForm::create_control(std::size_t control, std::string_view name, ControlKind kind) {
    Control& created = controls_.emplace_back();
    switch (kind) {
    case ControlKind::text_box: {
        // No length limit: a pasted entry is checked whole.
        auto* edit = new QtEntryBox(this);
        edit->setInputMethodHints(Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
        connect(edit, &QtEntryBox::edited, this, [this, control] { edited(control); });
        add_text_box(control, *text_boxes_.emplace_back(std::make_unique<QtTextBox>(*edit)));
        created.widget = created.entry_box = edit;
        break;
    }
    case ControlKind::command_button: {
        auto* button = new QPushButton(this);
        connect(button, &QPushButton::clicked, this, [this, control] { clicked(control); });
        created.widget = created.button = button;
        break;
    }
    case ControlKind::label: {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        created.label = labels_.emplace_back(std::make_unique<QtAutoSizeLabel>(*label)).get();
        add_label(control, *created.label);
        created.widget = label;
        break;
    }
    }
    created.widget->setObjectName(
        QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

void QtForm::set_caption(std::size_t control, std::u16string_view caption) {
    const Control& c = controls_[control];
    if (c.entry_box != nullptr) {
        c.entry_box->setText(qstring(caption)); // no undo of it
    } else if (c.button != nullptr) {
        c.button->setText(qstring(caption));
    } else {
        c.label->set_caption(caption);
    }
}

void QtForm::set_geometry(std::size_t control, const TwipRect& geometry) {
    controls_[control].widget->setGeometry(to_qrect(geometry));
}

void QtForm::set_auto_size(std::size_t control, bool auto_size) {
    if (controls_[control].label != nullptr)
        controls_[control].label->set_auto_size(auto_size);
}

void QtForm::set_default(std::size_t control, bool is_default) {
    if (controls_[control].button != nullptr)
        controls_[control].button->setDefault(is_default);
}

void QtForm::set_live(std::size_t control, bool live) {
    controls_[control].widget->setProperty(live_property, live);
    if (controls_[control].label != nullptr)
        controls_[control].label->set_live(live);
}

void QtForm::set_accessible_name(std::size_t control, std::u16string_view name) {
    if (!name.empty())
        controls_[control].widget->setAccessibleName(qstring(name));
}

void QtForm::set_tab_order(std::span<const std::size_t> order) {
    for (std::size_t k = 1; k < order.size(); ++k)
        setTabOrder(controls_[order[k - 1]].widget, controls_[order[k]].widget);
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
