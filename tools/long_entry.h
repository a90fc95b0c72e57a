#pragma once

#include "platform/number_format.h"
#include "window/check_action.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zandor::tools {

// The result line of an entry too long to hold, read piece by piece in bounded memory. It
// takes the numeric test as it goes and keeps what decides the verdict: the first character,
// the sign, up to 29 significant digits (a 30th makes the value too large or too precise for
// the decimal, so never a card number) and the power of ten of the last one. The verdict is
// then the card check's own on the short entry with that value.
class LongEntry {
  public:
    explicit LongEntry(platform::NumberFormat format) : format_(format) {}

    void feed(std::u16string_view units);
    [[nodiscard]] window::ResultLine finish() const;

  private:
    enum class Phase : std::uint8_t {
        leading_blanks,
        after_sign,
        mantissa,
        after_group_separator,
        exponent_start,
        exponent_sign,
        exponent_digits,
        trailing_blanks,
        failed,
    };
    void take(char16_t c);
    void take_digit(char16_t c);

    platform::NumberFormat format_;
    Phase phase_ = Phase::leading_blanks;
    char16_t first_ = 0; // the line's first character, if it has one
    bool has_first_ = false;
    bool negative_ = false;
    bool seen_decimal_separator_ = false;
    bool previous_is_digit_ = false;
    std::int64_t pending_blanks_ = 0; // blanks seen in the mantissa: trailing, or one group
    std::int64_t digit_count_ = 0;
    std::int64_t integer_digits_ = 0;
    std::int64_t first_nonzero_ = -1;
    std::int64_t last_nonzero_ = -1;
    std::int64_t exponent_ = 0;
    bool exponent_negative_ = false;
    std::u16string significant_; // first to last non-zero digit, while at most 29
    bool too_many_digits_ = false;
};

} // namespace zandor::tools
