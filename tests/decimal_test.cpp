#include "platform/values/decimal.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace {

using zandor::platform::ConversionStatus;
using zandor::platform::Decimal;
using zandor::platform::DecimalText;
using zandor::platform::NumberFormat;
using zandor::platform::read_number;
using zandor::platform::to_decimal;
using zandor::platform::ValueText;

constexpr NumberFormat english{u'.', u','};

__extension__ typedef unsigned __int128 u128;

u128 magnitude(const Decimal& d) {
    return (u128{d.hi} << 64) | (u128{d.mid} << 32) | d.lo;
}

std::u16string widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

std::string digits_of(u128 v) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return s;
}

struct Converted {
    const char* name;
    std::u16string_view text;
    std::u16string_view canonical;
    ConversionStatus status;
};

TEST(Decimal, ConvertsToCanonicalText) {
    constexpr auto exact = ConversionStatus::exact;
    constexpr auto rounded = ConversionStatus::rounded;
    const Converted rows[] = {
        {"zero", u"0", u"0", exact},
        {"negative", u"-4111", u"-4111", exact},
        {"fraction", u"12.50", u"12.5", exact},
        {"whole with zero fraction", u"4111111111111111.00", u"4111111111111111", exact},
        {"whole written with a scale", u"41111111111111110E-1", u"4111111111111111", exact},
        {"exponent", u"4.111E3", u"4111", exact},
        // Regression: the separator was written twice for fractions below one.
        {"fraction below one", u"41111E-5", u"0.41111", exact},
        {"zero with huge exponent", u"0E999999999", u"0", exact},
        {"largest", u"79228162514264337593543950335", u"79228162514264337593543950335", exact},
        {"largest by exponent", u"7.9228162514264337593543950335E28",
         u"79228162514264337593543950335", exact},
        {"below smallest step", u"1E-29", u"0", rounded},
        {"over half smallest step", u"51E-30", u"0.0000000000000000000000000001", rounded},
        {"precision, half to even up", u"7922816251426433759354395032.55",
         u"7922816251426433759354395032.6", rounded},
        {"rounding past the largest keeps the largest", u"7922816251426433759354395033.55",
         u"7922816251426433759354395033.5", rounded},
        {"rounding carries into a whole number", u"4111111111111110.99999999999999999999999999999",
         u"4111111111111111", rounded},
    };
    for (const Converted& row : rows) {
        const auto converted = to_decimal(row.text, english);
        EXPECT_EQ(converted.status, row.status) << row.name;
        EXPECT_EQ(DecimalText(converted.value, u'.').view(), row.canonical) << row.name;
        // The text written straight from the digits is the same.
        const ValueText value_text(read_number(row.text, english), u'.');
        EXPECT_EQ(value_text.status(), row.status) << row.name;
        EXPECT_EQ(value_text.view(), row.canonical) << row.name;
    }
}

TEST(Decimal, FailsAtTwoToTheNinetySix) {
    for (const std::u16string_view text :
         {u"79228162514264337593543950336", u"100000000000000000000000000000",
          u"79228162514264337593543950335.5" /* rounds up to 2^96 */, u"1E999999999"})
        EXPECT_EQ(to_decimal(text, english).status, ConversionStatus::out_of_range) << text.size();
    EXPECT_EQ(to_decimal(u"12 34", english).status, ConversionStatus::not_a_number);
}

// Differential: random magnitudes around the 32-, 64- and 96-bit word edges, written with a
// random scale, against 128-bit integer arithmetic.
TEST(Decimal, AgreesWithWideIntegerArithmetic) {
    std::mt19937_64 random(20261206);
    const u128 limit = u128{1} << 96;
    const u128 edges[] = {u128{1} << 32, u128{1} << 64, limit};
    for (int round = 0; round < 20000; ++round) {
        const u128 v = round % 3 == 0   ? edges[random() % 3] - 3 + random() % 6
                       : round % 3 == 1 ? ((u128{random()} << 64) | random()) % (limit + limit / 8)
                                        : u128{random() >> (random() % 64)};
        const std::string digits = digits_of(v);
        const auto scale = static_cast<unsigned>(random() % 29);
        std::string text = digits;
        if (scale > 0) {
            if (text.size() <= scale)
                text = std::string(scale - text.size() + 1, '0') + text;
            text = text.substr(0, text.size() - scale) + "." + text.substr(text.size() - scale);
        }
        const auto converted = to_decimal(widen(text), english);
        if (v >= limit && scale == 0) {
            EXPECT_EQ(converted.status, ConversionStatus::out_of_range) << text;
            continue;
        }
        u128 expected = v;
        unsigned expected_scale = scale;
        auto expected_status = ConversionStatus::exact;
        if (v >= limit) {
            // One digit too many for 96 bits: rounded half to even at one place less.
            const auto dropped = static_cast<unsigned>(v % 10);
            expected = v / 10;
            --expected_scale;
            if (dropped > 5 || (dropped == 5 && expected % 2 == 1))
                ++expected;
            if (dropped != 0)
                expected_status = ConversionStatus::rounded;
        }
        ASSERT_EQ(converted.status, expected_status) << text;
        while (expected_scale > 0 && expected % 10 == 0) {
            expected /= 10;
            --expected_scale;
        }
        EXPECT_EQ(magnitude(converted.value), expected) << text;
        EXPECT_EQ(converted.value.scale, expected_scale) << text;
    }
}

} // namespace
