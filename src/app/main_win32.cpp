#include "app/resource_ids.h"
#include "platform/forms/win32/win32_form.h"
#include "window/frmMain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    zandor::platform::Win32Form window(zandor::window::frmMain::description, instance, ZANDOR_ICON);
    return window.run(show_command);
}
