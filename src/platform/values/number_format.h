#pragma once

#include <string_view>

namespace zandor::platform {

// The separators of a number format as single UTF-16 code units. The window and the
// console tool take them from the user's locale; tests choose any.
struct NumberFormat {
    char16_t decimal_separator = u'.';
    char16_t group_separator = u','; // u'\0' for a format without grouping
};

inline constexpr NumberFormat invariant_number_format{u'.', u','};

// The format from a locale's separators as the system spells them. A separator must be one
// UTF-16 code unit: a decimal separator spelled otherwise falls back to ".", a group
// separator spelled otherwise (or equal to the decimal one) means no grouping.
[[nodiscard]] constexpr NumberFormat number_format_from(std::u16string_view decimal,
                                                        std::u16string_view group) noexcept {
    NumberFormat format{u'.', u'\0'};
    if (decimal.size() == 1)
        format.decimal_separator = decimal.front();
    if (group.size() == 1 && group.front() != format.decimal_separator)
        format.group_separator = group.front();
    return format;
}

} // namespace zandor::platform
