// `kovet convert`: whatever `info` reads, written in the current encoding.
#include "CliRun.h"
#include "FormFiles.h"
#include "JsonCheck.h"

#include "storage/RecList.h"

#include <gtest/gtest.h>

using namespace clitest;

TEST(Convert, OldHeaderFileBecomesTheWidenedRecords) {
    TKVT form;
    BuildTrickyForm(form);
    const TempDir dir;
    WriteFile(dir / "old.kvt", OldHeaderBytes(form.KVTFile()));

    const RunResult r = Kovet({"convert", (dir / "old.kvt").string(), "-o", (dir / "new.kvt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFile(dir / "new.kvt"), SaveBytes(form.KVTFile()));
}

TEST(Convert, CurrentFileIsWrittenBackUnchanged) {
    TKVT form;
    BuildTrickyForm(form);
    const TempDir dir;
    // Trailing bytes too short for an item header are not part of any record.
    std::vector<std::uint8_t> bytes = SaveBytes(form.KVTFile());
    const std::size_t recordBytes = bytes.size();
    bytes.insert(bytes.end(), {1, 2, 3});
    WriteFile(dir / "in.kvt", bytes);

    // The output may be named first, and may replace an existing file.
    WriteFile(dir / "out.kvt", std::vector<std::uint8_t>(100000, 0xAA));
    const RunResult r = Kovet({"convert", "-o", (dir / "out.kvt").string(), (dir / "in.kvt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    bytes.resize(recordBytes);
    EXPECT_EQ(ReadFile(dir / "out.kvt"), bytes);
}

TEST(Convert, LegacyFormLoadsAsACurrentFormAfterwards) {
    const TempDir dir;
    WriteFile(dir / "v3.kvt", LegacyV3Bytes());
    const RunResult r = Kovet({"convert", (dir / "v3.kvt").string(), "-o", (dir / "v5.kvt").string()});
    ASSERT_EQ(r.status, 0) << r.err;

    const std::vector<std::uint8_t> converted = ReadFile(dir / "v5.kvt");
    TMemoryStream stream(converted);
    EXPECT_EQ(TCustomRecordList::StreamFormat(stream), sfCurrent);
    TKVT form;
    EXPECT_NO_THROW(form.LoadFromStream(stream));
    EXPECT_EQ(form.KVTFile().Count(), 6);
    EXPECT_EQ(form.KVTFile().TotalSize(), std::int64_t(converted.size()));

    const RunResult before = Kovet({"info", "--json", (dir / "v3.kvt").string()});
    const RunResult after = Kovet({"info", "--json", (dir / "v5.kvt").string()});
    ASSERT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(minijson::Parse(after.out)["format"].text, "current");
    EXPECT_EQ(RecordsPart(after.out), RecordsPart(before.out));
}

TEST(Convert, InvalidInputWritesNothing) {
    const TempDir dir;
    TKVT form;
    std::vector<std::uint8_t> bytes = SaveBytes(form.KVTFile());
    bytes.resize(bytes.size() + 20); // a second item header of zeros: type 0
    WriteFile(dir / "bad.kvt", bytes);

    const RunResult r = Kovet({"convert", (dir / "bad.kvt").string(), "-o", (dir / "out.kvt").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kovet: " + (dir / "bad.kvt").string() + ": Load: invalid Itemtype\n");
    EXPECT_FALSE(fs::exists(dir / "out.kvt"));
}

TEST(Convert, UnwritableOutputGivesOne) {
    const TempDir dir;
    const fs::path sample = fs::path(KOVET_SOURCE_DIR) / "examples" / "small.kvt";
    const RunResult r = Kovet({"convert", sample.string(), "-o", (dir / "no-such-folder" / "out.kvt").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}
