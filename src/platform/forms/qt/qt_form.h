#pragma once

#include "platform/forms/forms.h"

#include <QDialog>

class QPushButton;

#include <memory>
#include <vector>

// The forms layer on Qt Widgets: a window built from a form description. A dialog, because
// Qt gives default-button behaviour to dialogs only.
namespace zandor::platform {

class QtEntryBox;
class QtAutoSizeLabel;

class QtForm final : public QDialog, public Form, private FormBuilder {
    Q_OBJECT

  public:
    explicit QtForm(const FormDescription& description, QWidget* parent = nullptr);
    ~QtForm() override;

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void set_window_caption(std::u16string_view caption) override;
    void set_font(const FontDescription& font) override;
    void set_client_area(const TwipRect& area) override;
    void set_fixed_border(bool fixed) override;
    void set_min_button(bool shown) override;
    void set_max_button(bool shown) override;
    void create_control(std::size_t control, std::string_view name, ControlKind kind) override;
    void set_caption(std::size_t control, std::u16string_view caption) override;
    void set_geometry(std::size_t control, const TwipRect& geometry) override;
    void set_auto_size(std::size_t control, bool auto_size) override;
    void set_default(std::size_t control, bool is_default) override;
    void set_live(std::size_t control, bool live) override;
    void set_accessible_name(std::size_t control, std::u16string_view name) override;
    void set_tab_order(std::span<const std::size_t> order) override;

    [[nodiscard]] std::optional<PixelRect> work_area_at(const PixelRect& window) const override;
    [[nodiscard]] PixelRect primary_work_area() const override;
    void move_window(const PixelRect& window) override;

    struct Control {
        QWidget* widget = nullptr;
        QtEntryBox* entry_box = nullptr;
        QPushButton* button = nullptr;
        QtAutoSizeLabel* label = nullptr;
    };

    std::vector<Control> controls_; // by their place in the description
    std::vector<std::unique_ptr<TextBoxControl>> text_boxes_;
    std::vector<std::unique_ptr<QtAutoSizeLabel>> labels_;
};

} // namespace zandor::platform
