#pragma once

namespace zandor::platform {

// The separators of a number format as single UTF-16 code units. The window and the
// console tool take them from the user's locale; tests choose any.
struct NumberFormat {
    char16_t decimal_separator = u'.';
    char16_t group_separator = u','; // u'\0' for a format without grouping
};

inline constexpr NumberFormat invariant_number_format{u'.', u','};

} // namespace zandor::platform
