#include "platform/forms/win32/win32_form.h"

#include "platform/values/system_number_format.h"

#include <commctrl.h>

#include <string>

namespace zandor::platform {
namespace {

constexpr wchar_t class_name[] = L"ZandorForm";
constexpr int points_per_inch = 72;

DWORD window_style(const FormDescription& form) {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (!form.fixed_border)
        style |= WS_THICKFRAME;
    if (form.min_button)
        style |= WS_MINIMIZEBOX;
    if (form.max_button)
        style |= WS_MAXIMIZEBOX;
    return style;
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD extended_style;
};

ControlClass control_class(const ControlDescription& control) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
    case ControlKind::text_box:
        // Without ES_AUTOHSCROLL the box takes no more characters than it can show.
        return {L"EDIT", child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::command_button:
        return {L"BUTTON",
                child | WS_TABSTOP | (control.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
    case ControlKind::label:
        break;
    }
    return {L"STATIC", child | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
}

RECT to_rect(PixelRect r) {
    return {r.left, r.top, r.right, r.bottom};
}

PixelRect to_pixel_rect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

Win32Form::Win32Form(const FormDescription& description, HINSTANCE instance, int icon_resource)
    : Form(description), instance_(instance), icon_resource_(icon_resource),
      number_format_(system_number_format()) {}

Win32Form::~Win32Form() {
    if (window_ != nullptr)
        DestroyWindow(window_);
    if (font_ != nullptr)
        DeleteObject(font_);
}

int Win32Form::run(int show_command) {
    const INITCOMMONCONTROLSEX common_controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common_controls);
    if (!create_window())
        return 1;
    const UINT dpi = GetDpiForWindow(window_);
    create_controls();
    lay_out(dpi);
    // The whole window, frame and all, at the stored position of its client area.
    RECT frame = to_rect(to_pixels(description().client_area, static_cast<int>(dpi)));
    AdjustWindowRectExForDpi(&frame, window_style(description()), FALSE, WS_EX_CONTROLPARENT, dpi);
    place_window(to_pixel_rect(frame));
    ShowWindow(window_, show_command);
    UpdateWindow(window_);

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
    const auto icon_name = MAKEINTRESOURCEW(icon_resource_);
    // A dialog class: the dialog manager keeps its state in the extra bytes.
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &Win32Form::procedure;
    window_class.cbWndExtra = DLGWINDOWEXTRA;
    window_class.hInstance = instance_;
    window_class.hIcon = LoadIconW(instance_, icon_name);
    window_class.hIconSm = static_cast<HICON>(
        LoadImageW(instance_, icon_name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = class_name;
    if (RegisterClassExW(&window_class) == 0)
        return false;

    window_ =
        CreateWindowExW(WS_EX_CONTROLPARENT, class_name, to_wide(description().caption).c_str(),
                        window_style(description()), CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    return window_ != nullptr;
}

void Win32Form::create_controls() {
    const auto& controls = description().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlClass kind = control_class(controls[i]);
        HWND control = CreateWindowExW(
            kind.extended_style, kind.name, to_wide(controls[i].caption).c_str(), kind.style, 0, 0,
            0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(first_control_id + static_cast<int>(i))),
            instance_, nullptr);
        controls_.push_back(control);
        if (controls[i].kind == ControlKind::text_box) {
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0); // no limit but the system's
            add_text_box(i, *text_boxes_.emplace_back(std::make_unique<Win32TextBox>(control)));
        } else if (controls[i].kind == ControlKind::label) {
            add_label(i, *labels_.emplace_back(
                             std::make_unique<Win32Label>(control, controls[i].auto_size)));
        } else if (controls[i].is_default) {
            SendMessageW(window_, DM_SETDEFID, static_cast<WPARAM>(first_control_id + i), 0);
        }
    }
    // The dialog manager tabs in z-order: stack the controls by their tab index.
    HWND previous = HWND_TOP;
    for (const std::size_t i : tab_order(description())) {
        SetWindowPos(controls_[i], previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = controls_[i];
    }
}

// Font and control geometry at a pixel density.
void Win32Form::lay_out(UINT dpi) {
    const auto pixels_per_inch = static_cast<int>(dpi);
    const FontDescription& font = description().font;
    HFONT new_font =
        CreateFontW(-MulDiv(font.points, pixels_per_inch, points_per_inch), 0, 0, 0, FW_NORMAL,
                    FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, to_wide(font.face).c_str());
    const auto& controls = description().controls;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(new_font), TRUE);
        const PixelRect r = to_pixels(controls[i].geometry, pixels_per_inch);
        SetWindowPos(controls_[i], nullptr, r.left, r.top, r.width(), r.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& label : labels_)
        label->fit_to_caption();
    if (font_ != nullptr)
        DeleteObject(font_);
    font_ = new_font;
}

std::optional<PixelRect> Win32Form::work_area_at(const PixelRect& window) const {
    const RECT r = to_rect(window);
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
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
        const ControlKind kind = description().controls[index].kind;
        if (kind == ControlKind::text_box && HIWORD(wparam) == EN_CHANGE)
            edited(index);
        else if (kind == ControlKind::command_button && HIWORD(wparam) == BN_CLICKED)
            clicked(index);
        return 0;
    }
    case WM_ACTIVATE: {
        // The dialog manager restores the focus of an earlier activation first.
        const LRESULT result = DefDlgProcW(window_, message, wparam, lparam);
        if (LOWORD(wparam) != WA_INACTIVE)
            activated();
        return result;
    }
    case WM_DPICHANGED: {
        lay_out(HIWORD(wparam));
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
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
