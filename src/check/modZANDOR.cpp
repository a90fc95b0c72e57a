#include "check/modZANDOR.h"

#include "platform/decimal.h"
#include "platform/number_scan.h"
#include "platform/text_ops.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zandor::modZANDOR {

namespace {

// What a digit adds to the sum: as it stands, or doubled and reduced to the sum of the
// doubled value's two digits.
constexpr std::array<std::array<unsigned, 10>, 2> contribution = [] {
    std::array<std::array<unsigned, 10>, 2> table{};
    for (int digit = 0; digit < 10; ++digit) {
        unsigned doubled = 2 * static_cast<unsigned>(digit);
        if (doubled >= 10)
            doubled = doubled - 10 + 1;
        table[0][static_cast<std::size_t>(digit)] = static_cast<unsigned>(digit);
        table[1][static_cast<std::size_t>(digit)] = doubled;
    }
    return table;
}();

// The Luhn walk: from the rightmost character, every second digit is doubled. A character
// without a digit value (the "-" of a negative value, the separator of a fraction) makes
// the number no card number.
template <typename Char> bool passes_luhn(std::basic_string_view<Char> canonical) noexcept {
    std::size_t doubling = 0;
    unsigned sum = 0; // at most 16 x 9
    for (std::size_t i = canonical.size(); i-- > 0;) {
        const unsigned digit = static_cast<unsigned>(canonical[i]) - '0';
        if (digit > 9)
            return false;
        sum += contribution[doubling][digit];
        doubling ^= 1;
    }
    return sum % 10 == 0;
}

bool has_card_length(std::size_t n) noexcept {
    return n >= static_cast<std::size_t>(min_card_length) &&
           n <= static_cast<std::size_t>(max_card_length);
}

} // namespace

bool CheckCardNumber(std::u16string_view entry, const platform::NumberFormat& format) noexcept {
    const platform::NumberScan scan = platform::scan_number(entry, format);
    if (!scan.ok())
        return false;

    // Out of range, or rounded because it has more fraction than the decimal can hold: in
    // both cases the entry is not exactly the whole number a card number must be.
    const platform::ValueText canonical(entry, scan, format.decimal_separator);
    if (canonical.status() != platform::ConversionStatus::exact)
        return false;

    return has_card_length(platform::length(canonical.view())) && passes_luhn(canonical.view());
}

bool CheckPlainDigits(std::string_view digits) noexcept {
    // The value's text of plain digits is the digits without leading zeros ("0" for zero,
    // which is too short anyway).
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    digits.remove_prefix(first);
    return has_card_length(digits.size()) && passes_luhn(digits);
}

} // namespace zandor::modZANDOR
