// Drives the real zandor.exe (beside this program) from outside, as a person would: keys
// through SendInput, state read through window messages. Usage: window_driver DPI LOCALE
// [MARKER]; with a marker path it creates that file once the window is ready for a
// screenshot and waits until the file is gone.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

// The controls' identifiers: 100 plus their place in the window's description.
enum : int { Text1 = 100, Command1, Label3, Label2, Label1 };

int failures = 0;

void check(bool holds, const char* what, std::wstring_view detail = {}) {
    if (!holds) {
        std::printf("FAIL: %s %ls\n", what, std::wstring(detail).c_str());
        ++failures;
    }
}

// Waits, handing this thread's messages and the window events it hooked out meanwhile.
void pump(int milliseconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount64() < end);
}

template <typename Condition> bool wait_until(Condition condition, int milliseconds = 5000) {
    for (int waited = 0; waited < milliseconds && !condition(); waited += 20)
        pump(20);
    return condition();
}

// The program's window, once it is visible and its last control exists.
HWND find_window(DWORD process) {
    for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, L"ZANDOR"); w != nullptr;
         w = FindWindowExW(nullptr, w, nullptr, L"ZANDOR")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process && IsWindowVisible(w) && GetDlgItem(w, Label1) != nullptr)
            return w;
    }
    return nullptr;
}

std::wstring text_of(HWND control) {
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                        &copied);
    return text;
}

// What a screen reader would hear of the result label: each live-region event, with what the
// label and the entry box showed at that moment.
struct LiveRegionEvents {
    HWND entry = nullptr;
    int count = 0;
    std::wstring label_text;
    bool entry_selected_whole = false;
} live_events;

void CALLBACK live_region_changed(HWINEVENTHOOK, DWORD, HWND label, LONG object, LONG child, DWORD,
                                  DWORD) {
    if (object != OBJID_CLIENT || child != CHILDID_SELF)
        return;
    ++live_events.count;
    live_events.label_text = text_of(label);
    const auto selection = static_cast<DWORD>(SendMessageW(live_events.entry, EM_GETSEL, 0, 0));
    live_events.entry_selected_whole =
        LOWORD(selection) == 0 && HIWORD(selection) == text_of(live_events.entry).size();
}

HWND focus_of(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void key(WORD code, DWORD flags, wchar_t unicode = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.wScan = unicode;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void press(WORD code, bool shift = false, bool control = false) {
    const WORD modifier = shift ? VK_SHIFT : control ? VK_CONTROL : 0;
    if (modifier != 0)
        key(modifier, 0);
    key(code, 0);
    key(code, KEYEVENTF_KEYUP);
    if (modifier != 0)
        key(modifier, KEYEVENTF_KEYUP);
}

void type(std::wstring_view text) {
    for (const wchar_t c : text) {
        key(0, KEYEVENTF_UNICODE, c);
        key(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, c);
    }
}

// A control's rectangle in its parent's client coordinates.
RECT rect_of(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The width of a caption in the window's font, measured here independently.
int caption_width(std::wstring_view text, int dpi) {
    HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0,
                             0, 0, 0, L"MS Sans Serif");
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    DeleteObject(SelectObject(dc, previous));
    ReleaseDC(nullptr, dc);
    return size.cx;
}

struct Window {
    HWND form, text1, command1, label1, label2, label3;
    int dpi;
    int twips(int value) const { return MulDiv(value, dpi, 1440); }
    bool shows(std::wstring_view line) const {
        return wait_until([&] { return text_of(label1) == line; });
    }
    bool focus_on(HWND control) const {
        return wait_until([&] { return focus_of(form) == control; });
    }
};

// At a density the system only told the window of (a change simulated under Wine), the frame
// keeps the system's own metrics, so the client area is not checked there.
void check_layout(const Window& w, bool system_density = true) {
    const LONG style = GetWindowLongW(w.form, GWL_STYLE);
    check((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) &&
              !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)),
          "caption and close box only, fixed border");
    RECT client{};
    GetClientRect(w.form, &client);
    check(!system_density || (client.right == w.twips(2010) && client.bottom == w.twips(1875)),
          "client area");
    const RECT entry = rect_of(w.text1);
    const RECT bracket = rect_of(w.label2);
    const RECT hint = rect_of(w.label3);
    check(entry.left == w.twips(218) && entry.right == w.twips(1793) &&
              bracket.left == w.twips(1373) && hint.left == w.twips(578),
          "entry box and hint row at their places");
    // Nothing clipped: each label is as wide as its caption, the hint points at the bracket
    // without running into it, and the bracket ends above the entry box's end.
    check(hint.right - hint.left >= caption_width(L"Between >", w.dpi) &&
              bracket.right - bracket.left >= caption_width(L"|      |  ", w.dpi),
          "hint row fits");
    check(hint.right <= bracket.left && std::abs(bracket.right - entry.right) <= w.dpi / 48,
          "hint row lines up");
    check(rect_of(w.label1).left == rect_of(w.command1).left, "result line under the button");

    // A card number's 16 digits are wholly in view, with the caret after the last.
    SendMessageW(w.text1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"4111111111111111"));
    SendMessageW(w.text1, EM_SETSEL, 16, 16);
    SendMessageW(w.text1, EM_SCROLLCARET, 0, 0);
    RECT box{};
    GetClientRect(w.text1, &box);
    const auto x_of = [&](WPARAM character) {
        return static_cast<short>(LOWORD(SendMessageW(w.text1, EM_POSFROMCHAR, character, 0)));
    };
    const int last_right = x_of(15) + (x_of(15) - x_of(14));
    check(x_of(0) >= 0 && last_right <= box.right, "16 digits in view");
    SendMessageW(w.text1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
}

// The window as it re-lays itself out when moved to a screen of another density: it is asked
// its size there, then told the density changed (both as Windows sends them, with the
// rectangles in the program's own memory).
void check_dpi_change(Window w, HANDLE process, int dpi) {
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    SIZE size{};
    const bool answered = remote != nullptr &&
                          SendMessageW(w.form, WM_GETDPISCALEDSIZE, static_cast<WPARAM>(dpi),
                                       reinterpret_cast<LPARAM>(remote)) != 0 &&
                          ReadProcessMemory(process, remote, &size, sizeof size, nullptr);
    check(answered, "asked its size at another density");
    if (!answered)
        return;
    RECT now{};
    GetWindowRect(w.form, &now);
    const RECT suggested{now.left, now.top, now.left + size.cx, now.top + size.cy};
    WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
    SendMessageW(w.form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    RECT after{};
    GetWindowRect(w.form, &after);
    check(after.right - after.left == size.cx && after.bottom - after.top == size.cy,
          "takes the size it asked for");
    // That size holds the client area the twips give at the new density.
    RECT expected{0, 0, MulDiv(2010, dpi, 1440), MulDiv(1875, dpi, 1440)};
    AdjustWindowRectExForDpi(&expected, static_cast<DWORD>(GetWindowLongW(w.form, GWL_STYLE)),
                             FALSE, static_cast<DWORD>(GetWindowLongW(w.form, GWL_EXSTYLE)),
                             static_cast<UINT>(dpi));
    check(size.cx == expected.right - expected.left && size.cy == expected.bottom - expected.top,
          "asks the size the twips give");
    w.dpi = dpi;
    check_layout(w, static_cast<UINT>(dpi) == GetDpiForWindow(w.form));
}

// A copy from the entry carries the formats that keep it out of clipboard history, the cloud
// clipboard and clipboard monitors; so does a cut, which empties the selection.
void check_private_copy(const Window& w) {
    for (const WORD key_code : {WORD{'C'}, WORD{'X'}}) {
        SendMessageW(w.text1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"4111111111111111"));
        SendMessageW(w.text1, EM_SETSEL, 0, -1);
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
        press(key_code, false, true);
        std::wstring text;
        bool private_formats =
            wait_until([] { return IsClipboardFormatAvailable(CF_UNICODETEXT); }) &&
            OpenClipboard(nullptr);
        if (private_formats) {
            HANDLE unicode = GetClipboardData(CF_UNICODETEXT);
            text = static_cast<const wchar_t*>(GlobalLock(unicode));
            GlobalUnlock(unicode);
            for (const wchar_t* format :
                 {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory",
                  L"CanUploadToCloudClipboard"}) {
                HANDLE data = GetClipboardData(RegisterClipboardFormatW(format));
                private_formats = private_formats && data != nullptr &&
                                  *static_cast<const DWORD*>(GlobalLock(data)) == 0;
                GlobalUnlock(data);
            }
            CloseClipboard();
        }
        check(text == L"4111111111111111" && private_formats, "private copy",
              key_code == 'C' ? L"(copy)" : L"(cut)");
        if (key_code == 'X')
            check(wait_until([&] { return text_of(w.text1).empty(); }), "cut empties the entry");
    }
}

void check_keyboard(const Window& w, bool german) {
    check(w.focus_on(w.text1), "focus in the entry box at start");
    const LRESULT default_id = SendMessageW(w.form, DM_GETDEFID, 0, 0);
    check(HIWORD(default_id) == DC_HASDEFID && LOWORD(default_id) == Command1, "default button");
    press(VK_RETURN);
    check(w.shows(L"  False"), "Enter on the empty entry");

    const struct {
        std::wstring_view typed;
        std::wstring_view expected;
    } rows[] = {
        {L"4111111111111111", L"Visa  True"},
        {L"5555555555554443", L"MC  False"},
        {L"4.111.111.111.111.111", german ? L"Visa  True" : L"Visa  False"},
        {L"4,111,111,111,111,111", german ? L"Visa  False" : L"Visa  True"},
        {L"000000000000000000000000000000378282246310005", L"  True"},
        {L"6011111111111118", L"Discover  False"},
    };
    // A key is handled after whatever the window posted itself before it, so once the next
    // key shows, every event of the last check has been raised: there must have been one.
    const auto announced_once = [&](std::wstring_view typed) {
        pump(0);
        check(live_events.count == 1, "one live-region event per press", typed);
    };
    std::wstring_view last;
    for (const auto& row : rows) {
        // The previous entry is selected whole, so typing replaces it.
        type(row.typed);
        check(wait_until([&] { return text_of(w.text1) == row.typed; }), "typing replaces",
              row.typed);
        if (!last.empty())
            announced_once(last);
        live_events = LiveRegionEvents{};
        live_events.entry = w.text1;
        press(VK_RETURN);
        check(w.shows(row.expected), "result line", row.typed);
        check(wait_until([] { return live_events.count > 0; }) &&
                  live_events.label_text == row.expected && live_events.entry_selected_whole,
              "a live-region event, after the selection, with the whole line", row.typed);
        const auto selection = static_cast<DWORD>(SendMessageW(w.text1, EM_GETSEL, 0, 0));
        check(LOWORD(selection) == 0 && HIWORD(selection) == row.typed.size() &&
                  w.focus_on(w.text1),
              "whole entry selected, focus back", row.typed);
        last = row.typed;
    }
    press(VK_END);
    wait_until([&] { return SendMessageW(w.text1, EM_GETSEL, 0, 0) == MAKELRESULT(16, 16); });
    announced_once(last);
    // The long result line grows to the right from the button's left edge.
    const RECT result = rect_of(w.label1);
    check(result.left == w.twips(458) &&
              result.right - result.left >= caption_width(L"Discover  False", w.dpi) &&
              result.right <= w.twips(2010),
          "long result line fits");

    // Tab and Shift+Tab move between the button and the entry box; Enter on the button checks.
    press(VK_TAB);
    check(w.focus_on(w.command1), "Tab to the button");
    press(VK_TAB);
    check(w.focus_on(w.text1), "Tab back to the entry box");
    check((GetWindowLongW(w.command1, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON,
          "the button keeps its default frame");
    press(VK_TAB, true);
    check(w.focus_on(w.command1), "Shift+Tab to the button");
    SetWindowTextW(w.label1, L"");
    press(VK_RETURN);
    check(w.shows(L"Discover  False") && w.focus_on(w.text1), "Enter on the button");
    // Keys are handled in turn: once End has moved the caret, Escape was handled before it.
    press(VK_ESCAPE);
    press(VK_END);
    check(
        wait_until([&] { return SendMessageW(w.text1, EM_GETSEL, 0, 0) == MAKELRESULT(16, 16); }) &&
            IsWindowVisible(w.form) && text_of(w.text1) == L"6011111111111118",
        "Escape is inert");

    // Typing over the checked entry and undoing brings back no earlier number.
    press(VK_TAB);
    w.focus_on(w.command1);
    press(VK_TAB);
    w.focus_on(w.text1);
    type(L"5");
    press('Z', false, true);
    type(L"6"); // handled after the undo, wherever it left the caret
    check(wait_until([&] { return text_of(w.text1).size() == 2; }) &&
              text_of(w.text1).find(L'5') != std::wstring::npos,
          "no earlier number back after undo", text_of(w.text1));

    check_private_copy(w);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    // Aware of each monitor's density, as the window is, so that what it reads of the window
    // is in real pixels: a process that is not is told scaled ones, on Windows as on Wine 10.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wcscpy(std::wcsrchr(program, L'\\') + 1, L"zandor.exe");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    HWND form = nullptr;
    if (!CreateProcessW(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process) ||
        !wait_until([&] { return (form = find_window(process.dwProcessId)) != nullptr; }, 20000)) {
        std::printf("FAIL: no ZANDOR window\n");
        return 1;
    }
    SetForegroundWindow(form);
    const Window w{form,
                   GetDlgItem(form, Text1),
                   GetDlgItem(form, Command1),
                   GetDlgItem(form, Label1),
                   GetDlgItem(form, Label2),
                   GetDlgItem(form, Label3),
                   static_cast<int>(GetDpiForWindow(form))};
    check(w.dpi == std::wcstol(argv[1], nullptr, 10), "the window runs at the display's DPI, not",
          std::to_wstring(w.dpi));
    check_layout(w);
    if (w.dpi == 96) {
        HWINEVENTHOOK hook =
            SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                            &live_region_changed, process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
        check_keyboard(w, std::wstring_view(argv[2]).starts_with(L"de"));
        UnhookWinEvent(hook);
        for (const int dpi : {144, 192, 96})
            check_dpi_change(w, process.hProcess, dpi);
    }

    if (argc > 3) {
        CloseHandle(CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        wait_until([&] { return GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; }, 10000);
    }
    // Closing the window ends the program with status 0.
    PostMessageW(form, WM_CLOSE, 0, 0);
    DWORD status = 1;
    check(WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0 &&
              GetExitCodeProcess(process.hProcess, &status) && status == 0,
          "closing the window ends the program with status 0");
    if (failures == 0)
        std::printf("window at %d dpi, %ls: all checks passed\n", w.dpi, argv[2]);
    return failures == 0 ? 0 : 1;
}
