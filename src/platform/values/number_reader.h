#pragma once

#include "platform/values/number_format.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zandor::platform {

// A card number has at most sixteen digits: a reading keeps no more of the significant ones,
// since a number with more is no card number whatever they are.
inline constexpr std::size_t kept_significant_digits = 16;

// What a reading found: whether the text reads as a number and, if it does, its value as
// (-1)^negative x (significant digits) x 10^exponent_of_last.
struct NumberReading {
    bool is_number = false;
    bool negative = false;
    std::int64_t significant_digits = 0; // first to last non-zero mantissa digit; 0 for zero
    std::int64_t exponent_of_last = 0;   // power of ten of the last non-zero digit
    // The first significant digits, ASCII, with room past them for sixteen written whole.
    std::array<char, kept_significant_digits + 16> digits{};

    friend constexpr bool operator==(const NumberReading& a, const NumberReading& b) noexcept {
        return a.is_number == b.is_number && a.negative == b.negative &&
               a.significant_digits == b.significant_digits &&
               a.exponent_of_last == b.exponent_of_last && a.kept_digits() == b.kept_digits();
    }
    [[nodiscard]] constexpr std::string_view kept_digits() const noexcept {
        const auto kept =
            std::min(static_cast<std::size_t>(significant_digits), kept_significant_digits);
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
// "E" or "e", an optional sign and digits. Runs of digits and of blanks are taken whole, eight
// or sixteen at a time where the processor allows.
class NumberReader {
  public:
    explicit NumberReader(NumberFormat format) noexcept : format_(format), format_known_(true) {}
    // A reader that learns the format only when a character needs it: blanks around the
    // number, a sign and digits read the same in every format.
    NumberReader() noexcept = default;

    void use_format(NumberFormat format) noexcept {
        format_ = format;
        format_known_ = true;
    }
    [[nodiscard]] bool knows_format() const noexcept { return format_known_; }

    // With the format known.
    void feed(std::u16string_view units) noexcept;
    // ASCII bytes, read as the same code units without widening them first. Returns how many
    // were read: fewer than all at a byte outside ASCII, which the caller decodes and feeds as
    // UTF-16 from there on, or, while the format is not known, at the first character whose
    // reading needs it, which the caller feeds again once it has given the format.
    [[nodiscard]] std::size_t feed(std::string_view bytes) noexcept;
    // A whole text of bytes, as reset(), feed(text) and finish() read it; null where feed()
    // would stop short. Either way the reader is to be reset before it is fed.
    [[nodiscard]] const NumberReading* read_whole(std::string_view text) noexcept;
    // Ends the text. The reading is kept in the reader, where its digits were gathered (a copy
    // would read them back in wider words than they were written in, which stalls the
    // processor); it is valid until the reader is next fed or reset.
    [[nodiscard]] const NumberReading& finish() noexcept;
    // Ready for the next text, in the same format.
    void reset() noexcept { progress_ = {}; }

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
    struct Progress;
    template <typename Char>
    [[nodiscard]] std::size_t feed_units(const Char* units, std::size_t count) noexcept;
    // `readable`: the units that may be read from `run` on, the run's own and any after it.
    template <typename Char>
    void take_digit_run(Progress& s, const Char* run, std::size_t length,
                        std::size_t readable) noexcept;
    void take(Progress& s, char16_t c) noexcept;
    [[nodiscard]] const NumberReading& finished(const Progress& s) noexcept;
    [[gnu::noinline]] const NumberReading* read_in_steps(std::string_view text) noexcept;

    NumberFormat format_;
    bool format_known_ = false;
    // Where the reading of the current text stands.
    struct Progress {
        State state = State::leading_blanks;
        bool negative = false;
        bool seen_decimal_separator = false;
        bool previous_is_digit = false;
        bool exponent_negative = false;
        std::uint64_t pending_blanks =
            0; // blanks after the number so far: trailing, unless more follows
        std::int64_t digit_count = 0;
        std::int64_t integer_digits = 0;
        std::int64_t first_nonzero = -1; // digits numbered in reading order across the separator
        std::int64_t last_nonzero = -1;
        std::size_t kept = 0;
        std::int64_t exponent = 0;
    } progress_;
    NumberReading reading_; // its digits are gathered as they come
};

// The whole text at once.
[[nodiscard]] NumberReading read_number(std::u16string_view text, NumberFormat format) noexcept;

} // namespace zandor::platform
