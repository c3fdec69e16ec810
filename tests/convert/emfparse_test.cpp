#include "convert/EmfParse.h"

#include "platform/EmfCanvas.h"
#include "platform/emf/EmfRecords.h"
#include "platform/emf_libemf_sample.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace kovet;

namespace {

using Lines = std::vector<std::string>;

// A header record of `size` bytes (at least 88) with recognisable values.
std::vector<std::uint8_t> Header(std::uint32_t size = 88) {
    std::vector<std::uint8_t> emf(size);
    EmrRec::Type.set(emf, EMR_HEADER);
    EmrRec::Size.set(emf, size);
    EmrHeader::Bounds.set(emf, {-5, 0, 215, 279});
    EmrHeader::Frame.set(emf, {0, 0, 21590, 27940});
    EmrHeader::Signature.set(emf, ENHMETA_SIGNATURE);
    EmrHeader::Version.set(emf, ENHMETA_VERSION);
    EmrHeader::TotalBytes.set(emf, 0xFFFFFFFFu);
    EmrHeader::Records.set(emf, 2);
    EmrHeader::Handles.set(emf, 65535);
    EmrHeader::Reserved.set(emf, 7);
    EmrHeader::DescriptionLength.set(emf, 4);
    EmrHeader::DescriptionOffset.set(emf, 100);
    EmrHeader::PalEntries.set(emf, 1);
    EmrHeader::Device.set(emf, {816, 1056});
    EmrHeader::Millimeters.set(emf, {216, 279});
    return emf;
}

// Appends a record whose nSize counts the given parameter words.
void Append(std::vector<std::uint8_t>& emf, std::uint32_t type, std::initializer_list<std::uint32_t> params = {}) {
    const std::size_t start = emf.size();
    emf.resize(start + 8 + 4 * params.size());
    const Bytes record = Bytes(emf).subspan(start);
    EmrRec::Type.set(record, type);
    EmrRec::Size.set(record, std::uint32_t(record.size()));
    std::size_t offset = 8;
    for (std::uint32_t p : params)
        writeLE(record, std::exchange(offset, offset + 4), p);
}

void AppendEof(std::vector<std::uint8_t>& emf) {
    Append(emf, EMR_EOF, {0, 16, 20});
}

const Lines kHeaderDump = {
    "",
    "[Enhanced Metafile]",
    "Total Size =\t\t108",
    "",
    "[Header]",
    "Record Size =\t\t88",
    "iType =\t\t\t1",
    "nSize =\t\t\t88",
    "rclBounds =\t\tL:-5 R:215 T:0 B:279",
    "rclFrame =\t\tL:0 R:21590 T:0 B:27940",
    "dSignature =\t\t1179469088",
    "nVersion =\t\t65536",
    "nBytes =\t\t\t-1",
    "nRecords =\t\t2",
    "nHandles =\t\t65535",
    "sReserved =\t\t7",
    "nDescription =\t\t4",
    "offDescription =\t\t100",
    "nPalEntries =\t\t1",
    "szlDevice =\t\t816",
    "szlMillimeters =\t\t216",
    "",
    "[Records]",
};

class EmfParseTest : public testing::Test {
protected:
    TEMFParse parser;
    std::vector<std::uint32_t> types; // of the records passed to OnRecord
    std::vector<std::size_t> sizes;   // bytes passed with each
    std::vector<std::string> messages;

    void SetUp() override {
        parser.OnRecord = [this](TEMFParse& sender, ConstBytes record) {
            EXPECT_EQ(&sender, &parser);
            types.push_back(EmrRec::Type.get(record));
            sizes.push_back(record.size());
        };
        parser.OnMessage = [this](const std::string& m) { messages.push_back(m); };
    }

    void Parse(const std::vector<std::uint8_t>& emf, bool dump = true) {
        parser.Metafile->LoadFromBytes(emf);
        parser.AddStrings = dump;
        parser.Parse();
    }

    // The dump's lines behind "[Records]".
    Lines RecordLines() const {
        const Lines& all = *parser.Strings;
        const auto at = std::find(all.begin(), all.end(), "[Records]");
        return at == all.end() ? Lines{} : Lines(at + 1, all.end());
    }
};

} // namespace

TEST_F(EmfParseTest, HeaderAndEndOfFileOnlyDumpsTheHeaderBlock) {
    auto emf = Header();
    AppendEof(emf);
    Parse(emf);
    EXPECT_EQ(*parser.Strings, kHeaderDump);
    EXPECT_TRUE(types.empty());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(std::ranges::equal(parser.HeaderCopy(), ConstBytes(emf).first(88)));
}

TEST_F(EmfParseTest, RecordNamesKeepTheirHistoricSpellings) {
    auto emf = Header();
    for (std::uint32_t type : {2u, 5u, 12u, 35u, 37u, 57u, 1u, 84u, 97u, 0u, 69u, 98u, 0xFFFFFFFFu})
        Append(emf, type);
    AppendEof(emf);
    Parse(emf);
    EXPECT_EQ(RecordLines(),
              (Lines{"EMR_P0LYBEZIER", "EMR_P0LYBEZIERTO", "EMR_SETVIEWPORTORCEX", "EMR_SETWCRLDTRANSFORM",
                     "EMR SELECTOBJECT", "EMR_SETARCDTRECTION", "EMR_HEADER", "EMR_EXTTEXTOUTW", "EMR_POLYTEXTOUTW",
                     "<UNKNOWN>", "<UNKNOWN>", "<UNKNOWN>", "<UNKNOWN>"}));
    // Unknown types reach the handler all the same.
    EXPECT_EQ(types, (std::vector<std::uint32_t>{2, 5, 12, 35, 37, 57, 1, 84, 97, 0, 69, 98, 0xFFFFFFFF}));
}

TEST_F(EmfParseTest, TheEndOfFileRecordEndsTheWalk) {
    auto emf = Header();
    Append(emf, EMR_MOVETOEX, {1, 2});
    AppendEof(emf);
    Append(emf, EMR_LINETO, {3, 4});
    AppendEof(emf);
    Parse(emf);
    EXPECT_EQ(types, (std::vector<std::uint32_t>{EMR_MOVETOEX}));
    EXPECT_EQ(RecordLines(), (Lines{"EMR_MOVETOEX"}));
}

TEST_F(EmfParseTest, WalkStartsBehindALongerHeader) {
    Parse({test::kLibEmfSample.begin(), test::kLibEmfSample.end()}); // a 120-byte header with a description
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(types.front(), EMR_CREATEPEN);
    EXPECT_EQ(RecordLines(),
              (Lines{"EMR_CREATEPEN", "EMR SELECTOBJECT", "EMR_CREATEBRUSHINDIRECT", "EMR SELECTOBJECT",
                     "EMR_SETBKMODE", "EMR_SETTEXTCOLOR", "EMR_RECTANGLE", "EMR_ELLIPSE", "EMR_MOVETOEX", "EMR_LINETO",
                     "EMR_POLYLINE", "EMR_POLYPOLYGON16", "EMR_EXTCREATEFONTINDIRECTW", "EMR SELECTOBJECT",
                     "EMR_EXTTEXTOUTW", "EMR_SAVEDC", "EMR_RESTOREDC", "EMR SELECTOBJECT", "EMR_DELETEOBJECT"}));
    const Lines& dump = *parser.Strings;
    EXPECT_EQ(dump[2], "Total Size =\t\t920");
    EXPECT_EQ(dump[5], "Record Size =\t\t88");
    EXPECT_EQ(dump[7], "nSize =\t\t\t120");
    EXPECT_EQ(dump[17], "offDescription =\t\t108");
}

TEST_F(EmfParseTest, DamagedSizesNeverLeaveTheData) {
    // nSize below 8: the walk goes on right behind the 8 header bytes.
    auto emf = Header();
    emf.insert(emf.end(), {std::uint8_t(EMR_SAVEDC), 0, 0, 0, 3, 0, 0, 0});
    Append(emf, EMR_LINETO, {3, 4});
    // A record running past the end is passed as far as the data goes, and ends the walk.
    Append(emf, EMR_MOVETOEX, {5});
    EmrRec::Size.set(Bytes(emf).last(12), 0x7FFFFFF0);
    Parse(emf);
    EXPECT_EQ(types, (std::vector<std::uint32_t>{EMR_SAVEDC, EMR_LINETO, EMR_MOVETOEX}));
    EXPECT_EQ(sizes, (std::vector<std::size_t>{8, 16, 12}));
    EXPECT_EQ(RecordLines(), (Lines{"EMR_SAVEDC", "EMR_LINETO", "EMR_MOVETOEX"}));
}

TEST_F(EmfParseTest, HeaderSizeBeyondTheDataWalksNothing) {
    auto emf = Header();
    EmrRec::Size.set(emf, 5000);
    Append(emf, EMR_LINETO, {3, 4});
    Parse(emf);
    EXPECT_TRUE(types.empty());
    EXPECT_EQ(parser.Strings->back(), "[Records]");
}

TEST_F(EmfParseTest, RecordsLargerThanTheOldBufferArePassedWhole) {
    auto emf = Header();
    Append(emf, EMR_GDICOMMENT, {70000 - 12});
    emf.resize(emf.size() + 70000 - 12, 0xAB);
    EmrRec::Size.set(Bytes(emf).subspan(88), 70000);
    Append(emf, EMR_LINETO, {3, 4});
    AppendEof(emf);
    Parse(emf);
    EXPECT_EQ(types, (std::vector<std::uint32_t>{EMR_GDICOMMENT, EMR_LINETO}));
    EXPECT_EQ(sizes, (std::vector<std::size_t>{70000, 16}));
}

TEST_F(EmfParseTest, WithoutAddStringsTheListIsUntouchedAndNeedNotExist) {
    auto emf = Header();
    Append(emf, EMR_LINETO, {3, 4});
    AppendEof(emf);
    parser.Strings->push_back("mine");
    Parse(emf, false);
    EXPECT_EQ(*parser.Strings, (Lines{"mine"}));

    parser.Strings.reset();
    Parse(emf, false);
    EXPECT_EQ(types.size(), 2u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EmfParseTest, DumpsAreAppended) {
    auto emf = Header();
    Append(emf, EMR_LINETO, {3, 4});
    AppendEof(emf);
    Parse(emf);
    const Lines once = *parser.Strings;
    Parse(emf);
    Lines twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(*parser.Strings, twice);
}

TEST_F(EmfParseTest, EmptyMetafileShowsTheHeaderCopyOfTheLastWalk) {
    Parse({});
    Lines zeros = *parser.Strings;
    EXPECT_EQ(zeros[2], "Total Size =\t\t0");
    EXPECT_EQ(zeros[8], "rclBounds =\t\tL:0 R:0 T:0 B:0");
    EXPECT_EQ(zeros.back(), "[Records]");

    auto emf = Header();
    AppendEof(emf);
    Parse(emf);
    parser.Strings->clear();
    Parse({});
    EXPECT_EQ((*parser.Strings)[8], "rclBounds =\t\tL:-5 R:215 T:0 B:279");

    // A metafile cut inside its header replaces only the bytes that came.
    std::vector<std::uint8_t> cut(40);
    EmrRec::Type.set(cut, EMR_HEADER);
    EmrRec::Size.set(cut, 88);
    parser.Strings->clear();
    Parse(cut);
    EXPECT_EQ((*parser.Strings)[8], "rclBounds =\t\tL:0 R:0 T:0 B:0");
    EXPECT_EQ((*parser.Strings)[19], "szlDevice =\t\t816");
    EXPECT_TRUE(types.empty());
}

TEST_F(EmfParseTest, MissingObjectsAreReportedAndNothingElseHappens) {
    auto emf = Header();
    Append(emf, EMR_LINETO, {3, 4});
    parser.Metafile->LoadFromBytes(emf);

    parser.AddStrings = true;
    parser.Strings.reset();
    parser.Parse();
    EXPECT_EQ(messages, (std::vector<std::string>{"No ouput strings."}));

    parser.Metafile.reset();
    parser.Parse();
    EXPECT_EQ(messages, (std::vector<std::string>{"No ouput strings.", "No metafile."}));
    EXPECT_TRUE(types.empty());

    parser.OnMessage = nullptr; // unassigned events are not called
    parser.Parse();
}

TEST_F(EmfParseTest, HandlerSeesItsRecordBeforeTheDumpLine) {
    auto emf = Header();
    Append(emf, EMR_MOVETOEX, {1, 2});
    Append(emf, EMR_LINETO, {3, 4});
    AppendEof(emf);
    Lines lastLines;
    parser.OnRecord = [&](TEMFParse& sender, ConstBytes record) {
        lastLines.push_back(sender.Strings->back());
        EXPECT_EQ(EmrPoint::Point.get(record).X, EmrRec::Type.get(record) == EMR_MOVETOEX ? 1 : 3);
        sender.Metafile->Clear(); // the walk goes on over its own copy
    };
    Parse(emf);
    EXPECT_EQ(lastLines, (Lines{"[Records]", "EMR_MOVETOEX"}));
    EXPECT_EQ(RecordLines(), (Lines{"EMR_MOVETOEX", "EMR_LINETO"}));
}

TEST_F(EmfParseTest, HandlerExceptionsEndTheWalkAndPassOn) {
    auto emf = Header();
    Append(emf, EMR_MOVETOEX, {1, 2});
    Append(emf, EMR_LINETO, {3, 4});
    AppendEof(emf);
    parser.OnRecord = [](TEMFParse&, ConstBytes record) {
        if (EmrRec::Type.get(record) == EMR_LINETO) throw std::runtime_error("stop");
    };
    parser.Metafile->LoadFromBytes(emf);
    parser.AddStrings = true;
    EXPECT_THROW(parser.Parse(), std::runtime_error);
    EXPECT_EQ(RecordLines(), (Lines{"EMR_MOVETOEX"}));

    parser.OnRecord = nullptr;
    parser.Strings->clear();
    parser.Parse();
    EXPECT_EQ(RecordLines(), (Lines{"EMR_MOVETOEX", "EMR_LINETO"}));
}

TEST_F(EmfParseTest, ReadsWhatTheMetafileCanvasWrites) {
    class Metrics : public TextMetrics {
        TSize Extent(const TFont&, std::string_view text) override { return {6 * std::int32_t(text.size()), 14}; }
        std::vector<std::int32_t> Advances(const TFont&, std::u16string_view text) override {
            return std::vector<std::int32_t>(text.size(), 6);
        }
    } metrics;
    EmfCanvas canvas({100, 50}, metrics);
    canvas.Rectangle(1, 2, 30, 40);
    canvas.TextOut(5, 5, "hi");
    const auto& bytes = canvas.Finish();
    std::vector<std::uint32_t> written;
    for (const EmfRecord& r : EmfRecords(bytes))
        written.push_back(r.Type);
    Parse(bytes);
    EXPECT_EQ(types, std::vector<std::uint32_t>(written.begin() + 1, written.end() - 1));
    EXPECT_EQ(std::ranges::count(RecordLines(), "EMR_RECTANGLE"), 1);
    EXPECT_EQ(std::ranges::count(RecordLines(), "EMR_EXTTEXTOUTW"), 1);
    EXPECT_EQ((*parser.Strings)[6], "iType =\t\t\t1");
    EXPECT_EQ((*parser.Strings)[7], "nSize =\t\t\t108");
    EXPECT_EQ((*parser.Strings)[12], "nBytes =\t\t\t" + std::to_string(bytes.size()));
}
