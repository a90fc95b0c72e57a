#include "platform/values/decimal.h"

#include <algorithm>

namespace zandor::platform {
namespace {

constexpr auto max_digits = static_cast<std::int64_t>(decimal_max_digits);

// magnitude = magnitude * 10 + digit; false, with the value unchanged, on 96-bit overflow.
bool multiply_by_ten_add(Decimal& d, std::uint32_t digit) noexcept {
    const std::uint64_t lo = std::uint64_t{d.lo} * 10 + digit;
    const std::uint64_t mid = std::uint64_t{d.mid} * 10 + (lo >> 32);
    const std::uint64_t hi = std::uint64_t{d.hi} * 10 + (mid >> 32);
    if (hi >> 32)
        return false;
    d.lo = static_cast<std::uint32_t>(lo);
    d.mid = static_cast<std::uint32_t>(mid);
    d.hi = static_cast<std::uint32_t>(hi);
    return true;
}

// magnitude = magnitude + 1; false, with the value unchanged, on 96-bit overflow.
bool increment(Decimal& d) noexcept {
    if (d.lo == UINT32_MAX && d.mid == UINT32_MAX && d.hi == UINT32_MAX)
        return false;
    if (++d.lo == 0 && ++d.mid == 0)
        ++d.hi;
    return true;
}

// magnitude = magnitude / divisor, high word first; returns the remainder.
std::uint32_t divide(Decimal& d, std::uint32_t divisor) noexcept {
    std::uint64_t rest = d.hi;
    d.hi = static_cast<std::uint32_t>(rest / divisor);
    rest = ((rest % divisor) << 32) | d.mid;
    d.mid = static_cast<std::uint32_t>(rest / divisor);
    rest = ((rest % divisor) << 32) | d.lo;
    d.lo = static_cast<std::uint32_t>(rest / divisor);
    return static_cast<std::uint32_t>(rest % divisor);
}

void drop_trailing_zeros(Decimal& d) noexcept {
    while (d.scale > 0) {
        Decimal shorter = d;
        if (divide(shorter, 10) != 0)
            return;
        d = shorter;
        --d.scale;
    }
}

// Reads a reading's significant digits in order.
class DigitReader {
  public:
    explicit DigitReader(const NumberReading& reading) noexcept : digits_(reading.kept_digits()) {}
    std::uint32_t next() noexcept { return static_cast<std::uint32_t>(digits_[taken_++] - '0'); }

  private:
    std::string_view digits_;
    std::size_t taken_ = 0;
};

DecimalConversion out_of_range() noexcept {
    return {{}, ConversionStatus::out_of_range};
}

} // namespace

// No more than kept_significant_digits digits are ever taken: the 30th overflows 96 bits, or
// the scale runs out before it.
DecimalConversion to_decimal(const NumberReading& reading) noexcept {
    if (!reading.ok())
        return {{}, ConversionStatus::not_a_number};
    if (reading.is_zero())
        return {{}, ConversionStatus::exact};

    const std::int64_t k = reading.significant_digits;
    const std::int64_t q = reading.exponent_of_last;
    if (k + q > max_digits)
        return out_of_range();

    Decimal d;
    d.negative = reading.negative;
    DigitReader digits(reading);

    if (q >= 0) {
        // A whole number: the digits, then q zeros.
        for (std::int64_t j = 0; j < k; ++j)
            if (!multiply_by_ten_add(d, digits.next()))
                return out_of_range();
        for (std::int64_t j = 0; j < q; ++j)
            if (!multiply_by_ten_add(d, 0))
                return out_of_range();
        return {d, ConversionStatus::exact};
    }

    // The scale before any digit is taken; the scale grows by one with each digit.
    const std::int64_t start_scale = -q - k;
    if (start_scale >= decimal_max_scale) {
        // Below the smallest step: rounds to zero or to one step (half to even).
        const bool round_up = start_scale == decimal_max_scale && [&] {
            const std::uint32_t first = digits.next();
            return first > 5 || (first == 5 && k > 1);
        }();
        if (round_up) {
            d.lo = 1;
            d.scale = decimal_max_scale;
        } else {
            d.negative = false;
        }
        return {d, ConversionStatus::rounded};
    }

    std::int64_t taken = 0;
    std::uint32_t next_digit = 0;
    bool next_pending = false;
    while (taken < k) {
        next_digit = digits.next();
        if (start_scale + taken + 1 > decimal_max_scale || !multiply_by_ten_add(d, next_digit)) {
            next_pending = true;
            break;
        }
        ++taken;
    }
    const std::int64_t scale = start_scale + taken;
    if (scale < 0)
        return out_of_range(); // the integer digits alone overflow 96 bits
    d.scale = static_cast<std::uint8_t>(scale);
    if (!next_pending)
        return {d, ConversionStatus::exact};

    // Round half to even on the first digit not taken; the last significant digit is
    // non-zero, so any digit after it means "more than half".
    const bool more_follow = taken + 1 < k;
    const bool round_up = next_digit > 5 || (next_digit == 5 && (more_follow || (d.lo & 1) != 0));
    // Past the largest magnitude a fraction keeps it, as no nearer value can be held; a
    // whole number that rounds up to 2^96 is out of range.
    if (round_up && !increment(d) && d.scale == 0)
        return out_of_range();
    drop_trailing_zeros(d);
    if (d.is_zero())
        d = Decimal{};
    return {d, ConversionStatus::rounded};
}

DecimalConversion to_decimal(std::u16string_view text, NumberFormat format) noexcept {
    return to_decimal(read_number(text, format));
}

DecimalText::DecimalText(const Decimal& value, char16_t decimal_separator) noexcept {
    const auto put = [this](char16_t c) { chars_[--begin_] = c; };
    const auto put_digit = [&put](std::uint32_t digit) {
        put(static_cast<char16_t>(u'0' + digit));
    };

    Decimal rest = value;
    std::size_t written = 0;
    if (rest.hi == 0) {
        // Fits in 64 bits: the common case, and cheaper than the 96-bit division.
        std::uint64_t v = (std::uint64_t{rest.mid} << 32) | rest.lo;
        do {
            put_digit(static_cast<std::uint32_t>(v % 10));
            v /= 10;
            ++written;
        } while (v != 0 || written <= value.scale);
    } else {
        do {
            put_digit(divide(rest, 10));
            ++written;
        } while (!rest.is_zero() || written <= value.scale);
    }
    if (value.scale > 0) {
        // Move the fraction's digits one place left to make room for the separator.
        const std::size_t fraction = begin_ + written - value.scale;
        for (std::size_t i = begin_; i < fraction; ++i)
            chars_[i - 1] = chars_[i];
        --begin_;
        chars_[fraction - 1] = decimal_separator;
    }
    if (value.negative && !value.is_zero())
        put(u'-');
}

ValueText::ValueText(const NumberReading& reading, char16_t decimal_separator) noexcept {
    if (!reading.ok())
        return;
    status_ = ConversionStatus::exact;
    if (reading.is_zero()) {
        view_ = u"0";
        return;
    }
    const std::int64_t k = reading.significant_digits;
    const std::int64_t q = reading.exponent_of_last;
    // Below 29 digits and 28 places every value is held exactly; beyond, the conversion
    // decides on the range and the rounding.
    const bool held_exactly =
        k + q <= max_digits - 1 && k <= max_digits - 1 && q >= -std::int64_t{decimal_max_scale};
    if (!held_exactly) {
        const DecimalConversion converted = to_decimal(reading);
        status_ = converted.status;
        if (converted.ok()) {
            const DecimalText written(converted.value, decimal_separator);
            const std::u16string_view w = written.view();
            std::copy(w.begin(), w.end(), chars_.begin());
            view_ = {chars_.data(), w.size()};
        }
        return;
    }

    std::size_t size = 0;
    const auto put = [&](char16_t c) { chars_[size++] = c; };
    if (reading.negative)
        put(u'-');
    const std::int64_t integer_digits = k + q; // may be zero or negative
    if (integer_digits <= 0) {
        put(u'0');
        put(decimal_separator);
        for (std::int64_t j = integer_digits; j < 0; ++j)
            put(u'0');
    }
    const std::string_view digits = reading.kept_digits();
    if (integer_digits >= k) {
        // A whole number: all the kept digits are widened at once, then the text cut after k.
        for (std::size_t j = 0; j < kept_significant_digits; ++j)
            chars_[size + j] = static_cast<char16_t>(reading.digits[j]);
        size += digits.size();
    } else {
        const auto whole_digits =
            static_cast<std::size_t>(std::max<std::int64_t>(integer_digits, 0));
        for (std::size_t j = 0; j < digits.size(); ++j) {
            if (j == whole_digits && j > 0)
                put(decimal_separator);
            put(static_cast<char16_t>(digits[j]));
        }
    }
    for (std::int64_t j = 0; j < q; ++j)
        put(u'0');
    view_ = {chars_.data(), size};
}

} // namespace zandor::platform
