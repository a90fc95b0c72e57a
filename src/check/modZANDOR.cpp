#include "check/modZANDOR.h"

#include "platform/values/decimal.h"
#include "platform/values/text_ops.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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

// The Luhn walk: from the rightmost character, every second digit is doubled, starting with
// the second or, after an odd number of zeros that add nothing, the first. A character
// without a digit value (the "-" of a negative value, the separator of a fraction) makes the
// number no card number.
template <typename Char>
bool passes_luhn(std::basic_string_view<Char> text, bool double_last = false) noexcept {
    const auto value = [&text](std::size_t i) { return static_cast<unsigned>(text[i]) - '0'; };
    unsigned sum = 0; // at most 16 x 9
    std::size_t i = text.size();
    if (double_last && i > 0) {
        if (value(--i) > 9)
            return false;
        sum += contribution[1][value(i)];
    }
    for (; i >= 2; i -= 2) { // two digits a step: the right one as it stands, the left doubled
        const unsigned kept = value(i - 1);
        const unsigned doubled = value(i - 2);
        if (kept > 9 || doubled > 9)
            return false;
        sum += contribution[0][kept] + contribution[1][doubled];
    }
    if (i == 1) {
        if (value(0) > 9)
            return false;
        sum += value(0);
    }
    return sum % 10 == 0;
}

// The same walk over 8 to 16 digits that are known to be ASCII digits, eight at a time: in
// each byte a digit as it stands, or doubled less 9 when that reaches 10, then all summed.
std::uint64_t load_word(const char* p) noexcept {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

unsigned luhn_sum_of_word(std::uint64_t digits, std::uint64_t doubled_bytes) noexcept {
    constexpr std::uint64_t ones = 0x0101010101010101;
    const std::uint64_t values = digits - 0x30 * ones;
    const std::uint64_t five_or_more = ((values + 0x7B * ones) >> 7) & ones & doubled_bytes;
    const std::uint64_t contributions = values + (values & doubled_bytes) - 9 * five_or_more;
    return static_cast<unsigned>((contributions * ones) >> 56); // at most 8 x 9
}

bool passes_luhn_eight_at_a_time(std::string_view digits, bool double_last) noexcept {
    constexpr std::uint64_t even_bytes = 0x00FF00FF00FF00FF; // bytes 0, 2, 4, 6 in memory order
    const std::size_t n = digits.size();
    // The last eight: the one at the right end (byte 7) is doubled only after odd zeros.
    unsigned sum =
        luhn_sum_of_word(load_word(digits.data() + n - 8), double_last ? ~even_bytes : even_bytes);
    if (n > 8) {
        // The first n - 8, with the bytes the last eight already hold turned into zeros.
        const std::uint64_t first_bytes = n == 16 ? ~0ULL : (1ULL << (8 * (n - 8))) - 1;
        const std::uint64_t first =
            (load_word(digits.data()) & first_bytes) | (0x3030303030303030 & ~first_bytes);
        const bool even_doubled = ((n - 1) % 2 == 1) != double_last;
        sum += luhn_sum_of_word(first, even_doubled ? even_bytes : ~even_bytes);
    }
    return sum % 10 == 0;
}

bool has_card_length(std::size_t n) noexcept {
    return n >= static_cast<std::size_t>(min_card_length) &&
           n <= static_cast<std::size_t>(max_card_length);
}

} // namespace

bool CheckCardNumber(std::u16string_view entry, const platform::NumberFormat& format) noexcept {
    return CheckCardNumber(platform::read_number(entry, format), format.decimal_separator);
}

bool CheckCardNumber(const platform::NumberReading& entry, char16_t decimal_separator) noexcept {
    if (!entry.ok())
        return false;

    // A whole, non-negative number of card length is held exactly, and its text is its
    // significant digits, then zeros: walked where the reading keeps them, unwritten.
    const std::int64_t k = entry.significant_digits;
    const std::int64_t q = entry.exponent_of_last;
    if (!entry.negative && q >= 0 && k + q <= max_card_length) {
        if (!has_card_length(static_cast<std::size_t>(k + q)))
            return false;
        if (std::endian::native == std::endian::little && k >= 8)
            return passes_luhn_eight_at_a_time(entry.kept_digits(), q % 2 == 1);
        return passes_luhn(entry.kept_digits(), q % 2 == 1);
    }

    // Out of range, or rounded because it has more fraction than the decimal can hold: in
    // both cases the entry is not exactly the whole number a card number must be.
    const platform::ValueText canonical(entry, decimal_separator);
    if (canonical.status() != platform::ConversionStatus::exact)
        return false;

    return has_card_length(platform::length(canonical.view())) && passes_luhn(canonical.view());
}

} // namespace zandor::modZANDOR
