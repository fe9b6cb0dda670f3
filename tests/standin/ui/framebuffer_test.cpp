#include "standin/ui/framebuffer.h"

#include <gtest/gtest.h>

#include "host/ui_services.h"
#include "standin/ui/font.h"

namespace vxs::ui {
namespace {

TEST(Framebuffer, PackedColoursHaveBlueInTheMiddleByte) {
    EXPECT_EQ(unpackColour(HOST_RGB(10, 20, 30)), (Rgb{10, 20, 30}));
    EXPECT_EQ(unpackColour(0x0100FF00u), (Rgb{0, 0, 255}));
}

TEST(Framebuffer, DrawingIsClippedAndLinesIncludeBothEnds) {
    Framebuffer fb(10, 10);
    const Rgb red{255, 0, 0};
    fb.line(-100, 5, 100, 5, red);  // far outside on both sides
    fb.line(2, 0, 4, 2, red);
    EXPECT_EQ(fb.pixel(0, 5), red);
    EXPECT_EQ(fb.pixel(9, 5), red);
    EXPECT_EQ(fb.pixel(3, 1), red);
    EXPECT_EQ(fb.pixel(4, 2), red);
    fb.setClip({0, 0, 5, 5});
    fb.fillBox(-3, -3, 100, 100, {1, 2, 3});
    EXPECT_EQ(fb.pixel(4, 4), (Rgb{1, 2, 3}));
    EXPECT_EQ(fb.pixel(5, 5), red);
    Framebuffer big(4, 4, {9, 9, 9});
    fb.resetClip();
    fb.blit(big, 8, 8);  // partly outside
    EXPECT_EQ(fb.pixel(9, 9), (Rgb{9, 9, 9}));
    EXPECT_EQ(fb.pixel(7, 7), Rgb{});
}

TEST(Font, TextHasWholePixelWidthsThatAdd) {
    std::string error;
    ASSERT_TRUE(fontLoaded(error)) << error;
    EXPECT_GT(textWidth("Add Component"), 60);
    EXPECT_EQ(textWidth("ab") + textWidth("cd"), textWidth("abcd"));
    EXPECT_EQ(textWidth("\xC3\xA9"), textWidth("\xE9"));  // UTF-8 and Latin-1 e-acute
    Framebuffer fb(40, kTextHeight, {255, 255, 255});
    drawText(fb, 0, 0, "Wg", {0, 0, 0});
    int dark = 0;
    for (int y = 0; y < fb.height(); ++y)
        for (int x = 0; x < fb.width(); ++x) dark += fb.pixel(x, y).r < 128;
    EXPECT_GT(dark, 20);
}

}  // namespace
}  // namespace vxs::ui
