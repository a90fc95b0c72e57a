#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// Controls and a form that live in memory, for the tests and the fuzzer.
namespace zandor::platform {

class MemoryTextBox final : public TextBoxControl {
  public:
    [[nodiscard]] std::u16string_view text() const override { return text_; }
    void set_text(std::u16string_view text) {
        text_.assign(text);
        sel_start_ = std::min(sel_start_, text_.size());
        sel_length_ = 0;
    }
    void set_focus() override { has_focus_ = true; }
    void set_sel_start(std::size_t start) override {
        sel_start_ = std::min(start, text_.size());
        sel_length_ = 0;
    }
    void set_sel_length(std::size_t length) override {
        sel_length_ = std::min(length, text_.size() - sel_start_);
    }
    void clear_undo_history() override { undo_steps_ = 0; }
    // The user replaces the text, one step to undo.
    void type(std::u16string_view text) {
        set_text(text);
        ++undo_steps_;
    }
    [[nodiscard]] std::size_t undo_steps() const { return undo_steps_; }

    [[nodiscard]] bool has_focus() const { return has_focus_; }
    void lose_focus() { has_focus_ = false; }
    [[nodiscard]] std::size_t sel_start() const { return sel_start_; }
    [[nodiscard]] std::size_t sel_length() const { return sel_length_; }

  private:
    std::u16string text_;
    bool has_focus_ = false;
    std::size_t sel_start_ = 0;
    std::size_t sel_length_ = 0;
    std::size_t undo_steps_ = 0;
};

class MemoryLabel final : public LabelControl {
  public:
    [[nodiscard]] std::u16string_view caption() const override { return caption_; }
    void set_caption(std::u16string_view caption) override { caption_.assign(caption); }

  private:
    std::u16string caption_;
};

// A form whose controls live in memory: its event procedures run as in a real window, and a
// test plays the forms engine's part.
class MemoryForm final : public Form {
  public:
    MemoryForm(const FormDescription& description, NumberFormat format)
        : Form(description), format_(format) {
        for (std::size_t i = 0; i < description.controls.size(); ++i) {
            const ControlDescription& control = description.controls[i];
            if (control.kind == ControlKind::text_box) {
                add_text_box(i, *text_boxes_.emplace_back(std::make_unique<MemoryTextBox>()));
            } else if (control.kind == ControlKind::label) {
                auto& label = *labels_.emplace_back(std::make_unique<MemoryLabel>());
                label.set_caption(control.caption);
                add_label(i, label);
            }
        }
    }
    [[nodiscard]] NumberFormat number_format() const override { return format_; }

    void activate() { activated(); }
    void click(std::string_view name) { clicked(index_of(name)); }
    void type(std::string_view name, std::u16string_view text) {
        memory_text_box(name).type(text);
        edited(index_of(name));
    }
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
    std::optional<PixelRect> work_area_at(const PixelRect&) const override { return screen_at; }
    PixelRect primary_work_area() const override { return primary_screen; }
    void move_window(const PixelRect& to) override { window = to; }

    NumberFormat format_;
    std::vector<std::unique_ptr<MemoryTextBox>> text_boxes_;
    std::vector<std::unique_ptr<MemoryLabel>> labels_;
};

} // namespace zandor::platform
