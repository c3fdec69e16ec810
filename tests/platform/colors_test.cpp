#include "platform/Canvas.h"

#include <gtest/gtest.h>

using namespace kovet;

TEST(Colors, PlainValuesDropTheHighByteAndSystemColoursComeFromThePalette) {
    EXPECT_EQ(ColorToRGB(0x00AAFFFF), 0xAAFFFFu);
    EXPECT_EQ(ColorToRGB(0x02123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0x808080u);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(clSystemColor | 0xFF), clBlack);
}
