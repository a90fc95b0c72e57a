#include "check/modZANDOR.h"

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zandor::modZANDOR {

namespace {

// The Luhn walk over a reading's kept digits, from the rightmost: every second digit is
// doubled, starting with the second or, after an odd number of zeros that add nothing, the first.
#if defined(__SSE2__)
// All sixteen bytes at once, which the reading has room for: in each a digit as it stands, or
// doubled less 9 when that reaches 10, then all summed. In check_bench this takes a fifth off a
// plain entry's check (about 36 ns against 45 for the walk digit by digit).
static_assert(platform::kept_significant_digits == max_card_length);
bool passes_luhn(std::string_view digits, bool double_last) noexcept {
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
#else
bool passes_luhn(std::string_view digits, bool double_last) noexcept {
    unsigned sum = 0; // at most 16 x 9
    bool doubled = double_last;
    for (std::size_t i = digits.size(); i-- > 0; doubled = !doubled) {
        auto digit = static_cast<unsigned>(digits[i] - '0');
        if (doubled && (digit *= 2) >= 10)
            digit = digit - 10 + 1; // the sum of the doubled value's two digits
        sum += digit;
    }
    return sum % 10 == 0;
}
#endif

} // namespace

bool CheckCardNumber(std::u16string_view entry, const platform::NumberFormat& format) noexcept {
    return CheckCardNumber(platform::read_number(entry, format));
}

// The value's plain decimal text is its significant digits, then exponent_of_last zeros: a
// negative value's text starts with "-", and one with a non-zero digit below the units holds
// the decimal separator, so neither is a card number. The digits are walked where the reading
// keeps them, the zeros only shifting which digits are doubled.
bool CheckCardNumber(const platform::NumberReading& entry) noexcept {
    const std::int64_t zeros = entry.exponent_of_last;
    if (!entry.is_number || entry.negative || zeros < 0)
        return false;
    const std::int64_t length = entry.significant_digits + zeros;
    if (length < min_card_length || length > max_card_length)
        return false;
    return passes_luhn(entry.kept_digits(), zeros % 2 == 1);
}

} // namespace zandor::modZANDOR
