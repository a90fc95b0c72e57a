#pragma once

#include "platform/controls.h"

#include <algorithm>
#include <string>

// Controls that live in memory: the console tool's, and the tests'.
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

    [[nodiscard]] bool has_focus() const { return has_focus_; }
    void lose_focus() { has_focus_ = false; }
    [[nodiscard]] std::size_t sel_start() const { return sel_start_; }
    [[nodiscard]] std::size_t sel_length() const { return sel_length_; }

  private:
    std::u16string text_;
    bool has_focus_ = false;
    std::size_t sel_start_ = 0;
    std::size_t sel_length_ = 0;
};

class MemoryLabel final : public LabelControl {
  public:
    [[nodiscard]] std::u16string_view caption() const override { return caption_; }
    void set_caption(std::u16string_view caption) override { caption_.assign(caption); }

  private:
    std::u16string caption_;
};

} // namespace zandor::platform
