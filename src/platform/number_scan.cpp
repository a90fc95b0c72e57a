#include "platform/number_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zandor::platform {
namespace {

constexpr char16_t blank = u' ';

constexpr bool is_digit(char16_t c) noexcept {
    return c >= u'0' && c <= u'9';
}

// The end of the run of ASCII digits that starts at `i`. Entries are mostly digits, so
// eight are tested at a time where the processor allows.
std::size_t digit_run_end(std::u16string_view text, std::size_t i, std::size_t end) noexcept {
#if defined(__SSE2__)
    const __m128i zero_digit = _mm_set1_epi16(u'0');
    const __m128i nine = _mm_set1_epi16(9);
    while (end - i >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        // (unit - '0') saturating-minus 9 is zero exactly for the digits.
        const __m128i over = _mm_subs_epu16(_mm_sub_epi16(units, zero_digit), nine);
        const auto digits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(over, _mm_setzero_si128())));
        if (digits != 0xFFFF)
            return i + static_cast<std::size_t>(__builtin_ctz(~digits)) / 2;
        i += 8;
    }
#endif
    while (i < end && is_digit(text[i]))
        ++i;
    return i;
}

constexpr NumberScan failure(ScanError error, std::size_t position) noexcept {
    NumberScan scan;
    scan.error = error;
    scan.error_position = position;
    return scan;
}

} // namespace

NumberScan scan_number(std::u16string_view text, NumberFormat format) noexcept {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == blank)
        ++begin;
    while (end > begin && text[end - 1] == blank)
        --end;
    if (begin == end)
        return failure(ScanError::empty, begin);

    NumberScan scan;
    std::size_t i = begin;
    if (text[i] == u'+' || text[i] == u'-') {
        scan.negative = text[i] == u'-';
        ++i;
    }

    // Mantissa: runs of digits, separated by group separators or one decimal separator.
    // Digits are numbered in reading order across the decimal separator.
    std::int64_t digit_count = 0;
    std::int64_t integer_digits = 0;
    std::int64_t first_nonzero = -1;
    std::int64_t last_nonzero = -1;
    bool seen_decimal_separator = false;
    while (i < end) {
        const std::size_t run = i;
        i = digit_run_end(text, i, end);
        if (i > run) {
            const auto run_length = static_cast<std::int64_t>(i - run);
            std::size_t past_last = i; // one past the run's last non-zero digit
            while (past_last > run && text[past_last - 1] == u'0')
                --past_last;
            if (past_last > run) {
                if (first_nonzero < 0) {
                    std::size_t first = run;
                    while (text[first] == u'0')
                        ++first;
                    first_nonzero = digit_count + static_cast<std::int64_t>(first - run);
                    scan.first_significant = first;
                }
                last_nonzero = digit_count + static_cast<std::int64_t>(past_last - 1 - run);
                scan.last_significant = past_last - 1;
            }
            digit_count += run_length;
            if (!seen_decimal_separator)
                integer_digits += run_length;
        }
        if (i == end)
            break;
        const char16_t c = text[i];
        if (c == format.decimal_separator) {
            if (seen_decimal_separator)
                return failure(ScanError::second_decimal_separator, i);
            seen_decimal_separator = true;
        } else if (c == format.group_separator && c != u'\0') {
            const bool between_digits = i > begin && is_digit(text[i - 1]) && i + 1 < end &&
                                        is_digit(text[i + 1]) && !seen_decimal_separator;
            if (!between_digits)
                return failure(ScanError::misplaced_group_separator, i);
        } else {
            break;
        }
        ++i;
    }
    if (digit_count == 0)
        return failure(ScanError::no_digits, i);

    std::int64_t exponent = 0;
    if (i < end && (text[i] == u'E' || text[i] == u'e')) {
        ++i;
        bool exponent_negative = false;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) {
            exponent_negative = text[i] == u'-';
            ++i;
        }
        const std::size_t exponent_digits_begin = i;
        for (; i < end && is_digit(text[i]); ++i) {
            if (exponent < exponent_saturation)
                exponent = exponent * 10 + (text[i] - u'0');
        }
        if (i == exponent_digits_begin)
            return failure(ScanError::exponent_without_digits, i);
        if (exponent > exponent_saturation)
            exponent = exponent_saturation;
        if (exponent_negative)
            exponent = -exponent;
    }
    if (i != end)
        return failure(ScanError::unexpected_character, i);

    scan.error = ScanError::none;
    scan.error_position = end;
    if (first_nonzero >= 0) {
        scan.significant_digits = last_nonzero - first_nonzero + 1;
        scan.exponent_of_last = exponent + integer_digits - 1 - last_nonzero;
    }
    return scan;
}

} // namespace zandor::platform
