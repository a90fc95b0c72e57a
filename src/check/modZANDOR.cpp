#include "check/modZANDOR.h"

#include "platform/values/decimal.h"
#include "platform/values/text_ops.h"

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// The same walk over up to 16 ASCII digits kept in a reading, which has room for sixteen, all
// at once: in each byte a digit as it stands, or doubled less 9 when that reaches 10, then all
// summed.
static_assert(platform::kept_significant_digits >= 16);
bool passes_luhn_at_once(std::string_view digits, bool double_last) noexcept {
    const std::size_t n = digits.size();
    static constexpr std::array<char, 32> first_n = {-1, -1, -1, -1, -1, -1, -1, -1,
                                                     -1, -1, -1, -1, -1, -1, -1, -1};
    const __m128i kept =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(first_n.data() + (16 - n)));
    const __m128i values =
        _mm_and_si128(_mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(digits.data())),
                                   _mm_set1_epi8('0')),
                      kept);
    // A digit is doubled when an odd number of digits follows it, or an even number after odd
    // zeros: every second byte.
    const bool even_doubled = ((n - 1) % 2 == 1) != double_last;
    const __m128i doubled = _mm_set1_epi16(even_doubled ? 0x00FF : static_cast<short>(0xFF00));
    const __m128i less_nine_from_five = _mm_sub_epi8(
        values, _mm_and_si128(_mm_cmpgt_epi8(values, _mm_set1_epi8(4)), _mm_set1_epi8(9)));
    const __m128i contributions = _mm_add_epi8(values, _mm_and_si128(less_nine_from_five, doubled));
    const __m128i sums = _mm_sad_epu8(contributions, _mm_setzero_si128());
    const auto sum = static_cast<unsigned>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
    return sum % 10 == 0;
}
#endif

bool has_card_length(std::size_t n) noexcept {
    return n >= static_cast<std::size_t>(min_card_length) &&
           n <= static_cast<std::size_t>(max_card_length);
}

// What is left: past sixteen digits (out of range, or too long once written), or a negative
// zero, written "0". Kept out of line, so that the usual entry's check sets up no room for
// the written text.
[[gnu::noinline]] bool passes_as_written(const platform::NumberReading& entry,
                                         char16_t decimal_separator) noexcept {
    const platform::ValueText canonical(entry, decimal_separator);
    if (canonical.status() != platform::ConversionStatus::exact)
        return false;
    return has_card_length(platform::length(canonical.view())) && passes_luhn(canonical.view());
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
#if defined(__SSE2__)
        return passes_luhn_at_once(entry.kept_digits(), q % 2 == 1);
#else
        return passes_luhn(entry.kept_digits(), q % 2 == 1);
#endif
    }

    // A negative value's text starts with "-", and a value with a non-zero digit below the
    // units is written with the decimal separator, or is rounded, so not exact: neither is
    // a card number.
    if ((entry.negative && !entry.is_zero()) || q < 0)
        return false;

    return passes_as_written(entry, decimal_separator);
}

} // namespace zandor::modZANDOR
