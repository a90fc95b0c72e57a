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

// The same for bytes, where `begin` is the start of the piece: lines are mostly shorter than
// sixteen bytes, so their last few are tested in the eight that end the piece.
const char* digit_run_end(const char* begin, const char* p, const char* end) noexcept {
#if defined(__SSE2__)
    const __m128i zero_digit = _mm_set1_epi8('0');
    const __m128i nine = _mm_set1_epi8(9);
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i over = _mm_subs_epu8(_mm_sub_epi8(bytes, zero_digit), nine);
        const auto digits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(over, _mm_setzero_si128())));
        if (digits != 0xFFFF)
            return p + __builtin_ctz(~digits);
        p += 16;
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            if (const std::uint64_t flags = non_digit_flags(load_word(p)); flags != 0)
                return p + __builtin_ctzll(flags) / 8;
            p += 8;
        }
        if (p != end && end - begin >= 8) {
            const char* last_eight = end - 8;
            const auto known = static_cast<unsigned>(p - last_eight); // digits, 1 to 7 of them
            const std::uint64_t flags = non_digit_flags(load_word(last_eight)) >> (8 * known);
            return flags == 0 ? end : p + __builtin_ctzll(flags) / 8;
        }
    }
    while (p != end && is_digit(*p))
        ++p;
    return p;
}

// The end of the run of "0" that starts at `p`: sixteen, then eight at a time.
const char* zero_run_end(const char* p, const char* end) noexcept {
#if defined(__SSE2__)
    const __m128i zeros = _mm_set1_epi8('0');
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zeros)));
        if (same != 0xFFFF)
            return p + __builtin_ctz(~same);
        p += 16;
    }
#endif
    while (end - p >= 8 && load_word(p) == ascii_zeros)
        p += 8;
    while (p != end && *p == '0')
        ++p;
    return p;
}

// A card number's 8 to 16 digits, from two loads that may overlap, stored in one piece of
// sixteen bytes (little-endian): the check's loads of eight are then served from the store.
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

// Copies `count` digits to where a reading keeps them, with `room` bytes free there and
// `readable` bytes from `digits` on.
template <typename Char>
void keep_digits(char* kept, const Char* digits, std::size_t count, std::size_t room,
                 std::size_t readable) noexcept {
    if constexpr (sizeof(Char) == 1) {
        if (count < 8 && room >= 8 && readable >= 8) { // a short run, such as a group's
            std::memcpy(kept, digits, 8);
            return;
        }
        if (std::endian::native == std::endian::little && count >= 8 && count <= 16 && room >= 16)
            return keep_sixteen(kept, digits, count);
    }
    for (std::size_t j = 0; j < count; ++j)
        kept[j] = static_cast<char>(digits[j]);
}

} // namespace

void NumberReader::feed(std::u16string_view units) noexcept {
    static_cast<void>(feed_units(units.data(), units.size()));
}

std::size_t NumberReader::feed(std::string_view bytes) noexcept {
    return feed_units(bytes.data(), bytes.size());
}

template <typename Char>
std::size_t NumberReader::feed_units(const Char* const units, std::size_t count) noexcept {
    const Char* p = units;
    const Char* const end = units + count;
    while (p != end && state_ != State::failed) {
        const Char c = *p;
        if (state_ == State::leading_blanks && c != blank) {
            state_ = State::mantissa;
            if (c == '+' || c == '-') {
                negative_ = c == '-';
                ++position_;
                ++p;
                continue;
            }
        }
        if (is_digit(c) && pending_blanks_ == 0 &&
            (state_ == State::mantissa || state_ == State::after_group_separator)) {
            const Char* run_end;
            if constexpr (sizeof(Char) == 1) {
                // Most runs end within sixteen bytes: found here, without a call.
                std::uint64_t flags = 0;
                if (std::endian::native == std::endian::little && end - p >= 8 &&
                    (flags = non_digit_flags(load_word(p))) != 0)
                    run_end = p + std::countr_zero(flags) / 8;
                else if (std::endian::native == std::endian::little && end - p >= 16 &&
                         (flags = non_digit_flags(load_word(p + 8))) != 0)
                    run_end = p + 8 + std::countr_zero(flags) / 8;
                else
                    run_end = digit_run_end(units, p, end);
            } else {
                run_end = digit_run_end(p, end);
            }
            state_ = State::mantissa;
            take_digit_run(p, static_cast<std::size_t>(run_end - p),
                           static_cast<std::size_t>(end - p));
            position_ += static_cast<std::uint64_t>(run_end - p);
            p = run_end;
            continue;
        }
        if constexpr (sizeof(Char) == 1) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return static_cast<std::size_t>(p - units); // for the caller to widen
        }
        if (c == blank) {
            // Leading blanks go; later ones wait to learn whether anything but blanks follows.
            if (state_ != State::leading_blanks)
                ++pending_blanks_;
        } else {
            if (pending_blanks_ != 0)
                take_pending_blanks();
            take(static_cast<char16_t>(c));
        }
        ++position_;
        ++p;
    }
    return count;
}

const NumberReading* NumberReader::read_plain(std::string_view text) noexcept {
    if constexpr (std::endian::native != std::endian::little)
        return nullptr;
    // Blanks around the number, as pastes bring them, read as no part of it, and a sign may
    // come before the digits; the usual entry has neither, which one test tells.
    std::size_t start = 0;
    std::size_t stop = text.size();
    bool negative = false;
    if (stop == 0)
        return nullptr;
    const char front = text.front();
    if ((front == ' ') | (front == '-') | (front == '+') | (text.back() == ' ')) {
        if (stop >= 8) { // up to seven blanks at each end, counted in a word
            constexpr std::uint64_t blanks = 0x2020202020202020;
            const std::uint64_t first = load_word(text.data()) ^ blanks;
            const std::uint64_t last = load_word(text.data() + stop - 8) ^ blanks;
            start = static_cast<std::size_t>(std::countr_zero(first)) / 8;
            // Blanks alone are counted from both ends, each eight at most.
            stop = std::max(stop - static_cast<std::size_t>(std::countl_zero(last)) / 8, start);
        }
        while (start < stop && text[start] == ' ')
            ++start;
        while (stop > start && text[stop - 1] == ' ')
            --stop;
        if (start < stop && (text[start] == '-' || text[start] == '+'))
            negative = text[start++] == '-';
    }
    const char* const digits = text.data() + start;
    std::size_t count = stop - start;
    if (count == 0)
        return nullptr;
    std::uint64_t first_eight;
    std::uint64_t last_eight;
    if (count >= 8) {
        first_eight = load_word(digits);
        last_eight = load_word(digits + count - 8);
    } else {
        // Fewer than eight digits read as the same after leading zeros, which count for
        // nothing: one word, from which all below is found without reading the text again.
        std::uint64_t tail = 0;
        for (std::size_t i = 0; i < count; ++i)
            tail |= std::uint64_t{static_cast<unsigned char>(digits[i])} << (8 * i);
        first_eight = last_eight = tail << (8 * (8 - count)) | ascii_zeros >> (8 * count);
        count = 8;
    }
    if ((non_digit_flags(first_eight) | non_digit_flags(last_eight)) != 0)
        return nullptr;
    // The first non-zero digit and one past the last, found in the words tested above unless
    // one of them is all zeros; bytes that are "0" are those that are zero after the xor.
    std::size_t first = static_cast<std::size_t>(std::countr_zero(first_eight ^ ascii_zeros)) / 8;
    if (first_eight == ascii_zeros)
        first = static_cast<std::size_t>(zero_run_end(digits + 8, digits + count) - digits);
    const std::size_t kept = count - first; // from the first non-zero digit on
    // Longer than a card number, read in steps; or not digits alone between the eight bytes
    // after the zeros and the last eight.
    if (kept > 16 || (count > 16 && kept >= 8 && non_digit_flags(load_word(digits + first)) != 0))
        return nullptr;
    std::size_t past_last =
        count - static_cast<std::size_t>(std::countl_zero(last_eight ^ ascii_zeros)) / 8;
    if (last_eight == ascii_zeros) {
        while (past_last > first && digits[past_last - 1] == '0')
            --past_last;
        past_last = std::max(past_last, first); // all zeros: no digit is significant
    }
    NumberReading& reading = reading_;
    reading.error = ReadError::none;
    reading.error_position = stop;
    reading.negative = negative;
    reading.significant_digits = static_cast<std::int64_t>(past_last - first);
    reading.exponent_of_last = static_cast<std::int64_t>(count - past_last);
    if (kept >= 8) {
        keep_sixteen(reading.digits.data(), digits + first, kept);
    } else if (kept > 0) { // the text's last eight bytes, less the zeros they start with
        const std::uint64_t last = last_eight >> (8 * (8 - kept));
        std::memcpy(reading.digits.data(), &last, sizeof last);
    }
    return &reading;
}

// Blanks inside the text are read as what they are there: a separator where the format
// makes a blank one, or no part of a number. A third blank never reads, so no more are taken.
void NumberReader::take_pending_blanks() noexcept {
    const std::uint64_t next = position_;
    position_ -= pending_blanks_;
    for (std::uint64_t i = 0; i < pending_blanks_ && state_ != State::failed; ++i, ++position_)
        take(blank);
    pending_blanks_ = 0;
    position_ = next;
}

[[gnu::always_inline]] inline void NumberReader::take(char16_t c) noexcept {
    switch (state_) {
    case State::leading_blanks: // left before any unit but a blank is taken
    case State::mantissa:
        if (is_digit(c)) {
            take_digit_run(&c, 1, 1);
        } else if (c == format_.decimal_separator) {
            if (seen_decimal_separator_)
                return fail(ReadError::second_decimal_separator, position_);
            seen_decimal_separator_ = true;
            previous_is_digit_ = false;
        } else if (c == format_.group_separator && c != u'\0') {
            if (!previous_is_digit_ || seen_decimal_separator_)
                return fail(ReadError::misplaced_group_separator, position_);
            group_separator_position_ = position_;
            previous_is_digit_ = false;
            state_ = State::after_group_separator;
        } else if (digit_count_ == 0) {
            fail(ReadError::no_digits, position_);
        } else if (c == u'E' || c == u'e') {
            state_ = State::exponent_mark;
        } else {
            fail(ReadError::unexpected_character, position_);
        }
        return;
    case State::after_group_separator:
        if (!is_digit(c))
            return fail(ReadError::misplaced_group_separator, group_separator_position_);
        state_ = State::mantissa;
        take_digit_run(&c, 1, 1);
        return;
    case State::exponent_mark:
        if (c == u'+' || c == u'-') {
            exponent_negative_ = c == u'-';
            state_ = State::exponent_sign;
            return;
        }
        [[fallthrough]];
    case State::exponent_sign:
        if (!is_digit(c))
            return fail(ReadError::exponent_without_digits, position_);
        state_ = State::exponent_digits;
        [[fallthrough]];
    case State::exponent_digits:
        if (!is_digit(c))
            return fail(ReadError::unexpected_character, position_);
        exponent_ = std::min(exponent_ * 10 + (c - u'0'), exponent_saturation);
        return;
    case State::failed:
        return;
    }
}

// Keeps the digits, as many as there is room for.
template <typename Char>
[[gnu::always_inline]] inline void NumberReader::keep_run_digits(const Char* digits,
                                                                 std::size_t count,
                                                                 std::size_t readable) noexcept {
    const std::size_t taken = std::min(count, kept_significant_digits - kept_);
    keep_digits(reading_.digits.data() + kept_, digits, taken, reading_.digits.size() - kept_,
                readable);
    kept_ += taken;
}

// The digits from the first non-zero one on are kept as they come, up to the buffer's size;
// the trailing zeros among them count once a non-zero digit follows.
template <typename Char>
[[gnu::always_inline]] inline void NumberReader::take_digit_run(const Char* run, std::size_t length,
                                                                std::size_t readable) noexcept {
    bool taken_whole = false;
    if constexpr (sizeof(Char) == 1) {
        // A short run, such as a group's, all from the one word it starts; kept apart from the
        // steps for longer runs, since a shared path is slower for both.
        if (length < 8 && readable >= 8) {
            taken_whole = true;
            const std::uint64_t nonzero =
                (load_word(run) ^ ascii_zeros) & ((std::uint64_t{1} << (8 * length)) - 1);
            std::size_t i = 0;
            if (first_nonzero_ < 0) {
                i = nonzero == 0 ? length : static_cast<std::size_t>(std::countr_zero(nonzero)) / 8;
                if (i < length)
                    first_nonzero_ = digit_count_ + static_cast<std::int64_t>(i);
            }
            if (i < length) {
                keep_run_digits(run + i, length - i, readable - i);
                if (nonzero != 0)
                    last_nonzero_ = digit_count_ + 7 - std::countl_zero(nonzero) / 8;
            }
        }
    }
    if (!taken_whole) {
        std::size_t i = 0;
        if (first_nonzero_ < 0) {
            if constexpr (sizeof(Char) == 1) // a long run of leading zeros goes eight at a time
                while (length - i >= 8 && load_word(run + i) == ascii_zeros)
                    i += 8;
            while (i < length && run[i] == '0')
                ++i;
            if (i < length)
                first_nonzero_ = digit_count_ + static_cast<std::int64_t>(i);
        }
        if (i < length) {
            keep_run_digits(run + i, length - i, readable - i);
            std::size_t past_last = length; // one past the run's last non-zero digit
            if constexpr (sizeof(Char) == 1)
                while (past_last >= i + 8 && load_word(run + past_last - 8) == ascii_zeros)
                    past_last -= 8;
            while (past_last > i && run[past_last - 1] == '0')
                --past_last;
            if (past_last > i)
                last_nonzero_ = digit_count_ + static_cast<std::int64_t>(past_last) - 1;
        }
    }
    digit_count_ += static_cast<std::int64_t>(length);
    if (!seen_decimal_separator_)
        integer_digits_ += static_cast<std::int64_t>(length);
    previous_is_digit_ = true;
}

void NumberReader::fail(ReadError error, std::uint64_t position) noexcept {
    state_ = State::failed;
    error_ = error;
    error_position_ = position;
}

const NumberReading& NumberReader::finish() noexcept {
    NumberReading& reading = reading_;
    const std::uint64_t end = position_ - pending_blanks_; // trailing blanks are no part of it
    reading.error = ReadError::none;
    reading.error_position = end;
    reading.negative = false;
    reading.significant_digits = 0;
    reading.exponent_of_last = 0;
    switch (state_) {
    case State::failed:
        reading.error = error_;
        reading.error_position = error_position_;
        return reading;
    case State::leading_blanks:
        reading.error = ReadError::empty;
        return reading;
    case State::after_group_separator:
        reading.error = ReadError::misplaced_group_separator;
        reading.error_position = group_separator_position_;
        return reading;
    case State::exponent_mark:
    case State::exponent_sign:
        reading.error = ReadError::exponent_without_digits;
        return reading;
    case State::mantissa:
        if (digit_count_ == 0) {
            reading.error = ReadError::no_digits;
            return reading;
        }
        break;
    case State::exponent_digits:
        break;
    }
    reading.negative = negative_;
    if (first_nonzero_ >= 0) {
        reading.significant_digits = last_nonzero_ - first_nonzero_ + 1;
        const std::int64_t exponent = exponent_negative_ ? -exponent_ : exponent_;
        reading.exponent_of_last = exponent + integer_digits_ - 1 - last_nonzero_;
    }
    return reading;
}

void NumberReader::reset() noexcept {
    state_ = State::leading_blanks;
    position_ = 0;
    pending_blanks_ = 0;
    negative_ = false;
    seen_decimal_separator_ = false;
    previous_is_digit_ = false;
    digit_count_ = 0;
    integer_digits_ = 0;
    first_nonzero_ = -1;
    last_nonzero_ = -1;
    kept_ = 0;
    exponent_ = 0;
    exponent_negative_ = false;
}

std::size_t digit_run_length(std::string_view bytes) noexcept {
    const char* begin = bytes.data();
    return static_cast<std::size_t>(digit_run_end(begin, begin, begin + bytes.size()) - begin);
}

NumberReading read_number(std::u16string_view text, NumberFormat format) noexcept {
    NumberReader reader(format);
    reader.feed(text);
    return reader.finish();
}

} // namespace zandor::platform
