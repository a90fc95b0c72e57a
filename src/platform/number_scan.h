#pragma once

#include "platform/number_format.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zandor::platform {

// Why a text does not read as a number.
enum class ScanError : std::uint8_t {
    none,
    empty,                     // nothing but blanks
    no_digits,                 // a sign or separator without a mantissa digit
    misplaced_group_separator, // not between two digits of the integer part
    second_decimal_separator,
    exponent_without_digits,
    unexpected_character,
};

// What one pass over a text found: whether it reads as a number and, if it does, where its
// significant digits are. The value is (significant digits) x 10^exponent_of_last.
struct NumberScan {
    ScanError error = ScanError::empty;
    std::size_t error_position = 0; // index of the code unit where reading stopped
    bool negative = false;
    std::size_t first_significant = 0;   // index of the first non-zero mantissa digit
    std::size_t last_significant = 0;    // index of the last non-zero mantissa digit
    std::int64_t significant_digits = 0; // 0 for a value of zero
    std::int64_t exponent_of_last = 0;   // power of ten of the last non-zero digit

    [[nodiscard]] constexpr bool ok() const noexcept { return error == ScanError::none; }
    [[nodiscard]] constexpr bool is_zero() const noexcept { return significant_digits == 0; }
};

// Exponents are read up to this size; anything larger behaves the same way, so a long run
// of exponent digits costs no more than reading it.
inline constexpr std::int64_t exponent_saturation = 1'000'000'000'000'000;

// The numeric test. Accepted, after leading and trailing U+0020 blanks: an optional sign;
// ASCII digits with the group separator only between two digits of the integer part and at
// most one decimal separator; optionally "E" or "e", an optional sign and digits.
[[nodiscard]] NumberScan scan_number(std::u16string_view text, NumberFormat format) noexcept;

[[nodiscard]] inline bool is_numeric(std::u16string_view text, NumberFormat format) noexcept {
    return scan_number(text, format).ok();
}

} // namespace zandor::platform
