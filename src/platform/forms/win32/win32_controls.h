#pragma once

#include "platform/forms/controls.h"

#include <windows.h>

#include <string>

// The control interfaces over the Windows API's own EDIT and STATIC controls.
namespace zandor::platform {

class Win32TextBox final : public TextBoxControl {
  public:
    explicit Win32TextBox(HWND edit) : edit_(edit) {}
    [[nodiscard]] std::u16string_view text() const override;
    // Through the dialog manager, so that the default button keeps its frame.
    void set_focus() override;
    void set_sel_start(std::size_t start) override;
    void set_sel_length(std::size_t length) override;
    void clear_undo_history() override;

  private:
    HWND edit_;
    mutable std::u16string snapshot_; // keeps the text() view alive
    std::size_t sel_start_ = 0;
};

// A label; an auto-size one follows its caption in its font, growing to the right.
class Win32Label final : public LabelControl {
  public:
    Win32Label(HWND label, bool auto_size) : label_(label), auto_size_(auto_size) {}
    [[nodiscard]] std::u16string_view caption() const override;
    void set_caption(std::u16string_view caption) override;
    // Sizes an auto-size label to its caption; called again when the font changes.
    void fit_to_caption();

  private:
    HWND label_;
    bool auto_size_;
    mutable std::u16string snapshot_;
};

// The text of a window, as UTF-16.
[[nodiscard]] std::u16string window_text(HWND window);

// Text for the Windows API's wide-character calls.
[[nodiscard]] inline std::wstring to_wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

} // namespace zandor::platform
