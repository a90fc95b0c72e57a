#pragma once

#include "platform/values/number_format.h"

#include <string>

namespace zandor::tools {

// The separators of the user's locale, as the window reads them; false with the reason in
// `why` when they cannot be learnt (on Linux, when the module that reads them is missing).
bool learn_user_number_format(platform::NumberFormat& format, std::string& why);

} // namespace zandor::tools
