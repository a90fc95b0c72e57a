#include "platform/forms/win32/win32_controls.h"

#include "platform/forms/win32/win32_accessibility.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace zandor::platform {
namespace {

// Puts the selected text on the clipboard with the formats that keep it out of clipboard
// history, the cloud clipboard and clipboard monitors, all in one opening of the clipboard,
// so that no listener sees the text without them.
bool copy_privately(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (end <= start)
        return false;
    const std::u16string text = window_text(edit);
    end = std::min<DWORD>(end, static_cast<DWORD>(text.size()));
    const std::size_t bytes = (end - start + 1) * sizeof(char16_t);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (copy == nullptr)
        return false;
    auto* units = static_cast<char16_t*>(GlobalLock(copy));
    std::memcpy(units, text.data() + start, bytes - sizeof(char16_t));
    units[end - start] = u'\0';
    GlobalUnlock(copy);
    if (!OpenClipboard(edit)) {
        GlobalFree(copy);
        return false;
    }
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, copy);
    for (const wchar_t* format : {L"ExcludeClipboardContentFromMonitorProcessing",
                                  L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
        if (HGLOBAL no = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD))) {
            *static_cast<DWORD*>(GlobalLock(no)) = 0;
            GlobalUnlock(no);
            if (SetClipboardData(RegisterClipboardFormatW(format), no) == nullptr)
                GlobalFree(no);
        }
    }
    CloseClipboard();
    return true;
}

// Copy and cut, from the keyboard or the context menu, both come as WM_COPY and WM_CUT.
LRESULT CALLBACK private_clipboard(HWND edit, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR) {
    switch (message) {
    case WM_COPY:
        copy_privately(edit);
        return 0;
    case WM_CUT:
        if (copy_privately(edit))
            SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, &private_clipboard, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, message, wparam, lparam);
}

} // namespace

Win32TextBox::Win32TextBox(HWND edit) : edit_(edit) {
    SetWindowSubclass(edit_, &private_clipboard, 0, 0);
}

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
    if (live_ && !announcement_pending_) {
        // After the event that wrote the caption, so that the announcement follows whatever
        // else that event did (the Check action selects the entry last).
        announcement_pending_ = true;
        PostMessageW(GetParent(label_), announce_message, 0, reinterpret_cast<LPARAM>(this));
    }
}

void Win32Label::set_auto_size(bool auto_size) {
    auto_size_ = auto_size;
    fit_to_caption();
}

void Win32Label::announce() {
    announcement_pending_ = false;
    announce_live_region_changed(label_);
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
