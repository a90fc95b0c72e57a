// Drives the real zandor.exe from outside, as a person would: keys through SendInput, state
// read through window messages. Usage: window_driver DPI LOCALE [SCREENSHOT_MARKER]
// (zandor.exe lies beside it). With a marker path it creates that file when the window is
// ready for a screenshot and waits until the file is gone again.
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

template <typename Condition> bool wait_until(Condition condition, int milliseconds = 5000) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

struct Found {
    DWORD process;
    HWND window;
};

// The program's window once it is visible and its last control exists.
HWND find_window(DWORD process) {
    Found found{process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t title[16] = {};
            GetWindowTextW(window, title, 16);
            if (owner == f->process && std::wcscmp(title, L"ZANDOR") == 0 &&
                IsWindowVisible(window) && GetDlgItem(window, Label1) != nullptr) {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

std::wstring text_of(HWND control) {
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                        2000, &copied);
    return text;
}

HWND focus_of(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void send(INPUT* inputs, UINT count) {
    SendInput(count, inputs, sizeof(INPUT));
}

void press(WORD key, bool shift = false) {
    INPUT inputs[4] = {};
    UINT n = 0;
    auto add = [&](WORD k, DWORD flags) {
        inputs[n].type = INPUT_KEYBOARD;
        inputs[n].ki.wVk = k;
        inputs[n++].ki.dwFlags = flags;
    };
    if (shift)
        add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift)
        add(VK_SHIFT, KEYEVENTF_KEYUP);
    send(inputs, n);
}

void type(std::wstring_view text) {
    for (const wchar_t c : text) {
        INPUT inputs[2] = {};
        for (INPUT& input : inputs) {
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        send(inputs, 2);
    }
}

// A control's rectangle in its parent's client coordinates.
RECT rect_of(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int twips(int value, int dpi) {
    return MulDiv(value, dpi, 1440);
}

// The width of a caption in the window's font, measured here independently.
int caption_width(std::wstring_view text, int dpi) {
    HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                             0, 0, 0, 0, L"MS Sans Serif");
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return size.cx;
}

struct Window {
    HWND form, text1, command1, label1, label2, label3;
    int dpi;
};

void check_layout(const Window& w) {
    const LONG style = GetWindowLongW(w.form, GWL_STYLE);
    check((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU), "caption and system menu");
    check(!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)),
          "no minimise, no maximise, fixed border");
    RECT client{};
    GetClientRect(w.form, &client);
    check(client.right == twips(2010, w.dpi) && client.bottom == twips(1875, w.dpi),
          "client area of 2010 x 1875 twips");

    const RECT entry = rect_of(w.text1);
    check(entry.left == twips(218, w.dpi) && entry.right == twips(1793, w.dpi), "entry box edges");
    const RECT bracket = rect_of(w.label2);
    const RECT hint = rect_of(w.label3);
    check(bracket.left == twips(1373, w.dpi) && hint.left == twips(578, w.dpi), "hint row");
    // Nothing clipped: each label is as wide as its caption, and the hint points at the
    // bracket without running into it; the bracket ends above the entry box's end.
    check(hint.right - hint.left >= caption_width(L"Between >", w.dpi), "hint fits");
    check(bracket.right - bracket.left >= caption_width(L"|      |  ", w.dpi), "bracket fits");
    check(hint.right <= bracket.left, "hint before the bracket");
    check(std::abs(bracket.right - entry.right) <= w.dpi / 48, "bracket above the entry's end");
    check(rect_of(w.label1).left == rect_of(w.command1).left, "result line under the button");
}

void check_keyboard(const Window& w, bool german) {
    check(focus_of(w.form) == w.text1, "focus in the entry box at start");
    const LRESULT default_id = SendMessageW(w.form, DM_GETDEFID, 0, 0);
    check(HIWORD(default_id) == DC_HASDEFID && LOWORD(default_id) == Command1, "default button");

    press(VK_RETURN);
    check(wait_until([&] { return text_of(w.label1) == L"  False"; }), "Enter on the empty entry",
          text_of(w.label1));

    const struct {
        std::wstring_view typed;
        std::wstring_view expected;
    } rows[] = {
        {L"4111111111111111", L"Visa  True"},
        {L"4111111111111112", L"Visa  False"},
        {L"5555555555554443", L"MC  False"},
        {L" 4111111111111111", L"  True"},
        {L"4111 1111 1111 1111", L"Visa  False"},
        {L"4.111.111.111.111.111", german ? L"Visa  True" : L"Visa  False"},
        {L"4,111,111,111,111,111", german ? L"Visa  False" : L"Visa  True"},
        {L"000000000000000000000000000000378282246310005", L"  True"},
    };
    for (const auto& row : rows) {
        // The previous entry is selected whole, so typing replaces it.
        type(row.typed);
        check(wait_until([&] { return text_of(w.text1) == row.typed; }), "typing replaces",
              row.typed);
        press(VK_RETURN);
        check(wait_until([&] { return text_of(w.label1) == row.expected; }), "result line",
              row.typed);
        const auto selection = static_cast<DWORD>(SendMessageW(w.text1, EM_GETSEL, 0, 0));
        check(LOWORD(selection) == 0 && HIWORD(selection) == row.typed.size(),
              "whole entry selected", row.typed);
        check(focus_of(w.form) == w.text1, "focus back in the entry box", row.typed);
    }

    // A long result line grows to the right from the button's left edge.
    type(L"6011111111111118");
    press(VK_RETURN);
    check(wait_until([&] { return text_of(w.label1) == L"Discover  False"; }), "long result line");
    const RECT result = rect_of(w.label1);
    RECT client{};
    GetClientRect(w.form, &client);
    check(result.left == twips(458, w.dpi) &&
              result.right - result.left >= caption_width(L"Discover  False", w.dpi) &&
              result.right <= client.right,
          "long result line fits, growing to the right");

    // Tab and Shift+Tab move between the button and the entry box; Enter on the button checks.
    press(VK_TAB);
    check(wait_until([&] { return focus_of(w.form) == w.command1; }), "Tab to the button");
    press(VK_TAB);
    check(wait_until([&] { return focus_of(w.form) == w.text1; }), "Tab back to the entry box");
    check((GetWindowLongW(w.command1, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON,
          "the button keeps its default frame");
    press(VK_TAB, true);
    check(wait_until([&] { return focus_of(w.form) == w.command1; }), "Shift+Tab to the button");
    SetWindowTextW(w.label1, L"");
    press(VK_RETURN);
    check(wait_until([&] { return text_of(w.label1) == L"Discover  False"; }),
          "Enter on the button");
    check(wait_until([&] { return focus_of(w.form) == w.text1; }), "focus back after the button");

    // Escape does nothing.
    press(VK_ESCAPE);
    Sleep(300);
    check(IsWindowVisible(w.form) && text_of(w.text1) == L"6011111111111118", "Escape is inert");

    // Another window becomes active and this one again: the focus is where the user left it.
    press(VK_TAB);
    wait_until([&] { return focus_of(w.form) == w.command1; });
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    wait_until([&] { return GetForegroundWindow() == other; });
    SetForegroundWindow(w.form);
    wait_until([&] { return GetForegroundWindow() == w.form; });
    check(wait_until([&] { return focus_of(w.form) == w.command1; }),
          "a later activation keeps the focus");
    DestroyWindow(other);
    SetForegroundWindow(w.form);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const int dpi = std::atoi(argv[1]);
    const bool german = std::string_view(argv[2]).starts_with("de");
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wcscpy(std::wcsrchr(program, L'\\') + 1, L"zandor.exe");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("FAIL: cannot start zandor.exe\n");
        return 1;
    }
    HWND form = nullptr;
    wait_until([&] { return (form = find_window(process.dwProcessId)) != nullptr; }, 20000);
    if (form == nullptr) {
        std::printf("FAIL: no ZANDOR window\n");
        TerminateProcess(process.hProcess, 1);
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
    check(w.dpi == dpi, "the window runs at the display's DPI");
    check_layout(w);
    if (dpi == 96)
        check_keyboard(w, german);

    if (argc > 3) {
        HANDLE marker = CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(marker);
        wait_until([&] { return GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; }, 10000);
    }

    // Closing the window ends the program with status 0.
    PostMessageW(form, WM_CLOSE, 0, 0);
    DWORD status = 1;
    check(WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0 &&
              GetExitCodeProcess(process.hProcess, &status) && status == 0,
          "closing the window ends the program with status 0");
    if (failures == 0)
        std::printf("window at %d dpi, %s: all checks passed\n", dpi, argv[2]);
    return failures == 0 ? 0 : 1;
}
