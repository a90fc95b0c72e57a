#pragma once

#include "platform/forms/forms.h"
#include "platform/forms/win32/win32_accessibility.h"
#include "platform/forms/win32/win32_controls.h"

#include <windows.h>

#include <memory>
#include <vector>

// The forms layer on the Windows API: a window built from a form description, with the
// platform's own dialog keyboard handling (default button, Tab order, Enter, focus restore).
namespace zandor::platform {

// Each control's identifier: first_control_id plus its place in the description.
inline constexpr int first_control_id = 100;

class Win32Form final : public Form, private FormBuilder {
  public:
    Win32Form(const FormDescription& description, HINSTANCE instance, int icon_resource);
    ~Win32Form() override;

    // Creates and shows the window, then runs the message loop until the window is closed;
    // returns the exit status.
    int run(int show_command);

  private:
    struct Control {
        HWND window = nullptr;
        ControlKind kind = ControlKind::label;
        TwipRect geometry{};
        Win32Label* label = nullptr;
    };

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

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool create_window();
    void set_style(DWORD style, bool on);
    // The window's outer rectangle for its client area at a pixel density, at the stored
    // position.
    [[nodiscard]] RECT frame_at(UINT dpi) const;
    void lay_out(UINT dpi);
    void set_icons(UINT dpi);

    HINSTANCE instance_;
    int icon_resource_;
    AccessibleAnnotations annotations_;
    HWND window_ = nullptr;
    FontDescription font_description_{};
    TwipRect client_area_{};
    HFONT font_ = nullptr;
    HICON icons_[2] = {}; // small, big
    std::vector<Control> controls_;
    std::vector<std::unique_ptr<Win32TextBox>> text_boxes_;
    std::vector<std::unique_ptr<Win32Label>> labels_;
};

} // namespace zandor::platform
