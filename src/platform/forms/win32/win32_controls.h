#pragma once

#include "platform/forms/controls.h"

#include <windows.h>

#include <string>

// The control interfaces over the Windows API's own EDIT and STATIC controls.
namespace zandor::platform {

// The message a live label posts to its window once its caption changed, for the window to
// announce the label (lparam) after the event that changed it.
inline constexpr UINT announce_message = WM_APP + 1;

class Win32TextBox final : public TextBoxControl {
  public:
    // Copies and cuts from the box leave the text out of clipboard history, the cloud
    // clipboard and clipboard monitors.
    explicit Win32TextBox(HWND edit);
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

// A label; an auto-size one follows its caption in its font, growing to the right. A live one
// is announced once after each event that changed its caption.
class Win32Label final : public LabelControl {
  public:
    explicit Win32Label(HWND label) : label_(label) {}
    [[nodiscard]] std::u16string_view caption() const override;
    void set_caption(std::u16string_view caption) override;
    void set_auto_size(bool auto_size);
    void set_live(bool live) { live_ = live; }
    // Sizes an auto-size label to its caption; called again when the font changes.
    void fit_to_caption();
    // Handles announce_message.
    void announce();

  private:
    HWND label_;
    bool auto_size_ = false;
    bool live_ = false;
    bool announcement_pending_ = false;
    mutable std::u16string snapshot_;
};

// The text of a window, as UTF-16.
[[nodiscard]] std::u16string window_text(HWND window);

// Text for the Windows API's wide-character calls.
[[nodiscard]] inline std::wstring to_wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

} // namespace zandor::platform
