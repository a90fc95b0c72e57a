#pragma once

#include "platform/forms/forms.h"
#include "platform/forms/win32/win32_controls.h"

#include <windows.h>

#include <memory>
#include <vector>

// The forms layer on the Windows API: a window built from a form description, with the
// platform's own dialog keyboard handling (default button, Tab order, Enter, focus restore).
namespace zandor::platform {

// Each control's identifier: first_control_id plus its place in the description.
inline constexpr int first_control_id = 100;

class Win32Form final : public Form {
  public:
    Win32Form(const FormDescription& description, HINSTANCE instance, int icon_resource);
    ~Win32Form() override;
    [[nodiscard]] NumberFormat number_format() const override { return number_format_; }

    // Creates and shows the window, then runs the message loop until the window is closed;
    // returns the exit status.
    int run(int show_command);

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool create_window();
    void create_controls();
    void lay_out(UINT dpi);
    [[nodiscard]] std::optional<PixelRect> work_area_at(const PixelRect& window) const override;
    [[nodiscard]] PixelRect primary_work_area() const override;
    void move_window(const PixelRect& window) override;

    HINSTANCE instance_;
    int icon_resource_;
    NumberFormat number_format_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<std::unique_ptr<Win32TextBox>> text_boxes_;
    std::vector<std::unique_ptr<Win32Label>> labels_;
};

} // namespace zandor::platform
