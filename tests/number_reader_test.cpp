#include "platform/values/number_reader.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using zandor::platform::NumberFormat;
using zandor::platform::read_number;

constexpr NumberFormat english{u'.', u','};
constexpr NumberFormat french{u',', u'\u202F'};

struct Row {
    const char* name;
    std::u16string_view text;
    NumberFormat format = english;
};

TEST(NumberReader, AcceptsNumbers) {
    const Row rows[] = {
        {"blanks around", u"   4111 "},
        {"fraction alone", u".5"},
        {"everything", u" -1,234.5e-7 "},
        {"French groups", u"4\u202F111,5", french},
        {"one digit after a blank group separator", u"12 3", {u',', u' '}},
    };
    for (const Row& row : rows)
        EXPECT_TRUE(read_number(row.text, row.format).is_number) << row.name;
}

TEST(NumberReader, RejectsNonNumbers) {
    const Row rows[] = {
        {"empty", u""},
        {"blanks only", u"   "},
        {"sign only", u"-"},
        {"letter", u"41x1"},
        {"blank between digits", u"4111 1111"},
        {"tab", u"\t12"},
        {"fullwidth digit", u"1\uFF12"},
        {"two decimals", u"1.2.3"},
        {"exponent without digits", u"12E"},
        {"group in exponent", u"1E1,000"},
        {"group after the decimal", u"1.234,5"},
        {"group at the start", u",123"},
    };
    for (const Row& row : rows)
        EXPECT_FALSE(read_number(row.text, row.format).is_number) << row.name;
}

} // namespace
