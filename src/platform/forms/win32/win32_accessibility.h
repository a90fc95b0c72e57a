#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

struct IAccPropServices;

// Names and live regions for screen readers, added to the system's own accessible objects of
// standard controls as annotations (IAccPropServices). They are noted while the window is
// built and applied once it shows, so that starting COM does not delay the window: COM runs
// apartment-threaded on the window's thread from then on, for as long as this lives. Where
// the system cannot annotate (Wine answers E_NOTIMPL), the controls keep the system's
// defaults and the program carries on.
namespace zandor::platform {

class AccessibleAnnotations {
  public:
    AccessibleAnnotations() = default;
    ~AccessibleAnnotations();
    AccessibleAnnotations(const AccessibleAnnotations&) = delete;
    AccessibleAnnotations& operator=(const AccessibleAnnotations&) = delete;

    void set_name(HWND control, std::u16string_view name);
    // A polite live region: a screen reader speaks its new text when told it changed.
    void set_polite_live_region(HWND control);
    // Starts COM and applies what was noted.
    void apply();
    // Clears what was applied, before the controls go.
    void clear();

  private:
    struct Note {
        HWND control;
        std::wstring name; // empty for a live region
    };
    std::vector<Note> notes_;
    HMODULE com_library_ = nullptr;
    bool com_started_ = false;
    IAccPropServices* services_ = nullptr;
};

// Tells screen readers that a live region's text changed.
void announce_live_region_changed(HWND control);

} // namespace zandor::platform
