#include "check/modZANDOR.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using zandor::modZANDOR::CheckCardNumber;
using zandor::platform::NumberFormat;

constexpr NumberFormat english{u'.', u','};
constexpr NumberFormat german{u',', u'.'};

std::u16string widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

// Valid numbers of each accepted length.
constexpr std::string_view valid_numbers[] = {
    "4222222222222",    // 13
    "30569309025904",   // 14
    "378282246310005",  // 15
    "4111111111111111", // 16
    "6011111111111117", // 16
    "5555555555554444", // 16
};

// Valid numbers pass, and every single-digit change fails (random digits against a plain Luhn
// walk are the fuzzer's).
TEST(CheckCardNumber, ValidNumbersPassAndTypingErrorsFail) {
    for (std::string_view number : valid_numbers) {
        EXPECT_TRUE(CheckCardNumber(widen(number), english)) << number;
        for (std::size_t i = 0; i < number.size(); ++i)
            for (char digit = '0'; digit <= '9'; ++digit) {
                std::string changed(number);
                changed[i] = digit;
                EXPECT_EQ(CheckCardNumber(widen(changed), english), changed == number) << changed;
            }
    }
}

struct Entry {
    const char* name;
    std::u16string_view text;
    bool verdict;
};

// Entries are normalised through their numeric value. Anything that is not exactly a whole,
// non-negative number within the decimal range is answered False, without a run-time failure;
// a whole number written with a scale is checked as that whole number.
TEST(CheckCardNumber, NormalisesThroughTheNumber) {
    const Entry rows[] = {
        {"letter", u"41111111x1111111", false},
        {"groups of blanks", u"4111 1111 1111 1111", false},
        {"17 digits passing Luhn", u"41111111111111116", false},
        {"grouped", u"4,111,111,111,111,111", true},
        {"exponent", u"4.111111111111111E15", true},
        {"whole with a zero fraction", u"4111111111111111.00", true},
        {"negative", u"-411111111111111", false},
        {"out of range", u"79228162514264337593543950336", false},
        {"rounds to a whole number", u"4111111111111110.99999999999999999999999999999", false},
    };
    for (const Entry& row : rows)
        EXPECT_EQ(CheckCardNumber(row.text, english), row.verdict) << row.name;
    EXPECT_TRUE(CheckCardNumber(u"4.111.111.111.111.111", german));
    EXPECT_FALSE(CheckCardNumber(u"4,111,111,111,111,111", german));
    EXPECT_FALSE(CheckCardNumber(u"41111111111,75", german));
}

TEST(CheckCardNumber, LongEntriesAreReadWhole) {
    EXPECT_TRUE(CheckCardNumber(std::u16string(1 << 20, u'0') + u"4111111111111111", english));
    EXPECT_TRUE(CheckCardNumber(std::u16string(1 << 20, u' ') + u"4111111111111111", english));
    EXPECT_FALSE(CheckCardNumber(u"4111111111111111" + std::u16string(1 << 20, u'0'), english));
    EXPECT_TRUE(CheckCardNumber(u"4111111111111111." + std::u16string(1 << 20, u'0'), english));
    EXPECT_TRUE(CheckCardNumber(u"4111111111111111E-" + std::u16string(1 << 20, u'0'), english));
}

} // namespace
