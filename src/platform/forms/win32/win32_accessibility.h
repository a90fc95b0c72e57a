#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

struct IAccPropServices;

// Names and live regions for screen readers, added to the system's own accessible objects of
// standard controls as annotations (IAccPropServices). COM is started apartment-threaded on
// the window's thread for as long as this lives. Where the system cannot annotate (Wine
// answers E_NOTIMPL), the controls keep the system's defaults and the program carries on.
namespace zandor::platform {

class AccessibleAnnotations {
  public:
    AccessibleAnnotations();
    ~AccessibleAnnotations();
    AccessibleAnnotations(const AccessibleAnnotations&) = delete;
    AccessibleAnnotations& operator=(const AccessibleAnnotations&) = delete;

    void set_name(HWND control, std::u16string_view name);
    // A polite live region: a screen reader speaks its new text when told it changed.
    void set_polite_live_region(HWND control);
    // Clears what was annotated, before the controls go.
    void clear();

  private:
    bool com_started_ = false;
    IAccPropServices* services_ = nullptr;
    std::vector<HWND> annotated_;
};

// Tells screen readers that a live region's text changed.
void announce_live_region_changed(HWND control);

} // namespace zandor::platform
