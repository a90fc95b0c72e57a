#pragma once

#include "platform/forms/forms.h"

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
    {.name = "Text1",
     .kind = ControlKind::text_box,
     .geometry = {218, 480, 1575, 285},
     .tab_index = 2,
     .accessible_name = u"Card number"},
    {.name = "Command1",
     .kind = ControlKind::command_button,
     .caption = u"Check",
     .geometry = {458, 1320, 1215, 375},
     .tab_index = 0,
     .is_default = true,
     .click = &Command1_Click},
    {.name = "Label3",
     .kind = ControlKind::label,
     .caption = u"Between >",
     .geometry = {578, 240, 765, 195},
     .tab_index = 4,
     .auto_size = true},
    // The bracket's right edge is the entry box's right edge, 1793 twips.
    {.name = "Label2",
     .kind = ControlKind::label,
     .caption = u"|      |  ",
     .geometry = {1373, 240, 420, 195},
     .tab_index = 3,
     .auto_size = true},
    // The result line, growing to the right from the Check button's left edge.
    {.name = "Label1",
     .kind = ControlKind::label,
     .geometry = {458, 960, 45, 195},
     .tab_index = 1,
     .auto_size = true,
     .live = true},
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
