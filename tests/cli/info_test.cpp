// `kovet info`, run as a program on files in each encoding.
#include "CliRun.h"
#include "FormFiles.h"
#include "JsonCheck.h"
#include "MiniJson.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace clitest;

namespace {

const fs::path kExamples = fs::path(KOVET_SOURCE_DIR) / "examples";

void LoadRecords(const std::vector<std::uint8_t>& bytes, TKVTFile& file) {
    TMemoryStream stream(bytes);
    file.LoadFromStream(stream);
}

class TrickyForm : public ::testing::Test {
protected:
    TrickyForm() {
        BuildTrickyForm(form);
        WriteFile(dir / "tricky.kvt", SaveBytes(form.KVTFile()));
    }
    TKVT form;
    TempDir dir;
};

} // namespace

TEST(InfoJson, SampleFormsMatchTheirRecordsFieldByField) {
    for (const char* name : {"invoice.kvt", "small.kvt"}) {
        SCOPED_TRACE(name);
        const RunResult r = Kovet({"info", "--json", (kExamples / name).string()});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        TKVTFile file;
        LoadRecords(ReadFile(kExamples / name), file);
        ExpectDumpShows(r.out, "current", file);
    }
}

TEST_F(TrickyForm, JsonWritesEveryKindOfValueExactly) {
    const RunResult r = Kovet({"info", "--json", (dir / "tricky.kvt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectDumpShows(r.out, "current", form.KVTFile());

    const minijson::Value records = minijson::Parse(r.out)["records"];
    const auto& header = records.items[0];
    EXPECT_EQ(header["Stamp"].text, "1834975401");
    EXPECT_EQ(header["Signature"].text, "3669736430");
    // Stored as it stands: the designer's reading does not recompute it from the A4 paper.
    EXPECT_EQ(header["PageWidth"].text, "100");
    EXPECT_EQ(header["PageHeight"].text, "100");

    const auto& frame = records.items[1];
    EXPECT_EQ(frame["Reserved"].text, "-2");
    EXPECT_EQ(frame["Left"].text, "-10");
    EXPECT_EQ(frame["InnerColor"].text, "4294967295");
    EXPECT_EQ(frame["OuterColor"].text, "2147483653");
    EXPECT_EQ(frame["Roundness"].text, "-5");

    EXPECT_EQ(records.items[2]["Angle"].text, "0.1");
    EXPECT_EQ(records.items[3]["Angle"].kind, minijson::Value::Kind::Null);
    EXPECT_EQ(records.items[4]["OuterColor"].text, "255");
    EXPECT_EQ(records.items[4]["InnerColor"].text, "65280");

    const auto& text = records.items[5];
    EXPECT_EQ(text["ItemSize"].text, std::to_string(80 + kTrickyText.size()));
    EXPECT_EQ(text["Text"].text, "Tab\there \"q\" \\ \x01 caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_NE(r.out.find(R"("Text": "Tab\there \"q\" \\ \u0001 café €")"), std::string::npos);

    const auto& field = records.items[6];
    EXPECT_EQ(field["TabOrder"].text, "-1");
    EXPECT_EQ(field["MaxLength"].text, "32767");
    EXPECT_EQ(field["HelpContext"].text, "-7");
    EXPECT_EQ(field["Tag"].text, "-2147483648");

    const auto& logo = records.items[7];
    EXPECT_EQ(logo["DataSize"].text, "3");
    EXPECT_EQ(logo["DataSHA256"].text, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

    const auto& unknown = records.items[8];
    ASSERT_EQ(unknown.members.size(), 5u);
    EXPECT_EQ(unknown["ItemType"].text, "99");
    EXPECT_EQ(unknown["ItemSize"].text, "32");
}

TEST_F(TrickyForm, OldHeaderFilesShowTheWidenedRecords) {
    const RunResult current = Kovet({"info", "--json", (dir / "tricky.kvt").string()});
    // With the proper stamp, and without one (the designer then reads it unchecked).
    for (const std::uint16_t stamp : {std::uint16_t(0x6FED), std::uint16_t(0)}) {
        SCOPED_TRACE(stamp);
        WriteFile(dir / "old.kvt", OldHeaderBytes(form.KVTFile(), stamp));
        const RunResult old = Kovet({"info", "--json", (dir / "old.kvt").string()});
        ASSERT_EQ(old.status, 0) << old.err;
        EXPECT_EQ(minijson::Parse(old.out)["format"].text, "old-header");
        EXPECT_EQ(RecordsPart(old.out), RecordsPart(current.out));
    }
}

TEST(InfoJson, LegacyFormsAreShownConverted) {
    const TempDir dir;
    WriteFile(dir / "v3.kvt", LegacyV3Bytes());
    const RunResult r = Kovet({"info", "--json", (dir / "v3.kvt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const minijson::Value doc = minijson::Parse(r.out);
    EXPECT_EQ(doc["format"].text, "legacy");
    const auto& records = doc["records"].items;
    ASSERT_EQ(records.size(), 6u); // the header and five objects; type 1 is dropped

    const auto& header = records[0];
    EXPECT_EQ(header["ID"].text, "1");
    EXPECT_EQ(header["PageWidth"].text, "778");
    EXPECT_EQ(header["PageHeight"].text, "1095");
    EXPECT_EQ(header["Version"].text, "5");
    EXPECT_EQ(header["PaperSize"].text, "3");
    EXPECT_EQ(header["BorderThickness"].text, "2");
    EXPECT_EQ(header["BorderStyle"].text, "1");
    EXPECT_EQ(header["PageColor"].text, "16777215");

    const auto& text = records[1];
    EXPECT_EQ(text["ItemType"].text, "50");
    EXPECT_EQ(text["ItemSize"].text, "92");
    EXPECT_EQ(text["Text"].text, "Hello, world");
    EXPECT_EQ(text["FontName"].text, "Times New Roman");
    EXPECT_EQ(text["FontStyle"].text, "3");
    EXPECT_EQ(text["FontColor"].text, "255");
    EXPECT_EQ(text["Angle"].text, "180");
    EXPECT_EQ(text["FontHeight"].text, "-16");

    const auto& frame = records[2];
    EXPECT_EQ(frame["ItemType"].text, "20");
    EXPECT_EQ(frame["Left"].text, "30");
    EXPECT_EQ(frame["InnerColor"].text, "16777215");
    EXPECT_EQ(frame["OuterColor"].text, "8388608");
    EXPECT_EQ(frame["Roundness"].text, "10");

    EXPECT_EQ(records[3]["Angle"].text, "45");
    EXPECT_EQ(records[3]["Color"].text, "16711680");

    const auto& field = records[4];
    EXPECT_EQ(field["ID"].text, "5");
    EXPECT_EQ(field["Name"].text, "Total");
    EXPECT_EQ(field["Format"].text, "3");
    EXPECT_EQ(field["TabOrder"].text, "0");

    EXPECT_EQ(records[5]["InnerColor"].text, "11206655");
    EXPECT_EQ(records[5]["OuterColor"].text, "32768");
}

TEST(InfoText, ShowsThePageAndOneLinePerRecord) {
    const RunResult r = Kovet({"info", (kExamples / "small.kvt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* expected : {
             "Format:       current\n",
             "Page size:    792 x 560 pixels\n",
             "Paper:        A5\n",
             "Orientation:  landscape\n",
             "Records:      15\n",
             "Total size:   1408 bytes\n",
             "\n    3      4  line         50     10    230    300      1  angle 0, dashed 1 px #000000\n",
             "  frame        50    330     10    200    120  outline dashed 3 px #1F3A5F, fill diagonal #C0C0C0, "
             "roundness 16\n",
             R"("Café \"Zoë\" \\ C:\\forms", Courier New 12pt italic underline #000000, centred)",
             "\"Sideways\", Times New Roman 9pt #1F3A5F, right, angle 270\n",
             "\"Field2\" Dollar, tab order 1, Arial 10pt #000000, right\n",
             "bitmap, 70 bytes, scaled\n",
             "   14     15  logo         47     60    170     32     32  empty, 0 bytes\n",
         }) {
        EXPECT_NE(r.out.find(expected), std::string::npos) << expected;
    }
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 11 + 15);
}

TEST_F(TrickyForm, TextNamesTheEncodingAndOddValues) {
    WriteFile(dir / "old.kvt", OldHeaderBytes(form.KVTFile()));
    const RunResult old = Kovet({"info", (dir / "old.kvt").string()});
    ASSERT_EQ(old.status, 0) << old.err;
    EXPECT_EQ(old.out.rfind("Format:       old-header\n", 0), 0u);
    for (const char* expected : {
             "Paper:        A4\n",
             "outline solid 0 px system colour 5, fill clear\n",
             "angle not a number, solid 0 px #000000\n",
             R"("Total" Dollar, tab order -1)",
             "bitmap, 3 bytes\n",
             "  type 99      32      1   1024      0      0\n",
         }) {
        EXPECT_NE(old.out.find(expected), std::string::npos) << expected;
    }

    WriteFile(dir / "v3.kvt", LegacyV3Bytes());
    const RunResult legacy = Kovet({"info", (dir / "v3.kvt").string()});
    EXPECT_EQ(legacy.out.rfind("Format:       legacy\n", 0), 0u);
}

TEST(InfoText, SaysSoWhenRecordZeroIsNoHeader) {
    // A lone frame record whose reserved byte 40 passes the raw version test.
    std::vector<std::uint8_t> frame(kFrameSize);
    ItemHeader::Stamp.set(frame, ItemHeader::StampValue);
    ItemHeader::ItemType.set(frame, kvtFrameType);
    ItemHeader::ItemSize.set(frame, kFrameSize);
    frame[40] = 5;
    const TempDir dir;
    WriteFile(dir / "frame.kvt", frame);
    const RunResult r = Kovet({"info", (dir / "frame.kvt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Header:       none (record 0 is not a form header)\n"), std::string::npos);
    EXPECT_NE(r.out.find("Records:      1\n"), std::string::npos);
}

TEST(ExitStatus, UsageErrorsGiveTwo) {
    const TempDir dir;
    WriteFile(dir / "f.kvt", std::vector<std::uint8_t>{1});
    const std::string f = (dir / "f.kvt").string();
    const std::vector<std::vector<std::string>> usages = {
        {},
        {"info"},
        {"info", "--json"},
        {"info", f, f},
        {"info", "--xml", f},
        {"info", "--json", "--json", f},
        {"render", f},
        {"convert", f},
        {"convert", f, "-o"},
        {"convert", "-o", (dir / "out.kvt").string()},
    };
    for (const std::vector<std::string>& args : usages) {
        const RunResult r = Kovet(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        // What was wrong, then the usage.
        EXPECT_EQ(r.err.rfind("kovet: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("\nusage: kovet "), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "out.kvt"));
}

TEST(ExitStatus, UnreadableAndInvalidFilesGiveOneWithTheReason) {
    const TempDir dir;

    // Record 0 claims 2 GiB in a 40-byte file; byte 30 makes it pass as an old-encoding form.
    std::vector<std::uint8_t> huge(40);
    ItemHeader::Stamp.set(huge, ItemHeader::StampValue);
    ItemHeader::ItemType.set(huge, kvtHeaderType);
    ItemHeader::ItemSize.set(huge, 0x7FFFFFFF);
    huge[30] = 5;
    WriteFile(dir / "huge.kvt", huge);

    // A proper header followed by a record with a foreign stamp.
    TKVT form;
    std::vector<std::uint8_t> badStamp = SaveBytes(form.KVTFile());
    std::vector<std::uint8_t> frame(kFrameSize);
    ItemHeader::Stamp.set(frame, 0x12345678);
    ItemHeader::ItemType.set(frame, kvtFrameType);
    ItemHeader::ItemSize.set(frame, kFrameSize);
    badStamp.insert(badStamp.end(), frame.begin(), frame.end());
    WriteFile(dir / "stamp.kvt", badStamp);

    // Old encoding whose second record has type 0.
    std::vector<std::uint8_t> oldBadType = OldHeaderBytes(form.KVTFile());
    const std::uint8_t zeroType[10] = {0xED, 0x6F, 2, 0, 0, 0, 20, 0, 0, 0};
    oldBadType.insert(oldBadType.end(), zeroType, zeroType + 10);
    WriteFile(dir / "oldtype.kvt", oldBadType);

    WriteFile(dir / "empty.kvt", std::vector<std::uint8_t>{});

    const struct {
        std::string file, message;
    } cases[] = {
        {"huge.kvt", "Load: invalid Itemsize"},
        {"stamp.kvt", "Load: invalid Itemstamp"},
        {"oldtype.kvt", "Old Load: invalid Itemtype"},
        {"empty.kvt", "File is empty"},
    };
    for (const auto& c : cases) {
        for (const bool json : {false, true}) {
            const std::string path = (dir / c.file).string();
            const RunResult r = json ? Kovet({"info", "--json", path}) : Kovet({"info", path});
            EXPECT_EQ(r.status, 1) << c.file;
            EXPECT_EQ(r.err, "kovet: " + path + ": " + c.message + "\n");
            EXPECT_EQ(r.out, "");
        }
    }

    const RunResult missing = Kovet({"info", (dir / "missing.kvt").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("kovet: Cannot open file \"" + (dir / "missing.kvt").string() + "\"", 0), 0u)
        << missing.err;
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
}
