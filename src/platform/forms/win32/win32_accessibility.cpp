#include "platform/forms/win32/win32_accessibility.h"

#include <initguid.h>

#include <oleacc.h>

#include <string>

namespace zandor::platform {
namespace {

// UI Automation's LiveSetting property and its "polite" value, as the annotation takes them.
constexpr GUID live_setting_property = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG polite = 1;

} // namespace

AccessibleAnnotations::AccessibleAnnotations() {
    com_started_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (com_started_ &&
        FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services_))))
        services_ = nullptr;
}

AccessibleAnnotations::~AccessibleAnnotations() {
    clear();
    if (services_ != nullptr)
        services_->Release();
    if (com_started_)
        CoUninitialize();
}

void AccessibleAnnotations::set_name(HWND control, std::u16string_view name) {
    if (services_ == nullptr || name.empty())
        return;
    const std::wstring text(name.begin(), name.end());
    if (SUCCEEDED(services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                            PROPID_ACC_NAME, text.c_str())))
        annotated_.push_back(control);
}

void AccessibleAnnotations::set_polite_live_region(HWND control) {
    if (services_ == nullptr)
        return;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = polite;
    if (SUCCEEDED(services_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         live_setting_property, value)))
        annotated_.push_back(control);
}

void AccessibleAnnotations::clear() {
    if (services_ == nullptr)
        return;
    MSAAPROPID properties[] = {PROPID_ACC_NAME, live_setting_property};
    for (HWND control : annotated_)
        services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  properties, 2);
    annotated_.clear();
}

void announce_live_region_changed(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace zandor::platform
