#include "platform/forms/win32/win32_controls.h"

#include <algorithm>

namespace zandor::platform {

std::u16string window_text(HWND window) {
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    const int got = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()),
                                   static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

std::u16string_view Win32TextBox::text() const {
    snapshot_ = window_text(edit_);
    return snapshot_;
}

void Win32TextBox::set_focus() {
    SendMessageW(GetParent(edit_), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit_), TRUE);
}

void Win32TextBox::set_sel_start(std::size_t start) {
    sel_start_ = std::min(start, static_cast<std::size_t>(GetWindowTextLengthW(edit_)));
    SendMessageW(edit_, EM_SETSEL, sel_start_, static_cast<LPARAM>(sel_start_));
}

void Win32TextBox::set_sel_length(std::size_t length) {
    const auto size = static_cast<std::size_t>(GetWindowTextLengthW(edit_));
    const std::size_t end = sel_start_ + std::min(length, size - std::min(sel_start_, size));
    SendMessageW(edit_, EM_SETSEL, sel_start_, static_cast<LPARAM>(end));
}

void Win32TextBox::clear_undo_history() {
    SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
}

std::u16string_view Win32Label::caption() const {
    snapshot_ = window_text(label_);
    return snapshot_;
}

void Win32Label::set_caption(std::u16string_view caption) {
    SetWindowTextW(label_, to_wide(caption).c_str());
    fit_to_caption();
}

void Win32Label::fit_to_caption() {
    if (!auto_size_)
        return;
    const std::u16string text = window_text(label_);
    HDC dc = GetDC(label_);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label_, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, to_wide(text).c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(label_, dc);
    SetWindowPos(label_, nullptr, 0, 0, extent.cx, metrics.tmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace zandor::platform
