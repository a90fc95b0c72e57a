#include "platform/values/system_number_format.h"

#include <windows.h>

#include <string>

namespace zandor::platform {
namespace {

// A locale value of the user's regional settings; empty if it cannot be read.
std::u16string user_locale_value(LCTYPE type) {
    wchar_t value[16] = {};
    const int got = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, value, 16);
    if (got <= 1)
        return {};
    return {reinterpret_cast<const char16_t*>(value), static_cast<std::size_t>(got - 1)};
}

} // namespace

NumberFormat system_number_format() {
    return number_format_from(user_locale_value(LOCALE_SDECIMAL),
                              user_locale_value(LOCALE_STHOUSAND));
}

} // namespace zandor::platform
