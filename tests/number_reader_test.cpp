#include "platform/values/number_reader.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using zandor::platform::NumberFormat;
using zandor::platform::read_number;
using zandor::platform::ReadError;

constexpr NumberFormat english{u'.', u','};
constexpr NumberFormat french{u',', u'\u202F'};

TEST(NumberReader, AcceptsNumbers) {
    for (const std::u16string_view text : {u"   4111 ", u".5", u" -1,234.5e-7 "})
        EXPECT_TRUE(read_number(text, english).ok()) << text.size();
    EXPECT_TRUE(read_number(u"4\u202F111,5", french).ok());
}

struct Rejected {
    const char* name;
    std::u16string_view text;
    NumberFormat format;
    ReadError error;
    std::size_t position;
};

TEST(NumberReader, RejectsNonNumbersSayingWhereAndWhy) {
    const Rejected rows[] = {
        {"empty", u"", english, ReadError::empty, 0},
        {"blanks only", u"   ", english, ReadError::empty, 3},
        {"sign only", u"-", english, ReadError::no_digits, 1},
        {"letter", u"41x1", english, ReadError::unexpected_character, 2},
        {"blank between digits", u"4111 1111", english, ReadError::unexpected_character, 4},
        {"tab", u"\t12", english, ReadError::no_digits, 0},
        {"fullwidth digit", u"1\uFF12", english, ReadError::unexpected_character, 1},
        {"two decimals", u"1.2.3", english, ReadError::second_decimal_separator, 3},
        {"exponent without digits", u"12E", english, ReadError::exponent_without_digits, 3},
        {"group in exponent", u"1E1,000", english, ReadError::unexpected_character, 3},
    };
    for (const Rejected& row : rows) {
        const auto reading = read_number(row.text, row.format);
        EXPECT_EQ(reading.error, row.error) << row.name;
        EXPECT_EQ(reading.error_position, row.position) << row.name;
    }
}

} // namespace
