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

template <typename Condition> bool wait_until(Condition condition, int milliseconds = 5000) {
    for (int waited = 0; waited < milliseconds && !condition(); waited += 20)
        Sleep(20);
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

void check_layout(const Window& w) {
    const LONG style = GetWindowLongW(w.form, GWL_STYLE);
    check((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) &&
              !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)),
          "caption and close box only, fixed border");
    RECT client{};
    GetClientRect(w.form, &client);
    check(client.right == w.twips(2010) && client.bottom == w.twips(1875), "client area");
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
}

void check_keyboard(const Window& w, bool german) {
    check(focus_of(w.form) == w.text1, "focus in the entry box at start");
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
    for (const auto& row : rows) {
        // The previous entry is selected whole, so typing replaces it.
        type(row.typed);
        check(wait_until([&] { return text_of(w.text1) == row.typed; }), "typing replaces",
              row.typed);
        press(VK_RETURN);
        check(w.shows(row.expected), "result line", row.typed);
        const auto selection = static_cast<DWORD>(SendMessageW(w.text1, EM_GETSEL, 0, 0));
        check(LOWORD(selection) == 0 && HIWORD(selection) == row.typed.size() &&
                  focus_of(w.form) == w.text1,
              "whole entry selected, focus back", row.typed);
    }
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
    press(VK_ESCAPE);
    Sleep(300);
    check(IsWindowVisible(w.form) && text_of(w.text1) == L"6011111111111118", "Escape is inert");

    // Another window becomes active, then this one again: the focus stays where it was.
    press(VK_TAB);
    w.focus_on(w.command1);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    wait_until([&] { return GetForegroundWindow() == other; });
    SetForegroundWindow(w.form);
    check(w.focus_on(w.command1), "a later activation keeps the focus");
    DestroyWindow(other);

    // Typing over the checked entry and undoing brings back no earlier number.
    press(VK_TAB);
    w.focus_on(w.text1);
    type(L"5");
    press('Z', false, true);
    Sleep(200);
    check(text_of(w.text1) != L"6011111111111118", "no earlier number back after undo");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
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
    check(w.dpi == std::atoi(argv[1]), "the window runs at the display's DPI");
    check_layout(w);
    if (w.dpi == 96)
        check_keyboard(w, std::string_view(argv[2]).starts_with("de"));

    if (argc > 3) {
        CloseHandle(CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        wait_until([&] { return GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; }, 10000);
    }
    // Closing the window ends the program with status 0.
    PostMessageW(form, WM_CLOSE, 0, 0);
    DWORD status = 1;
    check(WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0 &&
              GetExitCodeProcess(process.hProcess, &status) && status == 0,
          "closing the window ends the program with status 0");
    if (failures == 0)
        std::printf("window at %d dpi, %s: all checks passed\n", w.dpi, argv[2]);
    return failures == 0 ? 0 : 1;
}
