#include "long_entry.h"

#include "check/modZANDOR.h"
#include "platform/number_scan.h"

#include <algorithm>
#include <array>
#include <string>

namespace zandor::tools {
namespace {

constexpr char16_t blank = u' ';
constexpr std::size_t max_significant_digits = 29;

constexpr bool is_digit(char16_t c) noexcept {
    return c >= u'0' && c <= u'9';
}

} // namespace

void LongEntry::feed(std::u16string_view units) {
    if (!has_first_ && !units.empty()) {
        first_ = units.front();
        has_first_ = true;
    }
    for (const char16_t c : units) {
        if (phase_ == Phase::failed)
            return;
        take(c);
    }
}

// The numeric test of the card check, one unit at a time: blanks around, a sign, digits with
// group separators between two digits of the integer part and one decimal separator, then
// an optional exponent.
void LongEntry::take(char16_t c) {
    switch (phase_) {
    case Phase::leading_blanks:
        if (c == blank)
            return;
        phase_ = Phase::after_sign;
        if (c == u'+' || c == u'-') {
            negative_ = c == u'-';
            return;
        }
        [[fallthrough]];
    case Phase::after_sign:
        phase_ = Phase::mantissa;
        if (c == blank) {
            phase_ = Phase::failed;
            return;
        }
        [[fallthrough]];
    case Phase::mantissa:
        if (c == blank) {
            ++pending_blanks_;
            return;
        }
        if (pending_blanks_ > 0) {
            // One blank between two digits of the integer part is a group separator where the
            // locale groups with blanks; any other blank inside the entry makes it no number.
            const bool grouped = pending_blanks_ == 1 && format_.group_separator == blank &&
                                 previous_is_digit_ && !seen_decimal_separator_ && is_digit(c);
            pending_blanks_ = 0;
            if (!grouped) {
                phase_ = Phase::failed;
                return;
            }
        }
        if (is_digit(c)) {
            take_digit(c);
        } else if (c == format_.decimal_separator) {
            if (seen_decimal_separator_)
                phase_ = Phase::failed;
            seen_decimal_separator_ = true;
            previous_is_digit_ = false;
        } else if (c == format_.group_separator && c != u'\0') {
            phase_ = previous_is_digit_ && !seen_decimal_separator_ ? Phase::after_group_separator
                                                                    : Phase::failed;
        } else if ((c == u'E' || c == u'e') && digit_count_ > 0) {
            phase_ = Phase::exponent_start;
        } else {
            phase_ = Phase::failed;
        }
        return;
    case Phase::after_group_separator:
        phase_ = is_digit(c) ? Phase::mantissa : Phase::failed;
        if (phase_ == Phase::mantissa)
            take_digit(c);
        return;
    case Phase::exponent_start:
        if (c == u'+' || c == u'-') {
            exponent_negative_ = c == u'-';
            phase_ = Phase::exponent_sign;
            return;
        }
        [[fallthrough]];
    case Phase::exponent_sign:
        if (!is_digit(c)) {
            phase_ = Phase::failed;
            return;
        }
        phase_ = Phase::exponent_digits;
        [[fallthrough]];
    case Phase::exponent_digits:
        if (is_digit(c)) {
            if (exponent_ < platform::exponent_saturation)
                exponent_ = exponent_ * 10 + (c - u'0');
        } else {
            phase_ = c == blank ? Phase::trailing_blanks : Phase::failed;
        }
        return;
    case Phase::trailing_blanks:
        if (c != blank)
            phase_ = Phase::failed;
        return;
    case Phase::failed:
        return;
    }
}

void LongEntry::take_digit(char16_t c) {
    if (c != u'0') {
        if (first_nonzero_ < 0) {
            first_nonzero_ = digit_count_;
        } else if (!too_many_digits_) {
            // The zeros since the last non-zero digit are significant now.
            const auto zeros = static_cast<std::size_t>(digit_count_ - last_nonzero_ - 1);
            if (significant_.size() + zeros + 1 > max_significant_digits)
                too_many_digits_ = true;
            else
                significant_.append(zeros, u'0');
        }
        if (!too_many_digits_)
            significant_.push_back(c);
        last_nonzero_ = digit_count_;
    }
    ++digit_count_;
    if (!seen_decimal_separator_)
        ++integer_digits_;
    previous_is_digit_ = true;
}

window::ResultLine LongEntry::finish() const {
    const bool numeric = (phase_ == Phase::mantissa && digit_count_ > 0) ||
                         phase_ == Phase::exponent_digits || phase_ == Phase::trailing_blanks;
    bool verdict = false;
    if (numeric && !too_many_digits_ && first_nonzero_ >= 0) {
        // The same value, written short: the significant digits and the power of ten of the
        // last one, as the card check's own numeric reading computes it.
        const std::int64_t exponent =
            (exponent_negative_ ? -1 : 1) * std::min(exponent_, platform::exponent_saturation);
        const std::int64_t exponent_of_last = exponent + integer_digits_ - 1 - last_nonzero_;
        std::array<char16_t, 64> entry{};
        std::size_t size = 0;
        if (negative_)
            entry[size++] = u'-';
        for (const char16_t digit : significant_)
            entry[size++] = digit;
        entry[size++] = u'E';
        for (const char c : std::to_string(exponent_of_last))
            entry[size++] = static_cast<char16_t>(c);
        verdict = modZANDOR::CheckCardNumber({entry.data(), size}, format_);
    }
    return {window::issuer_row({&first_, has_first_ ? 1u : 0u}), verdict};
}

} // namespace zandor::tools
