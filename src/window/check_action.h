#pragma once

#include "platform/controls.h"
#include "platform/number_format.h"

#include <array>
#include <string_view>

namespace zandor::window {

struct IssuerRow {
    std::u16string_view first_character;
    std::u16string_view prefix;
};

// Compared in this order; the first character of the entry must equal the key exactly.
inline constexpr std::array<IssuerRow, 4> issuer_table{{
    {u"4", u"Visa"},
    {u"5", u"MC"},
    {u"6", u"Discover"},
    {u"3", u"Amex"},
}};

inline constexpr std::u16string_view result_separator = u"  ";

// The row of the issuer table that the entry's first character names, or the table's size
// for none.
[[nodiscard]] constexpr std::size_t issuer_row(std::u16string_view entry) noexcept {
    const std::u16string_view first = entry.substr(0, 1);
    std::size_t row = 0;
    while (row < issuer_table.size() && first != issuer_table[row].first_character)
        ++row;
    return row;
}

// The issuer prefix of a row of the table; "" for none.
[[nodiscard]] constexpr std::u16string_view issuer_prefix(std::size_t row) noexcept {
    return row < issuer_table.size() ? issuer_table[row].prefix : std::u16string_view{};
}

// What the result line says of an entry: "<prefix>  True|False".
struct ResultLine {
    std::size_t issuer_row;
    bool verdict;
};

// The result line computed at once, for the console tool; the window's Check action below
// builds the same line step by step in its label.
[[nodiscard]] ResultLine check_entry(std::u16string_view entry,
                                     const platform::NumberFormat& format) noexcept;

// The Check action: names the issuer from the entry's first character, checks the entry,
// writes "<prefix>  True|False" to the result label and hands the entry box back with its
// whole text selected, so that the next number typed replaces all of it.
void Command1_Click(platform::TextBoxControl& Text1, platform::LabelControl& Label1,
                    const platform::NumberFormat& format);

} // namespace zandor::window
