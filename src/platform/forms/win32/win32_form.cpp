#include "platform/forms/win32/win32_form.h"

#include "platform/values/system_number_format.h"

#include <commctrl.h>

#include <string>
#include <string_view>

namespace zandor::platform {
namespace {

constexpr wchar_t class_name[] = L"ZandorForm";
constexpr int points_per_inch = 72;
// Posted to the window once it shows, to annotate its controls for screen readers.
constexpr UINT annotate_message = WM_APP + 2;
// Posted by an activation, to run the form's own after it.
constexpr UINT activate_message = WM_APP + 3;

// A window with a title bar, a system menu and a close box; the description adds the rest.
constexpr DWORD base_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD extended_style = WS_EX_CONTROLPARENT;

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD extended_style;
};

ControlClass control_class(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case ControlKind::text_box:
        // Without ES_AUTOHSCROLL the box takes no more characters than it can show.
        return {L"EDIT", child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::command_button:
        return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::label:
        break;
    }
    return {L"STATIC", child | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
}

HFONT create_font(std::wstring_view face, int height) {
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, std::wstring(face).c_str());
}

// The described font at a pixel density. A bitmap face comes in a few sizes only; where none
// has the size asked for, the TrueType face drawn to its metrics takes its place, so that the
// captions keep the widths the layout stored for them.
HFONT create_caption_font(const FontDescription& font, int dpi) {
    const int height = -MulDiv(font.points, dpi, points_per_inch);
    HFONT created = create_font(to_wide(font.face), height);
    HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, created);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    const bool scalable = (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) != 0;
    if (scalable || metrics.tmHeight - metrics.tmInternalLeading == -height)
        return created;
    DeleteObject(created);
    return create_font(L"Microsoft Sans Serif", height);
}

PixelRect to_pixel_rect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

Win32Form::Win32Form(const FormDescription& description, HINSTANCE instance, int icon_resource)
    : Form(description, system_number_format()), instance_(instance),
      icon_resource_(icon_resource) {}

Win32Form::~Win32Form() {
    annotations_.clear();
    if (window_ != nullptr)
        DestroyWindow(window_);
    if (font_ != nullptr)
        DeleteObject(font_);
    for (HICON icon : icons_)
        if (icon != nullptr)
            DestroyIcon(icon);
}

int Win32Form::run(int show_command) {
    const INITCOMMONCONTROLSEX common_controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common_controls);
    if (!create_window())
        return 1;
    build_form(description(), *this);
    const UINT dpi = GetDpiForWindow(window_);
    set_icons(dpi);
    lay_out(dpi);
    const RECT frame = frame_at(dpi);
    place_window(to_pixel_rect(frame));
    ShowWindow(window_, show_command);
    UpdateWindow(window_);
    PostMessageW(window_, annotate_message, 0, 0);

    MSG message{};
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (window_ == nullptr || !IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}

bool Win32Form::create_window() {
    // A dialog class: the dialog manager keeps its state in the extra bytes.
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &Win32Form::procedure;
    window_class.cbWndExtra = DLGWINDOWEXTRA;
    window_class.hInstance = instance_;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = class_name;
    if (RegisterClassExW(&window_class) == 0)
        return false;
    window_ =
        CreateWindowExW(extended_style, class_name, L"", base_style, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    return window_ != nullptr;
}

// The icons for the window's pixel density: drawn from the icon's nearest larger image by
// the common controls, which this toolchain's import library does not name.
void Win32Form::set_icons(UINT dpi) {
    using LoadScaledDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto load_scaled_down = reinterpret_cast<LoadScaledDown>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
    const int sizes[2][2] = {{SM_CXSMICON, SM_CYSMICON}, {SM_CXICON, SM_CYICON}};
    for (int big = 0; big < 2; ++big) {
        const int width = GetSystemMetricsForDpi(sizes[big][0], dpi);
        const int height = GetSystemMetricsForDpi(sizes[big][1], dpi);
        const auto name = MAKEINTRESOURCEW(icon_resource_);
        HICON icon = nullptr;
        if (load_scaled_down == nullptr ||
            FAILED(load_scaled_down(instance_, name, width, height, &icon)))
            icon = static_cast<HICON>(LoadImageW(instance_, name, IMAGE_ICON, width, height, 0));
        if (icon == nullptr)
            continue;
        SendMessageW(window_, WM_SETICON, big != 0 ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(icon));
        if (icons_[big] != nullptr)
            DestroyIcon(icons_[big]);
        icons_[big] = icon;
    }
}

void Win32Form::set_window_caption(std::u16string_view caption) {
    SetWindowTextW(window_, to_wide(caption).c_str());
}

void Win32Form::set_font(const FontDescription& font) {
    font_description_ = font; // made at each pixel density the window meets
}

void Win32Form::set_client_area(const TwipRect& area) {
    client_area_ = area; // sized and placed once the window's density is known
}

void Win32Form::set_style(DWORD style, bool on) {
    const auto current = static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE));
    SetWindowLongW(window_, GWL_STYLE, static_cast<LONG>(on ? current | style : current & ~style));
}

void Win32Form::set_fixed_border(bool fixed) {
    set_style(WS_THICKFRAME, !fixed);
}

void Win32Form::set_min_button(bool shown) {
    set_style(WS_MINIMIZEBOX, shown);
}

void Win32Form::set_max_button(bool shown) {
    set_style(WS_MAXIMIZEBOX, shown);
}

void Win32Form::create_control(std::size_t control, std::string_view, ControlKind kind) {
    const ControlClass type = control_class(kind);
    HWND window = CreateWindowExW(
        type.extended_style, type.name, L"", type.style, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(first_control_id + static_cast<int>(control))),
        instance_, nullptr);
    Control& created = controls_.emplace_back(Control{window, kind, {}, nullptr});
    if (kind == ControlKind::text_box) {
        SendMessageW(window, EM_SETLIMITTEXT, 0, 0); // no limit but the system's
        add_text_box(control, *text_boxes_.emplace_back(std::make_unique<Win32TextBox>(window)));
    } else if (kind == ControlKind::label) {
        created.label = labels_.emplace_back(std::make_unique<Win32Label>(window)).get();
        add_label(control, *created.label);
    }
}

void Win32Form::set_caption(std::size_t control, std::u16string_view caption) {
    if (controls_[control].label != nullptr) {
        controls_[control].label->set_caption(caption);
    } else {
        SetWindowTextW(controls_[control].window, to_wide(caption).c_str()); // no undo of it
    }
}

void Win32Form::set_geometry(std::size_t control, const TwipRect& geometry) {
    controls_[control].geometry = geometry; // placed at each pixel density the window meets
}

void Win32Form::set_auto_size(std::size_t control, bool auto_size) {
    if (controls_[control].label != nullptr)
        controls_[control].label->set_auto_size(auto_size);
}

void Win32Form::set_default(std::size_t control, bool is_default) {
    if (controls_[control].kind != ControlKind::command_button || !is_default)
        return;
    SendMessageW(controls_[control].window, BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
    SendMessageW(window_, DM_SETDEFID, static_cast<WPARAM>(first_control_id) + control, 0);
}

void Win32Form::set_live(std::size_t control, bool live) {
    if (controls_[control].label != nullptr)
        controls_[control].label->set_live(live);
    if (live)
        annotations_.set_polite_live_region(controls_[control].window);
}

void Win32Form::set_accessible_name(std::size_t control, std::u16string_view name) {
    annotations_.set_name(controls_[control].window, name);
}

// The dialog manager tabs in z-order: the controls are stacked by their tab index.
void Win32Form::set_tab_order(std::span<const std::size_t> order) {
    HWND previous = HWND_TOP;
    for (const std::size_t control : order) {
        SetWindowPos(controls_[control].window, previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = controls_[control].window;
    }
}

RECT Win32Form::frame_at(UINT dpi) const {
    const auto pixels_per_inch = static_cast<int>(dpi);
    // The client area's size from the twips of its size, its place from the stored position.
    const PixelRect size =
        to_pixels({0, 0, client_area_.width, client_area_.height}, pixels_per_inch);
    const int left = twips_to_pixels(client_area_.left, pixels_per_inch);
    const int top = twips_to_pixels(client_area_.top, pixels_per_inch);
    RECT frame{left, top, left + size.width(), top + size.height()};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                             extended_style, dpi);
    return frame;
}

// Font and control geometry at a pixel density. The entry box's margins are a pixel at 96
// dpi whatever the font, so that a card number's 16 digits stay in view.
void Win32Form::lay_out(UINT dpi) {
    const auto pixels_per_inch = static_cast<int>(dpi);
    HFONT new_font = create_caption_font(font_description_, pixels_per_inch);
    const int margin = MulDiv(1, pixels_per_inch, standard_dpi);
    for (const Control& control : controls_) {
        SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(new_font), TRUE);
        if (control.kind == ControlKind::text_box)
            SendMessageW(control.window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                         MAKELPARAM(margin, margin));
        const PixelRect r = to_pixels(control.geometry, pixels_per_inch);
        SetWindowPos(control.window, nullptr, r.left, r.top, r.width(), r.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& label : labels_)
        label->fit_to_caption();
    if (font_ != nullptr)
        DeleteObject(font_);
    font_ = new_font;
}

std::optional<PixelRect> Win32Form::work_area_at(const PixelRect& window) const {
    const RECT r{window.left, window.top, window.right, window.bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HMONITOR on = MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    if (on == nullptr || !GetMonitorInfoW(on, &monitor))
        return std::nullopt;
    return to_pixel_rect(monitor.rcWork);
}

PixelRect Win32Form::primary_work_area() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return to_pixel_rect(monitor.rcWork);
}

void Win32Form::move_window(const PixelRect& window) {
    SetWindowPos(window_, nullptr, window.left, window.top, window.width(), window.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT CALLBACK Win32Form::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr)
        return DefDlgProcW(window, message, wparam, lparam);
    return form->handle(message, wparam, lparam);
}

LRESULT Win32Form::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COMMAND: {
        // Escape sends IDCANCEL, which falls outside the controls: a form without a cancel
        // button ignores it.
        const int id = LOWORD(wparam);
        const auto index = static_cast<std::size_t>(id - first_control_id);
        if (id < first_control_id || index >= controls_.size())
            return 0;
        const ControlKind kind = controls_[index].kind;
        if (kind == ControlKind::text_box && HIWORD(wparam) == EN_CHANGE)
            edited(index);
        else if (kind == ControlKind::command_button && HIWORD(wparam) == BN_CLICKED)
            clicked(index);
        return 0;
    }
    case WM_ACTIVATE: {
        // The dialog manager restores the focus of an earlier activation first; the form's own
        // activation follows once the window has shown, as the message that brought it.
        const LRESULT result = DefDlgProcW(window_, message, wparam, lparam);
        if (LOWORD(wparam) != WA_INACTIVE)
            PostMessageW(window_, activate_message, 0, 0);
        return result;
    }
    case activate_message:
        if (GetActiveWindow() == window_)
            activated();
        return 0;
    case WM_GETDPISCALEDSIZE: {
        // The size the twips give at the new density, not the old size scaled.
        const RECT frame = frame_at(static_cast<UINT>(wparam));
        auto* size = reinterpret_cast<SIZE*>(lparam);
        size->cx = frame.right - frame.left;
        size->cy = frame.bottom - frame.top;
        return TRUE;
    }
    case WM_DPICHANGED: {
        set_icons(HIWORD(wparam));
        lay_out(HIWORD(wparam));
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case annotate_message:
        annotations_.apply();
        return 0;
    case announce_message:
        reinterpret_cast<Win32Label*>(lparam)->announce();
        return 0;
    case WM_CLOSE:
        // The dialog manager would turn it into IDCANCEL; closing the window ends the program.
        DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        HWND window = window_;
        window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefDlgProcW(window, message, wparam, lparam);
    }
    default:
        return DefDlgProcW(window_, message, wparam, lparam);
    }
}

} // namespace zandor::platform
