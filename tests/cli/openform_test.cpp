// Reading a file the way the designer opens it, in process.
#include "FormFiles.h"

#include "document/OpenForm.h"

#include <gtest/gtest.h>

using namespace clitest;
using namespace kovet;

TEST(OpenForm, RawVersionBytesDecideBetweenRecordsAndLegacy) {
    TKVT source;
    BuildTrickyForm(source);
    const std::vector<std::uint8_t> current = SaveBytes(source.KVTFile());
    TKVT form;
    EXPECT_EQ(OpenForm(current, form), FormEncoding::Current);
    EXPECT_EQ(form.KVTFile().Count(), source.KVTFile().Count());
    EXPECT_EQ(OpenForm(OldHeaderBytes(source.KVTFile()), form), FormEncoding::OldHeader);
    EXPECT_EQ(OpenForm(OldHeaderBytes(source.KVTFile(), 0), form), FormEncoding::OldHeader);

    // A current-encoding form whose header says version 3 is taken for a legacy form.
    std::vector<std::uint8_t> version3 = current;
    version3[40] = 3;
    EXPECT_EQ(OpenForm(version3, form), FormEncoding::Legacy);
    EXPECT_EQ(ItemHeader::ItemType.get(form.KVTFile().Items(0)), kvtHeaderType);
    EXPECT_EQ(HeaderRec::Version.get(form.KVTFile().Items(0)), 5);
}

TEST(OpenForm, LegacyFileShorterThanItsHeaderConvertsToABareHeader) {
    TKVT form;
    const std::vector<std::uint8_t> tiny = {7, 7, 7};
    EXPECT_EQ(OpenForm(tiny, form), FormEncoding::Legacy);
    ASSERT_EQ(form.KVTFile().Count(), 1);
    EXPECT_EQ(HeaderRec::PageWidth.get(form.KVTFile().Items(0)), 0);
}

TEST(OpenForm, FailedLoadLeavesNoRecords) {
    TKVT form;
    BuildTrickyForm(form);
    std::vector<std::uint8_t> bytes = SaveBytes(form.KVTFile());
    ItemHeader::ItemType.set(Bytes(bytes).subspan(kHeaderSize), 0); // the second record
    try {
        OpenForm(bytes, form);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Load: invalid Itemtype");
    }
    EXPECT_EQ(form.KVTFile().Count(), 0);

    BuildTrickyForm(form);
    EXPECT_THROW(OpenForm(std::vector<std::uint8_t>{}, form), Exception);
}
