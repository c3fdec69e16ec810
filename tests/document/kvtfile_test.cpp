#include "document/KVTFile.h"

#include <gtest/gtest.h>

using namespace kovet;

TEST(NewForm, HoldsTheDefaultLetterHeader) {
    TKVT form;
    ASSERT_EQ(form.KVTFile().Count(), 1);
    const auto h = form.GetHeader();
    EXPECT_EQ(HeaderRec::PageWidth.get(h), 816);
    EXPECT_EQ(HeaderRec::PageHeight.get(h), 1056);
    EXPECT_EQ(ItemHeader::ID.get(h), 1);
}
