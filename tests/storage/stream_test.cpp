#include "storage/Stream.h"

#include <gtest/gtest.h>

using namespace kovet;

TEST(MemoryStream, SeekIsClampedToTheData) {
    TMemoryStream s(std::vector<std::uint8_t>{1, 2, 3});
    EXPECT_EQ(s.Seek(-10, TStream::Origin::Current), 0);
    EXPECT_EQ(s.Seek(10, TStream::Origin::Begin), 3);
    std::uint8_t b = 0;
    EXPECT_EQ(s.Read(&b, 1), 0u);
    s.Seek(1, TStream::Origin::Begin);
    EXPECT_EQ(s.Read(&b, 1), 1u);
    EXPECT_EQ(b, 2);
}
