// Reading a file the way the designer opens it, in process.
#include "FormFiles.h"

#include "document/OldKvt.h"
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

    EXPECT_EQ(OpenForm(LegacyV3Bytes(), form), FormEncoding::Legacy);
    EXPECT_EQ(HeaderRec::Version.get(form.KVTFile().Items(0)), 5);
}

// The version test alone would convert anything below version 4 into an empty page.
TEST(OpenForm, BytesThatAreNoFormInAnyEncodingAreRefused) {
    TKVT source;
    BuildTrickyForm(source);
    std::vector<std::uint8_t> version3 = SaveBytes(source.KVTFile());
    version3[40] = 3; // records whose header claims a legacy version
    const std::string text = "Dear customer,\nplease find the invoice attached.\n";
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    png.resize(200);
    std::vector<std::uint8_t> legacyTooShort = LegacyV3Bytes();
    legacyTooShort.resize(kOldHeaderSize + 10); // counts more objects than it holds
    std::vector<std::uint8_t> unknownType = LegacyV3Bytes();
    unknownType[kOldHeaderSize] = 42;
    const std::vector<std::vector<std::uint8_t>> files = {
        version3, {text.begin(), text.end()}, png, legacyTooShort, unknownType, {7, 7, 7}};
    for (const std::vector<std::uint8_t>& file : files) {
        TKVT form;
        BuildTrickyForm(form);
        EXPECT_THROW(OpenForm(file, form), ENotAFormFile);
        EXPECT_EQ(form.KVTFile().Count(), source.KVTFile().Count()) << "the form is left as it was";
    }
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
