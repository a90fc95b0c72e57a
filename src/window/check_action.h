#pragma once

#include "platform/forms/controls.h"
#include "platform/values/number_format.h"

namespace zandor::window {

// The Check action: names the issuer from the entry's first character, checks the entry,
// writes "<prefix>  True|False" to the result label and hands the entry box back with its
// whole text selected, so that the next number typed replaces all of it.
void Command1_Click(platform::TextBoxControl& Text1, platform::LabelControl& Label1,
                    const platform::NumberFormat& format);

} // namespace zandor::window
