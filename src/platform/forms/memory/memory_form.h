#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// The forms layer in memory: controls and a form that live in memory, for the tests and the
// fuzzer, which run the window's procedures without a toolkit.
namespace zandor::platform {

// A text box whose state is the test's to read and set.
class MemoryTextBox final : public TextBoxControl {
  public:
    [[nodiscard]] std::u16string_view text() const override { return content; }
    void set_text(std::u16string_view text) {
        content.assign(text);
        sel_start = std::min(sel_start, content.size());
        sel_length = 0;
    }
    void set_focus() override { has_focus = true; }
    void set_sel_start(std::size_t start) override {
        sel_start = std::min(start, content.size());
        sel_length = 0;
    }
    void set_sel_length(std::size_t length) override {
        sel_length = std::min(length, content.size() - sel_start);
    }
    void clear_undo_history() override { undo_steps = 0; }
    // The user replaces the text, one step to undo.
    void type(std::u16string_view text) {
        set_text(text);
        ++undo_steps;
    }

    std::u16string content;
    bool has_focus = false;
    std::size_t sel_start = 0;
    std::size_t sel_length = 0;
    std::size_t undo_steps = 0;
};

class MemoryLabel final : public LabelControl {
  public:
    [[nodiscard]] std::u16string_view caption() const override { return shown; }
    void set_caption(std::u16string_view caption) override { shown.assign(caption); }
    std::u16string shown;
};

// A form whose controls live in memory: its event procedures run as in a real window, and a
// test plays the forms engine's part. What the description handed over is kept, field by
// field, in `built` and `built_controls` (tab indices as `tab_order`).
class MemoryForm final : public Form, private FormBuilder {
  public:
    MemoryForm(const FormDescription& description, NumberFormat format)
        : Form(description, format) {
        build_form(description, *this);
    }

    void activate() { activated(); }
    void click(std::string_view name) { clicked(index_of(name)); }
    void type(std::string_view name, std::u16string_view text) {
        memory_text_box(name).type(text);
        edited(index_of(name));
    }
    FormDescription built{};
    std::vector<ControlDescription> built_controls;
    std::vector<std::size_t> tab_order;
    // The screens: the work area of the one at a position, if any, and the primary one's.
    std::optional<PixelRect> screen_at;
    PixelRect primary_screen{};
    PixelRect window{};
    void place(const PixelRect& stored) { place_window(stored); }
    [[nodiscard]] MemoryTextBox& memory_text_box(std::string_view name) {
        return static_cast<MemoryTextBox&>(text_box(name));
    }

  private:
    [[nodiscard]] std::size_t index_of(std::string_view name) const {
        const auto& controls = description().controls;
        return static_cast<std::size_t>(
            std::ranges::find(controls, name, &ControlDescription::name) - controls.begin());
    }
    void set_window_caption(std::u16string_view caption) override { built.caption = caption; }
    void set_font(const FontDescription& font) override { built.font = font; }
    void set_client_area(const TwipRect& area) override { built.client_area = area; }
    void set_fixed_border(bool fixed) override { built.fixed_border = fixed; }
    void set_min_button(bool shown) override { built.min_button = shown; }
    void set_max_button(bool shown) override { built.max_button = shown; }
    void create_control(std::size_t control, std::string_view name, ControlKind kind) override {
        built_controls.push_back({.name = name, .kind = kind});
        if (kind == ControlKind::text_box)
            add_text_box(control, *text_boxes_.emplace_back(std::make_unique<MemoryTextBox>()));
        else if (kind == ControlKind::label)
            add_label(control, *labels_.emplace_back(std::make_unique<MemoryLabel>()));
    }
    void set_caption(std::size_t control, std::u16string_view caption) override {
        built_controls[control].caption = caption;
        if (built_controls[control].kind == ControlKind::label)
            label(built_controls[control].name).set_caption(caption);
    }
    void set_geometry(std::size_t control, const TwipRect& geometry) override {
        built_controls[control].geometry = geometry;
    }
    void set_auto_size(std::size_t control, bool auto_size) override {
        built_controls[control].auto_size = auto_size;
    }
    void set_default(std::size_t control, bool is_default) override {
        built_controls[control].is_default = is_default;
    }
    void set_live(std::size_t control, bool live) override { built_controls[control].live = live; }
    void set_accessible_name(std::size_t control, std::u16string_view name) override {
        built_controls[control].accessible_name = name;
    }
    void set_tab_order(std::span<const std::size_t> order) override {
        tab_order.assign(order.begin(), order.end());
    }
    std::optional<PixelRect> work_area_at(const PixelRect&) const override { return screen_at; }
    PixelRect primary_work_area() const override { return primary_screen; }
    void move_window(const PixelRect& to) override { window = to; }

    std::vector<std::unique_ptr<MemoryTextBox>> text_boxes_;
    std::vector<std::unique_ptr<MemoryLabel>> labels_;
};

} // namespace zandor::platform
