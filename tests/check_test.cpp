#include "check/modZANDOR.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using zandor::modZANDOR::CheckCardNumber;
using zandor::platform::NumberFormat;

constexpr NumberFormat english{u'.', u','};

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

// Entries of every other shape, in three locales, are tests/data's.
TEST(CheckCardNumber, LongEntriesAreReadWhole) {
    EXPECT_TRUE(CheckCardNumber(std::u16string(1 << 20, u'0') + u"4111111111111111", english));
    EXPECT_TRUE(CheckCardNumber(std::u16string(1 << 20, u' ') + u"4111111111111111", english));
    EXPECT_FALSE(CheckCardNumber(u"4111111111111111" + std::u16string(1 << 20, u'0'), english));
    EXPECT_TRUE(CheckCardNumber(u"4111111111111111." + std::u16string(1 << 20, u'0'), english));
    EXPECT_TRUE(CheckCardNumber(u"4111111111111111E-" + std::u16string(1 << 20, u'0'), english));
}

} // namespace
