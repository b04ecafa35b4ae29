#include "platform/SysColor.h"
#include "render/Colors.h"

#include <gtest/gtest.h>

namespace {
TColor rgb(int r, int g, int b) {
    return r | g << 8 | b << 16;
}
} // namespace

TEST(ColorToHtml, RedFirstTwoUpperCaseDigitsEach) {
    EXPECT_EQ(ColorToHtml(rgb(255, 0, 0)), "#FF0000");
    EXPECT_EQ(ColorToHtml(rgb(239, 248, 255)), "#EFF8FF");
    EXPECT_EQ(ColorToHtml(rgb(1, 2, 3)), "#010203");
    EXPECT_EQ(ColorToHtml(0x7F000000 | rgb(10, 11, 12)), "#0A0B0C"); // top byte ignored
}

TEST(ColorToHtml, SystemColoursGiveTheirCurrentValue) {
    const TColor clWindow = static_cast<TColor>(0x80000005);
    const std::uint32_t v = SysColorToRgb(5);
    char expected[8];
    std::snprintf(expected, sizeof expected, "#%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
    EXPECT_EQ(ColorToHtml(clWindow), expected);
    EXPECT_EQ(ColorToHtml(clWindow).size(), 7u);
}

TEST(HtmlToColor, ReadsThePiecesAfterCleaning) {
    const TColor eff8ff = rgb(239, 248, 255);
    EXPECT_EQ(HtmlToColor("#EFF8FF"), eff8ff);
    EXPECT_EQ(HtmlToColor("#eff8ff"), eff8ff);
    EXPECT_EQ(HtmlToColor("EFF8FF"), eff8ff);
    EXPECT_EQ(HtmlToColor("\"#EFF8FF\""), eff8ff);
    EXPECT_EQ(ColorToHtml(HtmlToColor("#EFF8FF")), "#EFF8FF");
}

TEST(HtmlToColor, MalformedTextGivesZeroPiecesNeverAnError) {
    EXPECT_EQ(HtmlToColor("#FFF"), rgb(255, 15, 0)); // no CSS shorthand
    EXPECT_EQ(HtmlToColor("red"), rgb(0, 13, 0));
    EXPECT_EQ(HtmlToColor(""), 0);
    EXPECT_EQ(HtmlToColor(" #FF0000"), rgb(0, 240, 0));    // one blank shifts the pieces
    EXPECT_EQ(HtmlToColor("#   FF0000"), rgb(255, 0, 0));  // three blanks are removed
    EXPECT_EQ(HtmlToColor("#    FF0000"), rgb(0, 240, 0)); // four leave one
    EXPECT_EQ(HtmlToColor("#FF  0000"), rgb(255, 0, 0));   // two stay: " 0" is unreadable
    EXPECT_EQ(HtmlToColor("#颜色FF00"), rgb(0, 255, 0));
}
