#pragma once

#include "platform/values/decimal_limits.h"
#include "platform/values/number_format.h"
#include "platform/values/number_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zandor::platform {

// An exact decimal number: (-1)^negative x magnitude / 10^scale, where the magnitude is a
// 96-bit unsigned integer held in three 32-bit words, least significant first.
struct Decimal {
    std::uint32_t lo = 0;
    std::uint32_t mid = 0;
    std::uint32_t hi = 0;
    std::uint8_t scale = 0; // 0 to decimal_max_scale
    bool negative = false;

    [[nodiscard]] constexpr bool is_zero() const noexcept { return (lo | mid | hi) == 0; }
    friend constexpr bool operator==(const Decimal&, const Decimal&) = default;
};

enum class ConversionStatus : std::uint8_t {
    exact,
    rounded,      // digits beyond the 96-bit precision or the 28th decimal place were rounded
    out_of_range, // the magnitude is 2^96 or more
    not_a_number, // the text fails the numeric test
};

struct DecimalConversion {
    Decimal value;
    ConversionStatus status = ConversionStatus::not_a_number;

    [[nodiscard]] constexpr bool ok() const noexcept {
        return status == ConversionStatus::exact || status == ConversionStatus::rounded;
    }
};

// Converts the value a text was read as. The result holds no trailing fractional zeros:
// "1.50" gives 15 at scale 1, "4.00" gives 4 at scale 0.
[[nodiscard]] DecimalConversion to_decimal(const NumberReading& reading) noexcept;
[[nodiscard]] DecimalConversion to_decimal(std::u16string_view text, NumberFormat format) noexcept;

// Sign, 29 digits and the separator, or "-0." and 28 digits.
inline constexpr std::size_t decimal_text_capacity = 31;

// The decimal text of a value, without allocation: digits without leading zeros ("0" for
// zero), "-" before a negative value and the decimal separator before the scale's digits.
class DecimalText {
  public:
    DecimalText(const Decimal& value, char16_t decimal_separator) noexcept;
    [[nodiscard]] std::u16string_view view() const noexcept {
        return {chars_.data() + begin_, chars_.size() - begin_};
    }

  private:
    std::array<char16_t, decimal_text_capacity> chars_{};
    std::size_t begin_ = decimal_text_capacity;
};

// The decimal text of the value a text was read as: the text DecimalText gives for
// to_decimal(reading), written straight from the digits where the value is held exactly, so
// the common case costs no 96-bit arithmetic.
class ValueText {
  public:
    ValueText(const NumberReading& reading, char16_t decimal_separator) noexcept;
    ValueText(const ValueText&) = delete;
    ValueText& operator=(const ValueText&) = delete;

    [[nodiscard]] ConversionStatus status() const noexcept { return status_; }
    [[nodiscard]] std::u16string_view view() const noexcept { return view_; }

  private:
    std::array<char16_t, decimal_text_capacity> chars_;
    std::u16string_view view_;
    ConversionStatus status_ = ConversionStatus::not_a_number;
};

} // namespace zandor::platform
