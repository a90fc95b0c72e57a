#pragma once

#include "platform/values/number_format.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zandor::platform {

// Why a text does not read as a number.
enum class ReadError : std::uint8_t {
    none,
    empty,                     // nothing but blanks
    no_digits,                 // a sign or separator without a mantissa digit
    misplaced_group_separator, // not between two digits of the integer part
    second_decimal_separator,
    exponent_without_digits,
    unexpected_character,
};

// A card number has at most sixteen digits: a reading keeps no more of the significant ones,
// since a number with more is no card number whatever they are.
inline constexpr std::size_t kept_significant_digits = 16;

// What a reading found: whether the text reads as a number and, if it does, its value as
// (-1)^negative x (significant digits) x 10^exponent_of_last.
struct NumberReading {
    ReadError error = ReadError::empty;
    std::uint64_t error_position = 0; // the code unit where the text stopped reading as a number
    bool negative = false;
    std::int64_t significant_digits = 0; // first to last non-zero mantissa digit; 0 for zero
    std::int64_t exponent_of_last = 0;   // power of ten of the last non-zero digit
    std::array<char, kept_significant_digits> digits{}; // the first significant digits, ASCII

    friend constexpr bool operator==(const NumberReading& a, const NumberReading& b) noexcept {
        return a.error == b.error && a.error_position == b.error_position &&
               a.negative == b.negative && a.significant_digits == b.significant_digits &&
               a.exponent_of_last == b.exponent_of_last && a.kept_digits() == b.kept_digits();
    }
    [[nodiscard]] constexpr bool ok() const noexcept { return error == ReadError::none; }
    [[nodiscard]] constexpr bool is_zero() const noexcept { return significant_digits == 0; }
    [[nodiscard]] constexpr std::string_view kept_digits() const noexcept {
        const auto kept = std::min(static_cast<std::size_t>(significant_digits), digits.size());
        return {digits.data(), kept};
    }
};

// Exponents are read up to this size; anything larger behaves the same way (far out of range,
// or far below the smallest step), so a long run of exponent digits costs no more than reading it.
inline constexpr std::int64_t exponent_saturation = 1'000'000'000'000'000;

// The numeric test and the value of a text, read in one pass that can be fed the text whole
// or in pieces of any size, in memory bounded whatever the text's length. Accepted, after
// leading and trailing U+0020 blanks: an optional sign; ASCII digits with the group separator
// only between two digits of the integer part and at most one decimal separator; optionally
// "E" or "e", an optional sign and digits.
class NumberReader {
  public:
    explicit NumberReader(NumberFormat format) noexcept : format_(format) {}

    // A text of ASCII digits alone reads the same in every format, so a reader that has met
    // nothing else yet may still be given the format it reads the rest in.
    void use_format(NumberFormat format) noexcept { format_ = format; }

    void feed(std::u16string_view units) noexcept;
    // ASCII bytes, read as the same code units without widening them first. Returns how many
    // were read: fewer than all only at a byte outside ASCII, which the caller decodes and
    // feeds as UTF-16 from there on.
    [[nodiscard]] std::size_t feed(std::string_view bytes) noexcept;
    // A whole text that is the usual entry, a card number's ASCII digits (at most 16 after
    // leading zeros), with a sign or blanks around or not, read at once without a step per
    // digit, as finish() would give it; null for any other text. Only for a reader at the
    // start of a text, which it leaves there.
    [[nodiscard]] const NumberReading* read_plain(std::string_view text) noexcept;
    // Ends the text. The reading is kept in the reader, where its digits were gathered (a copy
    // would read them back in wider words than they were written in, which stalls the
    // processor); it is valid until the reader is next fed or reset.
    [[nodiscard]] const NumberReading& finish() noexcept;
    // Ready for the next text, field by field, for the same reason.
    void reset() noexcept;

  private:
    enum class State : std::uint8_t {
        leading_blanks,
        mantissa,
        after_group_separator,
        exponent_mark,
        exponent_sign,
        exponent_digits,
        failed,
    };
    template <typename Char>
    [[nodiscard]] std::size_t feed_units(const Char* units, std::size_t count) noexcept;
    // `readable`: the units that may be read from `run` on, the run's own and any after it.
    template <typename Char>
    void take_digit_run(const Char* run, std::size_t length, std::size_t readable) noexcept;
    template <typename Char>
    void keep_run_digits(const Char* digits, std::size_t count, std::size_t readable) noexcept;
    void take(char16_t c) noexcept;
    void take_pending_blanks() noexcept;
    void fail(ReadError error, std::uint64_t position) noexcept;

    NumberFormat format_;
    State state_ = State::leading_blanks;
    std::uint64_t position_ = 0; // of the next code unit
    std::uint64_t pending_blanks_ =
        0; // blanks after the number so far: trailing, unless more follows
    bool negative_ = false;
    bool seen_decimal_separator_ = false;
    bool previous_is_digit_ = false;
    std::uint64_t group_separator_position_ = 0;
    std::int64_t digit_count_ = 0;
    std::int64_t integer_digits_ = 0;
    std::int64_t first_nonzero_ = -1; // digits numbered in reading order across the separator
    std::int64_t last_nonzero_ = -1;
    std::size_t kept_ = 0;
    NumberReading reading_; // its digits are gathered as they come
    std::int64_t exponent_ = 0;
    bool exponent_negative_ = false;
    ReadError error_ = ReadError::none;
    std::uint64_t error_position_ = 0;
};

// How many of the bytes, from the first, are ASCII digits.
[[nodiscard]] std::size_t digit_run_length(std::string_view bytes) noexcept;

// The whole text at once.
[[nodiscard]] NumberReading read_number(std::u16string_view text, NumberFormat format) noexcept;

} // namespace zandor::platform
