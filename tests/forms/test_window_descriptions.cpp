// The window descriptions both front ends build from: every table sound on its own, and the facts
// that the builders rely on (containers first, unique names, Tab order, the disclaimer's text).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "forms/dialog_form.h"
#include "forms/form1_form.h"
#include "forms/splash_form.h"
#include "scan/value_table.h"

using namespace tavrix::forms;

namespace {

std::vector<std::string> names(const std::vector<const ControlDescription*>& controls) {
    std::vector<std::string> result;
    for (const ControlDescription* c : controls) result.emplace_back(c->name);
    return result;
}

}  // namespace

TEST(WindowDescriptions, NamesAreUniqueAndContainersComeFirstAndHoldTheirControls) {
    for (const WindowDescription* window : {&dialogForm(), &splashForm(), &form1Form()}) {
        SCOPED_TRACE(window->name);
        std::set<std::string> seen;
        for (const ControlDescription& c : window->controls) {
            SCOPED_TRACE(c.name);
            EXPECT_TRUE(seen.insert(c.name).second) << "duplicate name";
            if (!*c.container) continue;
            ASSERT_TRUE(seen.count(c.container)) << "container after its control";
            const ControlDescription& frame = window->control(c.container);
            EXPECT_EQ(frame.kind, ControlKind::Frame);
            // Every control lies inside its frame (the frame's own corner is 0, 0 for its controls).
            EXPECT_GE(c.place.left, 0);
            EXPECT_GE(c.place.top, 0);
            EXPECT_LE(c.place.left + c.place.width, frame.place.width);
            EXPECT_LE(c.place.top + c.place.height, frame.place.height);
        }
        EXPECT_THROW(window->control("NoSuchControl"), std::out_of_range);
    }
}

TEST(WindowDescriptions, TabOrderSkipsFramesLabelsAndPictures) {
    EXPECT_EQ(names(dialogForm().tabOrder()), (std::vector<std::string>{"Text1", "CancelButton", "OKButton"}));
    EXPECT_EQ(names(form1Form().tabOrder()),
              (std::vector<std::string>{"slotsLst", "clipboardCmd", "WB", "memoryLst", "speedLst"}));
    EXPECT_TRUE(splashForm().tabOrder().empty());
}

TEST(WindowDescriptions, PlacesInTheClientAreaAddTheContainersCorners) {
    const WindowDescription& form1 = form1Form();
    EXPECT_EQ(form1.placeInClientArea(form1.control("Frame2")), (TwipsRect{120, 0, 6015, 2055}));
    EXPECT_EQ(form1.placeInClientArea(form1.control("WB")), (TwipsRect{120, 6120, 11535, 4335}));
    EXPECT_EQ(dialogForm().placeInClientArea(dialogForm().control("OKButton")), (TwipsRect{1920, 4320, 1215, 375}));
}

TEST(WindowDescriptions, DisclaimerIsTheFourParagraphsWithCrLfBreaks) {
    const std::string text = disclaimerText();
    EXPECT_EQ(text.size(), 920u);
    EXPECT_TRUE(text.starts_with("Please read the following carefully before using the scan tool.\r\n\r\nUsing"));
    EXPECT_TRUE(text.ends_with("find the compatible memory."));
    std::size_t breaks = 0;
    for (std::size_t at = text.find("\r\n\r\n"); at != std::string::npos; at = text.find("\r\n\r\n", at + 4)) ++breaks;
    EXPECT_EQ(breaks, 3u);
    EXPECT_EQ(text.find('\n', text.rfind("\r\n\r\n") + 4), std::string::npos);
}

TEST(WindowDescriptions, TwipsBecomePixelsRoundedToTheNearestAtTheScreensDpi) {
    struct Case {
        int twips, dpi, pixels;
    };
    for (const Case c : {Case{15, 96, 1}, Case{7, 96, 0}, Case{8, 96, 1}, Case{22, 96, 1}, Case{23, 96, 2},
                         Case{-120, 96, -8}, Case{-8, 96, -1}, Case{-7, 96, 0}, Case{11775, 96, 785},
                         Case{4215, 96, 281}, Case{1440, 144, 144}, Case{10, 144, 1}, Case{0, 96, 0}})
        EXPECT_EQ(pixelsOfTwips(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
}

TEST(WindowDescriptions, StackHasTheTabOrderOnTopThenLaterControlsOverEarlierThenTheFrames) {
    const std::vector<std::string> stack = names(form1Form().topToBottom());
    ASSERT_EQ(stack.size(), form1Form().controls.size());
    const std::vector<std::string> tabs = names(form1Form().tabOrder());
    EXPECT_TRUE(std::equal(tabs.begin(), tabs.end(), stack.begin()));
    auto at = [&stack](const char* name) { return std::find(stack.begin(), stack.end(), name) - stack.begin(); };
    EXPECT_LT(at("Label25"), at("Label5"));
    EXPECT_LT(at("Label5"), at("Frame9"));
    EXPECT_LT(at("Frame9"), at("Frame2"));
    EXPECT_EQ(stack.back(), "Frame1");
}

// The value table and the layout agree: each value label stands in its frame, on one row with the
// caption label the table names, and the layout has no value label the table lacks.
TEST(WindowDescriptions, EachValueLabelStandsInItsFrameBesideItsCaption) {
    const WindowDescription& form1 = form1Form();
    std::set<std::string> valueLabels;
    for (const ControlDescription& c : form1.controls) {
        if (c.kind == ControlKind::ValueLabel) valueLabels.insert(c.name);
    }
    EXPECT_EQ(valueLabels.size(), tavrix::valueTable().size());
    for (const tavrix::ValueEntry& entry : tavrix::valueTable()) {
        SCOPED_TRACE(entry.labelName);
        const ControlDescription& label = form1.control(std::string(entry.labelName));
        EXPECT_EQ(label.kind, ControlKind::ValueLabel);
        EXPECT_EQ(form1.control(label.container).caption, entry.frame);
        const auto beside =
            std::find_if(form1.controls.begin(), form1.controls.end(), [&](const ControlDescription& c) {
                return c.kind == ControlKind::CaptionLabel && std::string_view(c.container) == label.container &&
                       c.place.top == label.place.top;
            });
        ASSERT_NE(beside, form1.controls.end());
        EXPECT_EQ(beside->caption, entry.caption);
    }
}
