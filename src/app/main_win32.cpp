#include "app/resource_ids.h"
#include "platform/forms/win32/win32_form.h"
#include "window/frmMain.h"

#include <windows.h>

namespace {

// A crash report by Windows Error Reporting carries no heap, where a card number may be.
// (This toolchain's werapi.h does not compile, so the function is looked up by name.)
void keep_heap_out_of_crash_reports() {
    constexpr DWORD no_heap = 1; // WER_FAULT_REPORTING_FLAG_NOHEAP
    using SetFlags = HRESULT(WINAPI*)(DWORD);
    if (const auto set_flags = reinterpret_cast<SetFlags>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "WerSetFlags"))))
        set_flags(no_heap);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    keep_heap_out_of_crash_reports();
    zandor::platform::Win32Form window(zandor::window::frmMain::description, instance, ZANDOR_ICON);
    return window.run(show_command);
}
