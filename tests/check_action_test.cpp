#include "platform/memory_controls.h"
#include "window/check_action.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using zandor::platform::MemoryLabel;
using zandor::platform::MemoryTextBox;
using zandor::platform::NumberFormat;
using zandor::window::Command1_Click;

constexpr NumberFormat english{u'.', u','};

std::u16string result_line(std::u16string_view entry) {
    MemoryTextBox Text1;
    MemoryLabel Label1;
    Text1.set_text(entry);
    Command1_Click(Text1, Label1, english);
    return std::u16string(Label1.caption());
}

struct Row {
    const char* name;
    std::u16string_view entry;
    std::u16string_view line;
};

TEST(CheckAction, ShowsIssuerAndVerdict) {
    const Row rows[] = {
        {"visa", u"4111111111111111", u"Visa  True"},
        {"visa, last digit changed", u"4111111111111112", u"Visa  False"},
        {"mastercard failing", u"5555555555554443", u"MC  False"},
        {"discover", u"6011111111111117", u"Discover  True"},
        {"amex", u"378282246310005", u"Amex  True"},
        {"amex for any 3", u"30569309025904", u"Amex  True"},
        {"leading blank", u" 4111111111111111", u"  True"},
        {"leading zero", u"04111111111111111", u"  True"},
        {"groups of blanks", u"4111 1111 1111 1111", u"Visa  False"},
        {"empty", u"", u"  False"},
        {"letter", u"x", u"  False"},
        {"fullwidth four", u"\uFF14111111111111111", u"  False"},
        {"exponent keeps the typed prefix", u"4.111111111111111E15", u"Visa  True"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(result_line(row.entry), row.line) << row.name;
}

TEST(CheckAction, PressingTwiceShowsOneResultLine) {
    MemoryTextBox Text1;
    MemoryLabel Label1;
    Text1.set_text(u"4111111111111111");
    Command1_Click(Text1, Label1, english);
    Command1_Click(Text1, Label1, english);
    EXPECT_EQ(Label1.caption(), u"Visa  True");
}

// Regression: only the first 20 characters used to be selected, so a longer entry kept its
// tail when the next number was typed over it.
TEST(CheckAction, SelectsTheWholeEntryWithFocus) {
    for (const std::size_t length : {0u, 16u, 20u, 21u, 5000u}) {
        MemoryTextBox Text1;
        MemoryLabel Label1;
        Text1.set_text(std::u16string(length, u'4'));
        Text1.set_sel_start(length);
        Command1_Click(Text1, Label1, english);
        EXPECT_TRUE(Text1.has_focus());
        EXPECT_EQ(Text1.sel_start(), 0u);
        EXPECT_EQ(Text1.sel_length(), length);
    }
}

} // namespace
