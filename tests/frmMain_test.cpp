// The window's description and event procedures, run against controls in memory: what every
// toolkit's window does, tested once.
#include "platform/forms/memory/memory_form.h"
#include "window/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using namespace zandor;
using platform::MemoryForm;
namespace frmMain = window::frmMain;

// Every field of the description reaches a forms layer through its own operation.
TEST(frmMain, EveryFieldReachesTheFormsLayer) {
    MemoryForm form(frmMain::description, platform::invariant_number_format);
    const platform::FormDescription& d = frmMain::description;
    EXPECT_TRUE(form.built.caption == d.caption && form.built.client_area == d.client_area &&
                form.built.fixed_border == d.fixed_border &&
                form.built.min_button == d.min_button && form.built.max_button == d.max_button &&
                form.built.font == d.font);
    ASSERT_EQ(form.built_controls.size(), d.controls.size());
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        platform::ControlDescription expected = d.controls[i];
        expected.tab_index = 0;   // handed over as the tab order
        expected.click = nullptr; // run by Form
        EXPECT_TRUE(form.built_controls[i] == expected) << expected.name;
    }
    EXPECT_EQ(form.tab_order, platform::tab_order(d));
}

TEST(frmMain, FirstActivationOnlyPutsTheFocusInTheEntryBox) {
    MemoryForm form(frmMain::description, platform::invariant_number_format);
    platform::MemoryTextBox& Text1 = form.memory_text_box("Text1");
    form.activate();
    EXPECT_TRUE(Text1.has_focus);
    Text1.has_focus = false; // the user moves to the button, to another program and back
    form.activate();
    EXPECT_FALSE(Text1.has_focus);
}

// Every entry's result line and the selection of the whole entry after it are the fuzzer's.
TEST(frmMain, CheckShowsIssuerAndVerdict) {
    const struct {
        std::u16string_view entry;
        std::u16string_view line;
    } rows[] = {
        {u"4111111111111111", u"Visa  True"},     {u"5555555555554443", u"MC  False"},
        {u"6011111111111117", u"Discover  True"}, {u"30569309025904", u"Amex  True"},
        {u" 4111111111111111", u"  True"},        {u"", u"  False"},
    };
    MemoryForm form(frmMain::description, platform::invariant_number_format);
    for (const auto& row : rows) {
        form.memory_text_box("Text1").set_text(row.entry);
        form.click("Command1");
        form.click("Command1"); // twice: one result line, not two
        EXPECT_EQ(form.label("Label1").caption(), row.line);
    }
}

// Undo never reaches back to an earlier number: the history is emptied at each check and
// again at the first edit after it, on every toolkit.
TEST(frmMain, CheckEmptiesTheUndoHistoryNowAndAtTheNextEdit) {
    MemoryForm form(frmMain::description, platform::invariant_number_format);
    platform::MemoryTextBox& Text1 = form.memory_text_box("Text1");
    form.type("Text1", u"4111111111111111");
    form.click("Command1");
    EXPECT_EQ(Text1.undo_steps, 0u);
    form.type("Text1", u"5"); // typed over the selected number
    EXPECT_EQ(Text1.undo_steps, 0u);
    form.type("Text1", u"55");
    EXPECT_EQ(Text1.undo_steps, 1u);
}

TEST(frmMain, WindowAtItsStoredPositionOnlyWhenWhollyOnAScreen) {
    const platform::PixelRect stored = platform::to_pixels(frmMain::description.client_area, 96);
    const platform::PixelRect primary{0, 0, 1024, 738};
    const struct {
        const char* name;
        std::optional<platform::PixelRect> screen_at;
        platform::PixelRect placed;
    } rows[] = {
        {"on the primary screen", primary, stored},
        {"on no screen", std::nullopt, {445, 306, 579, 431}},
        {"across a screen's edge", platform::PixelRect{0, 0, 400, 300}, {445, 306, 579, 431}},
    };
    for (const auto& row : rows) {
        MemoryForm form(frmMain::description, platform::invariant_number_format);
        form.screen_at = row.screen_at;
        form.primary_screen = primary;
        form.place(stored);
        EXPECT_TRUE(form.window == row.placed) << row.name;
    }
}

} // namespace
