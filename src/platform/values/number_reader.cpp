#include "platform/values/number_reader.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zandor::platform {
namespace {

constexpr char16_t blank = u' ';

template <typename Char> constexpr bool is_digit(Char c) noexcept {
    return c >= '0' && c <= '9';
}

// The end of the run of ASCII digits that starts at `p`. Entries are mostly digits, so
// eight or sixteen are tested at a time where the processor allows.
const char16_t* digit_run_end(const char16_t* p, const char16_t* end) noexcept {
#if defined(__SSE2__)
    const __m128i zero_digit = _mm_set1_epi16(u'0');
    const __m128i nine = _mm_set1_epi16(9);
    while (end - p >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // (unit - '0') saturating-minus 9 is zero exactly for the digits.
        const __m128i over = _mm_subs_epu16(_mm_sub_epi16(units, zero_digit), nine);
        const auto digits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(over, _mm_setzero_si128())));
        if (digits != 0xFFFF)
            return p + __builtin_ctz(~digits) / 2;
        p += 8;
    }
#endif
    while (p != end && is_digit(*p))
        ++p;
    return p;
}

// A flag in each byte of a word of eight that is no ASCII digit: its high half is not 3, or
// adding 6 makes it so. A carry out of such a byte may flag the next one too, but only bytes
// after the first flagged one.
constexpr std::uint64_t non_digit_flags(std::uint64_t word) noexcept {
    constexpr std::uint64_t high_halves = 0xF0F0F0F0F0F0F0F0;
    constexpr std::uint64_t threes = 0x3030303030303030;
    return ((word & high_halves) ^ threes) | (((word + 0x0606060606060606) & high_halves) ^ threes);
}

std::uint64_t load_word(const char* p) noexcept {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

constexpr std::uint64_t ascii_zeros = 0x3030303030303030; // eight "0"

// The same for blanks.
constexpr std::uint64_t non_blank_flags(std::uint64_t word) noexcept {
    return word ^ 0x2020202020202020;
}

// The first byte from `p` on that is flagged, where the piece's last eight bytes hold all
// from `p` to its end (those before `p` are ASCII: the reader stops at any other byte, so
// none carries into the flags of the next).
template <auto flags_of>
const char* run_end_in_last_eight(const char* p, const char* end) noexcept {
    const auto known = static_cast<unsigned>(8 - (end - p));
    const std::uint64_t flags = flags_of(load_word(end - 8)) >> (8 * known);
    return flags == 0 ? end : p + std::countr_zero(flags) / 8;
}
constexpr auto digit_run_end_in_last_eight = run_end_in_last_eight<non_digit_flags>;

// A run longer than sixteen bytes, such as a long run of leading zeros, sixteen at a time
// where the processor allows: against eight at a time, a twentieth off the bench's mixed lines.
[[gnu::noinline]] const char* long_digit_run_end(const char* p, const char* end) noexcept {
#if defined(__SSE2__)
    const __m128i zero_digit = _mm_set1_epi8('0');
    const __m128i nine = _mm_set1_epi8(9);
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i over = _mm_subs_epu8(_mm_sub_epi8(bytes, zero_digit), nine);
        const auto digits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(over, _mm_setzero_si128())));
        if (digits != 0xFFFF)
            return p + std::countr_zero(~digits);
        p += 16;
    }
#endif
    for (; end - p > 8; p += 8)
        if (const std::uint64_t flags = non_digit_flags(load_word(p)); flags != 0)
            return p + std::countr_zero(flags) / 8;
    return p == end ? end : digit_run_end_in_last_eight(p, end);
}

// The same for bytes, in a piece that starts at `begin`. Lines are mostly shorter than
// sixteen bytes, so a run is mostly found in the word at `p` and the last eight bytes.
[[gnu::always_inline]] inline const char* digit_run_end(const char* begin, const char* p,
                                                        const char* end) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        if (end - p > 8) {
            if (const std::uint64_t flags = non_digit_flags(load_word(p)); flags != 0)
                return p + std::countr_zero(flags) / 8;
            return end - p <= 16 ? digit_run_end_in_last_eight(p + 8, end)
                                 : long_digit_run_end(p + 8, end);
        }
        if (p != end && end - begin >= 8)
            return digit_run_end_in_last_eight(p, end);
    }
    while (p != end && is_digit(*p))
        ++p;
    return p;
}

// The end of the run of blanks that starts at `p`, in a piece that starts at `begin`: a few
// around a number, mostly found in one word (against a byte at a time, a thirtieth off the
// bench's mixed lines).
[[gnu::always_inline]] inline const char* blank_run_end(const char* begin, const char* p,
                                                        const char* end) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        if (end - p >= 8) {
            if (const std::uint64_t flags = non_blank_flags(load_word(p)); flags != 0)
                return p + std::countr_zero(flags) / 8;
        } else if (p != end && end - begin >= 8) {
            return run_end_in_last_eight<non_blank_flags>(p, end);
        }
    }
    return std::find_if(p, end, [](char c) { return c != blank; });
}

const char16_t* blank_run_end(const char16_t*, const char16_t* p, const char16_t* end) noexcept {
    return std::find_if(p, end, [](char16_t c) { return c != blank; });
}

// A card number's 8 to 16 digits, from two loads that may overlap, stored in one piece of
// sixteen bytes (little-endian): the check's load of sixteen is then served from the store
// (against a copy of their own length, a tenth off the bench's plain lines).
void keep_sixteen(char* kept, const char* digits, std::size_t count) noexcept {
    const std::uint64_t first = load_word(digits);
    const std::uint64_t rest = count == 8 ? 0 : load_word(digits + count - 8) >> (8 * (16 - count));
#if defined(__SSE2__)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(kept),
                     _mm_set_epi64x(static_cast<long long>(rest), static_cast<long long>(first)));
#else
    std::memcpy(kept, &first, 8);
    std::memcpy(kept + 8, &rest, 8);
#endif
}

// Copies `count` digits to where a reading keeps them, which has room for sixteen more than
// it keeps, with `readable` bytes from `digits` on.
template <typename Char>
void keep_digits(char* kept, const Char* digits, std::size_t count, std::size_t readable) noexcept {
    if constexpr (sizeof(Char) == 1) {
        if (count < 8 && readable >= 8) { // a short run, such as a group's
            std::memcpy(kept, digits, 8);
            return;
        }
        if (std::endian::native == std::endian::little && count >= 8 && count <= 16)
            return keep_sixteen(kept, digits, count);
    }
    for (std::size_t j = 0; j < count; ++j)
        kept[j] = static_cast<char>(digits[j]);
}

} // namespace

template <typename Char>
[[gnu::always_inline]] inline std::size_t NumberReader::feed_units(const Char* const units,
                                                                   std::size_t count) noexcept {
    Progress& s = progress_;
    const Char* p = units;
    const Char* const end = units + count;
    while (p != end && s.state != State::failed) {
        const Char c = *p;
        if (c == blank) {
            // Leading blanks go; later ones wait to learn whether anything but blanks follows.
            const Char* const run_end = blank_run_end(units, p, end);
            if (s.state != State::leading_blanks)
                s.pending_blanks += static_cast<std::uint64_t>(run_end - p);
            p = run_end;
            continue;
        }
        if constexpr (sizeof(Char) == 1) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return static_cast<std::size_t>(p - units); // for the caller to widen
        }
        if (s.state == State::leading_blanks) {
            s.state = State::mantissa;
            if (c == '+' || c == '-') {
                s.negative = c == '-';
                ++p;
                continue;
            }
        }
        if (is_digit(c) && s.pending_blanks == 0 &&
            (s.state == State::mantissa || s.state == State::after_group_separator)) {
            const Char* run_end;
            if constexpr (sizeof(Char) == 1)
                run_end = digit_run_end(units, p, end);
            else
                run_end = digit_run_end(p, end);
            s.state = State::mantissa;
            take_digit_run(s, p, static_cast<std::size_t>(run_end - p),
                           static_cast<std::size_t>(end - p));
            p = run_end;
            continue;
        }
        // Only in the mantissa is a character compared with the separators.
        if (!format_known_ && s.state == State::mantissa)
            return static_cast<std::size_t>(p - units);
        // Blanks inside the text are read as what they are there: a separator where the format
        // makes a blank one, or no part of a number. A third never reads, so no more are taken.
        // What follows them is read anew.
        if (s.pending_blanks != 0) {
            for (; s.pending_blanks != 0 && s.state != State::failed; --s.pending_blanks)
                take(s, blank);
            continue;
        }
        take(s, static_cast<char16_t>(c));
        ++p;
    }
    return count;
}

[[gnu::always_inline]] inline void NumberReader::take(Progress& s, char16_t c) noexcept {
    switch (s.state) {
    case State::leading_blanks: // left before any unit but a blank is taken
    case State::mantissa:       // digits come in runs
        if (c == format_.decimal_separator) {
            s.state = s.seen_decimal_separator ? State::failed : s.state;
            s.seen_decimal_separator = true;
            s.previous_is_digit = false;
        } else if (c == format_.group_separator && c != u'\0') {
            s.state = s.previous_is_digit && !s.seen_decimal_separator
                          ? State::after_group_separator
                          : State::failed;
            s.previous_is_digit = false;
        } else {
            s.state = s.digit_count != 0 && (c == u'E' || c == u'e') ? State::exponent_mark
                                                                     : State::failed;
        }
        return;
    case State::after_group_separator: // only a run of digits may follow
        s.state = State::failed;
        return;
    case State::exponent_mark:
        if (c == u'+' || c == u'-') {
            s.exponent_negative = c == u'-';
            s.state = State::exponent_sign;
            return;
        }
        [[fallthrough]];
    case State::exponent_sign:
    case State::exponent_digits:
        if (!is_digit(c)) {
            s.state = State::failed;
            return;
        }
        s.state = State::exponent_digits;
        s.exponent = std::min(s.exponent * 10 + (c - u'0'), exponent_saturation);
        return;
    case State::failed:
        return;
    }
}

// The digits from the first non-zero one on are kept as they come, up to the room there is;
// the trailing zeros among them count once a non-zero digit follows.
template <typename Char>
[[gnu::always_inline]] inline void NumberReader::take_digit_run(Progress& s, const Char* run,
                                                                std::size_t length,
                                                                std::size_t readable) noexcept {
    const bool before_first = s.first_nonzero < 0;
    // The run's non-zero digits lie from `first` to before `past_last`, if it has any.
    std::size_t first = 0;
    std::size_t past_last = length;
    bool in_words = false;
    if constexpr (sizeof(Char) == 1) {
        // Up to sixteen digits, a card number's or a group's, found in two words that may
        // overlap: the first eight (or fewer) and the last eight.
        if (std::endian::native == std::endian::little && length <= 16 && readable >= 8) {
            in_words = true;
            const std::size_t tail_start = length >= 8 ? length - 8 : 0;
            std::uint64_t head = load_word(run) ^ ascii_zeros;
            if (length < 8)
                head &= (std::uint64_t{1} << (8 * length)) - 1;
            const std::uint64_t tail =
                length < 8 ? head : load_word(run + tail_start) ^ ascii_zeros;
            first = head != 0   ? static_cast<std::size_t>(std::countr_zero(head)) / 8
                    : tail != 0 ? tail_start + static_cast<std::size_t>(std::countr_zero(tail)) / 8
                                : length;
            past_last = tail != 0
                            ? tail_start + 8 - static_cast<std::size_t>(std::countl_zero(tail)) / 8
                        : head != 0 ? 8 - static_cast<std::size_t>(std::countl_zero(head)) / 8
                                    : 0;
        }
    }
    if (!in_words) {
        if (before_first) { // a long run of leading zeros goes eight at a time
            if constexpr (sizeof(Char) == 1)
                while (length - first >= 8 && load_word(run + first) == ascii_zeros)
                    first += 8;
            while (first < length && run[first] == '0')
                ++first;
        }
        if constexpr (sizeof(Char) == 1)
            while (past_last >= first + 8 && load_word(run + past_last - 8) == ascii_zeros)
                past_last -= 8;
        while (past_last > first && run[past_last - 1] == '0')
            --past_last;
    }
    if (past_last > first) {
        if (before_first)
            s.first_nonzero = s.digit_count + static_cast<std::int64_t>(first);
        s.last_nonzero = s.digit_count + static_cast<std::int64_t>(past_last) - 1;
    }
    if (s.first_nonzero >= 0 && s.kept < kept_significant_digits) {
        const std::size_t from = before_first ? first : 0;
        const std::size_t taken = std::min(length - from, kept_significant_digits - s.kept);
        keep_digits(reading_.digits.data() + s.kept, run + from, taken, readable - from);
        s.kept += taken;
    }
    s.digit_count += static_cast<std::int64_t>(length);
    if (!s.seen_decimal_separator)
        s.integer_digits += static_cast<std::int64_t>(length);
    s.previous_is_digit = true;
}

[[gnu::always_inline]] inline const NumberReading&
NumberReader::finished(const Progress& s) noexcept {
    NumberReading& reading = reading_;
    reading.is_number =
        (s.state == State::mantissa && s.digit_count != 0) || s.state == State::exponent_digits;
    reading.negative = reading.is_number && s.negative;
    reading.significant_digits = 0;
    reading.exponent_of_last = 0;
    if (reading.is_number && s.first_nonzero >= 0) {
        reading.significant_digits = s.last_nonzero - s.first_nonzero + 1;
        const std::int64_t exponent = s.exponent_negative ? -s.exponent : s.exponent;
        reading.exponent_of_last = exponent + s.integer_digits - 1 - s.last_nonzero;
    }
    return reading;
}

const NumberReading& NumberReader::finish() noexcept {
    return finished(progress_);
}

void NumberReader::feed(std::u16string_view units) noexcept {
    static_cast<void>(feed_units(units.data(), units.size()));
}

std::size_t NumberReader::feed(std::string_view bytes) noexcept {
    return feed_units(bytes.data(), bytes.size());
}

const NumberReading* NumberReader::read_whole(std::string_view text) noexcept {
    // A card number's digits alone, the usual entry, found in two words, are one step: the
    // first digit run, taken from a state known here and kept in registers.
    const char* const begin = text.data();
    const std::size_t length = text.size();
    if (length < 8 || length > 16 ||
        (non_digit_flags(load_word(begin)) | non_digit_flags(load_word(begin + length - 8))) != 0)
        return read_in_steps(text);
    Progress alone{.state = State::mantissa};
    take_digit_run(alone, begin, length, length);
    return &finished(alone);
}

// Kept apart, so that the usual entry's step saves no registers for the others.
const NumberReading* NumberReader::read_in_steps(std::string_view text) noexcept {
    reset();
    return feed_units(text.data(), text.size()) == text.size() ? &finished(progress_) : nullptr;
}

NumberReading read_number(std::u16string_view text, NumberFormat format) noexcept {
    NumberReader reader(format);
    reader.feed(text);
    return reader.finish();
}

} // namespace zandor::platform
