#include "platform/forms/win32/win32_accessibility.h"

#include <initguid.h>

#include <oleacc.h>

namespace zandor::platform {
namespace {

// UI Automation's LiveSetting property and its "polite" value, as the annotation takes them.
constexpr GUID live_setting_property = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG polite = 1;

// COM's library is loaded when the annotations are applied, not with the program.
template <typename Function> Function com_function(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

AccessibleAnnotations::~AccessibleAnnotations() {
    clear();
    if (com_started_)
        com_function<void(WINAPI*)()>(com_library_, "CoUninitialize")();
    if (com_library_ != nullptr)
        FreeLibrary(com_library_);
}

void AccessibleAnnotations::set_name(HWND control, std::u16string_view name) {
    if (!name.empty())
        notes_.push_back({control, std::wstring(name.begin(), name.end())});
}

void AccessibleAnnotations::set_polite_live_region(HWND control) {
    notes_.push_back({control, {}});
}

void AccessibleAnnotations::apply() {
    if (notes_.empty() || com_library_ != nullptr)
        return;
    com_library_ = LoadLibraryW(L"ole32.dll");
    if (com_library_ == nullptr)
        return;
    using Initialize = HRESULT(WINAPI*)(void*, DWORD);
    using Create = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    const auto initialize = com_function<Initialize>(com_library_, "CoInitializeEx");
    const auto create = com_function<Create>(com_library_, "CoCreateInstance");
    if (initialize == nullptr || create == nullptr)
        return;
    com_started_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    if (!com_started_ || FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IAccPropServices, reinterpret_cast<void**>(&services_))))
        return;
    for (const Note& note : notes_) {
        if (!note.name.empty()) {
            services_->SetHwndPropStr(note.control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      PROPID_ACC_NAME, note.name.c_str());
        } else {
            VARIANT value{};
            value.vt = VT_I4;
            value.lVal = polite;
            services_->SetHwndProp(note.control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                   live_setting_property, value);
        }
    }
}

void AccessibleAnnotations::clear() {
    if (services_ != nullptr) {
        MSAAPROPID properties[] = {PROPID_ACC_NAME, live_setting_property};
        for (const Note& note : notes_)
            services_->ClearHwndProps(note.control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      properties, 2);
        services_->Release();
        services_ = nullptr;
    }
    notes_.clear();
}

void announce_live_region_changed(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace zandor::platform
