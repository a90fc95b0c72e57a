#pragma once

#include "platform/forms.h"

#include <array>

// The program's one window, described once: an entry box, the Check button, the hint row
// and the result line. Each toolkit's forms layer builds it from this description.
namespace zandor::window::frmMain {

// Event procedures.
void Form_Activate(platform::Form& form);
void Command1_Click(platform::Form& form);

using platform::ControlKind;

// In creation order; geometry in twips relative to the client area.
inline constexpr std::array<platform::ControlDescription, 5> controls{{
    {"Text1",
     ControlKind::text_box,
     u"",
     {218, 480, 1575, 285},
     2,
     false,
     false,
     nullptr,
     u"Card number"},
    {"Command1",
     ControlKind::command_button,
     u"Check",
     {458, 1320, 1215, 375},
     0,
     false,
     true,
     &Command1_Click},
    {"Label3", ControlKind::label, u"Between >", {578, 240, 765, 195}, 4, true},
    // The bracket's right edge is the entry box's right edge, 1793 twips.
    {"Label2", ControlKind::label, u"|      |  ", {1373, 240, 420, 195}, 3, true},
    // The result line, growing to the right from the Check button's left edge.
    {"Label1", ControlKind::label, u"", {458, 960, 45, 195}, 1, true},
}};

inline constexpr platform::FormDescription description{
    .caption = u"ZANDOR",
    .client_area = {4920, 3510, 2010, 1875},
    .fixed_border = true,
    .min_button = false,
    .max_button = false,
    .font = {u"MS Sans Serif", 8},
    .controls = controls,
    .activate = &Form_Activate,
};

} // namespace zandor::window::frmMain
