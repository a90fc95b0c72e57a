#pragma once

#include "platform/values/number_format.h"

#include <optional>
#include <string>

namespace zandor::tools {

// The separators of the user's locale, as the window reads them; none, with the reason in
// `why`, when they cannot be learnt (on Linux, when the module that reads them is missing).
std::optional<platform::NumberFormat> learn_user_number_format(std::string& why);

} // namespace zandor::tools
