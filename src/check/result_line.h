#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// What a check shows: the issuer named by the entry's first character, and the result line.
// The window's Check action and the console tool both take them from here.
namespace zandor::check {

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

inline constexpr std::size_t no_issuer = issuer_table.size();

namespace detail {
// Every key is one ASCII character, looked up at once: comparing key by key mispredicts on a
// mix of issuers. The first row with a key wins.
inline constexpr std::array<unsigned char, 128> issuer_rows_of_ascii = [] {
    std::array<unsigned char, 128> rows{};
    rows.fill(no_issuer);
    for (std::size_t row = issuer_table.size(); row-- > 0;)
        rows.at(issuer_table[row].first_character.at(0)) = static_cast<unsigned char>(row);
    return rows;
}();
static_assert(std::ranges::all_of(issuer_table, [](const IssuerRow& row) {
    return row.first_character.size() == 1;
}));
} // namespace detail

// The row of the issuer table that an entry's first character names, or no_issuer.
[[nodiscard]] constexpr std::size_t issuer_row_of_first(char16_t first) noexcept {
    return first < detail::issuer_rows_of_ascii.size() ? detail::issuer_rows_of_ascii[first]
                                                       : no_issuer;
}
[[nodiscard]] constexpr std::size_t issuer_row(std::u16string_view entry) noexcept {
    return entry.empty() ? no_issuer : issuer_row_of_first(entry.front());
}

// The issuer prefix of a row of the table; "" for none.
[[nodiscard]] constexpr std::u16string_view issuer_prefix(std::size_t row) noexcept {
    return row < issuer_table.size() ? issuer_table[row].prefix : std::u16string_view{};
}

// "<prefix>  True" or "<prefix>  False".
[[nodiscard]] std::u16string result_line(std::u16string_view prefix, bool verdict);

} // namespace zandor::check
