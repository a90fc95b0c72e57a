#pragma once

#include "platform/values/number_format.h"

namespace zandor::platform {

// The separators of the user's locale (on Linux LC_ALL, LC_NUMERIC, LANG; on Windows the
// regional settings), read once per call.
[[nodiscard]] NumberFormat system_number_format();

} // namespace zandor::platform
