// The window's description and event procedures, run against controls in memory: what every
// toolkit's window does, tested once.
#include "platform/memory_controls.h"
#include "window/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace zandor;
using platform::MemoryForm;
namespace frmMain = window::frmMain;

const platform::ControlDescription& control(std::string_view name) {
    return *std::ranges::find(frmMain::controls, name, &platform::ControlDescription::name);
}

TEST(frmMain, TabOrderIsTheButtonThenTheEntryBox) {
    const std::vector<std::size_t> order = platform::tab_order(frmMain::description);
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(frmMain::controls[order[0]].name, "Command1");
    EXPECT_EQ(frmMain::controls[order[1]].name, "Text1");
}

TEST(frmMain, EdgesThatMeetInTwipsMeetInPixels) {
    for (const int dpi : {96, 120, 144, 192}) {
        const auto entry = platform::to_pixels(control("Text1").geometry, dpi);
        // The bracket stands above the right-hand end of the entry box ...
        EXPECT_EQ(platform::to_pixels(control("Label2").geometry, dpi).right, entry.right) << dpi;
        // ... and the result line starts at the Check button's left edge.
        EXPECT_EQ(platform::to_pixels(control("Label1").geometry, dpi).left,
                  platform::to_pixels(control("Command1").geometry, dpi).left)
            << dpi;
    }
    const auto client = platform::to_pixels(frmMain::description.client_area, 96);
    EXPECT_EQ(client.left, 328);
    EXPECT_EQ(client.top, 234);
    EXPECT_EQ(client.width(), 134);
    EXPECT_EQ(client.height(), 125);
}

TEST(frmMain, FirstActivationOnlyPutsTheFocusInTheEntryBox) {
    MemoryForm form(frmMain::description, platform::invariant_number_format);
    platform::MemoryTextBox& Text1 = form.memory_text_box("Text1");
    form.activate();
    EXPECT_TRUE(Text1.has_focus());
    Text1.lose_focus(); // the user moves to the button, to another program and back
    form.activate();
    EXPECT_FALSE(Text1.has_focus());
}

TEST(frmMain, CheckButtonRunsTheCheckAction) {
    MemoryForm form(frmMain::description, platform::invariant_number_format);
    EXPECT_EQ(form.label("Label3").caption(), u"Between >");
    EXPECT_EQ(form.label("Label2").caption(), u"|      |  ");
    EXPECT_EQ(form.label("Label1").caption(), u"");
    form.memory_text_box("Text1").set_text(u"4111111111111111");
    form.click("Command1");
    form.click("Command1");
    EXPECT_EQ(form.label("Label1").caption(), u"Visa  True");
    EXPECT_TRUE(form.memory_text_box("Text1").has_focus());
    EXPECT_EQ(form.memory_text_box("Text1").sel_length(), 16u);
}

} // namespace
