#include "platform/emf/EmfRecords.h"

#include "platform/emf_libemf_sample.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kovet;

namespace {

// Little-endian 32-bit words as bytes.
std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t w : words) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(std::uint8_t(w >> (8 * i)));
    }
    return bytes;
}

std::vector<EmfRecord> Walk(ConstBytes data, std::size_t offset = 0) {
    std::vector<EmfRecord> records;
    for (const EmfRecord& r : EmfRecords(data, offset))
        records.push_back(r);
    return records;
}

const ConstBytes kSample(test::kLibEmfSample);

// The sample's record of the given type (the first one).
ConstBytes SampleRecord(std::uint32_t type) {
    for (const EmfRecord& r : EmfRecords(kSample)) {
        if (r.Type == type) return r.Bytes;
    }
    ADD_FAILURE() << "no record of type " << type;
    return {};
}

} // namespace

TEST(EmfRecordWalk, FollowsSizesFromTheStartOffset) {
    const auto data = Words({1, 12, 0, 27, 16, 5, 6, 14, 20, 0, 16, 20});
    const auto records = Walk(data);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Type, 1u);
    EXPECT_EQ(records[1].Type, 27u);
    EXPECT_EQ(records[1].Offset, 12u);
    EXPECT_EQ(records[1].Bytes.size(), 16u);
    EXPECT_EQ(EmrPoint::Point.get(records[1].Bytes), (TPoint{5, 6}));
    EXPECT_EQ(records[2].Type, EMR_EOF);
    EXPECT_EQ(Walk(data, 12).front().Type, 27u);
    EXPECT_TRUE(Walk(data, 1000).empty());
}

TEST(EmfRecordWalk, SizeBelowEightStepsOverTheRecordHeaderOnly) {
    const auto data = Words({70, 3, 27, 16, 1, 2});
    const auto records = Walk(data);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Size, 3u);
    EXPECT_EQ(records[0].Bytes.size(), 8u);
    EXPECT_EQ(records[1].Type, 27u);
    EXPECT_EQ(records[1].Offset, 8u);
}

TEST(EmfRecordWalk, RecordRunningPastTheEndIsCutAndEndsTheWalk) {
    auto data = Words({27, 0xFFFFFFF0u, 1});
    const auto records = Walk(data);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Bytes.size(), 12u);
    EXPECT_EQ(EmrPoint::Point.get(records[0].Bytes), (TPoint{1, 0})); // the missing y reads as zero

    data.resize(data.size() + 7); // fewer than 8 bytes behind a whole record are no record
    EmrRec::Size.set(data, 12);
    EXPECT_EQ(Walk(data).size(), 1u);
}

TEST(EmfRecordWalk, RepeatedSizesAreStillCheckedAgainstTheEnd) {
    // Two sizes taking turns, then a record claiming the size of two records back with
    // fewer bytes left, then zero sizes in a row.
    const auto turns = Words({27, 16, 1, 2, 70, 12, 0, 27, 16, 3, 4, 70, 12, 0, 27, 16, 5});
    const auto records = Walk(turns);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[2].Offset, 28u);
    EXPECT_EQ(records[4].Offset, 56u);
    EXPECT_EQ(records[4].Bytes.size(), 12u);

    const auto zeros = Words({70, 0, 70, 0, 70, 0, 70, 0});
    const auto stepped = Walk(zeros);
    ASSERT_EQ(stepped.size(), 4u);
    EXPECT_EQ(stepped[3].Offset, 24u);
}

TEST(EmfRecordLayouts, MatchAMetafileFromAnotherWriter) {
    std::vector<std::uint32_t> types;
    std::size_t total = 0;
    for (const EmfRecord& r : EmfRecords(kSample)) {
        types.push_back(r.Type);
        total += r.Bytes.size();
    }
    EXPECT_EQ(total, kSample.size());
    EXPECT_EQ(types, (std::vector<std::uint32_t>{EMR_HEADER,
                                                 EMR_CREATEPEN,
                                                 EMR_SELECTOBJECT,
                                                 EMR_CREATEBRUSHINDIRECT,
                                                 EMR_SELECTOBJECT,
                                                 EMR_SETBKMODE,
                                                 EMR_SETTEXTCOLOR,
                                                 EMR_RECTANGLE,
                                                 EMR_ELLIPSE,
                                                 EMR_MOVETOEX,
                                                 EMR_LINETO,
                                                 EMR_POLYLINE,
                                                 EMR_POLYPOLYGON16,
                                                 EMR_EXTCREATEFONTINDIRECTW,
                                                 EMR_SELECTOBJECT,
                                                 EMR_EXTTEXTOUTW,
                                                 EMR_SAVEDC,
                                                 EMR_RESTOREDC,
                                                 EMR_SELECTOBJECT,
                                                 EMR_DELETEOBJECT,
                                                 EMR_EOF}));

    const ConstBytes header = SampleRecord(EMR_HEADER);
    EXPECT_EQ(EmrHeader::Frame.get(header), (TRect{0, 0, 5000, 2500}));
    EXPECT_EQ(EmrHeader::Signature.get(header), ENHMETA_SIGNATURE);
    EXPECT_EQ(EmrHeader::TotalBytes.get(header), 920u);
    EXPECT_EQ(EmrHeader::Records.get(header), 21u);
    EXPECT_EQ(EmrHeader::Handles.get(header), 4u);
    EXPECT_EQ(EmrHeader::DescriptionLength.get(header), 6u);
    EXPECT_EQ(EmrHeader::DescriptionOffset.get(header), 108u);
    EXPECT_EQ(EmrHeader::Device.get(header), (TSize{1024, 768}));
    EXPECT_EQ(EmrHeader::Millimeters.get(header), (TSize{320, 240}));
    EXPECT_EQ(EmrHeader::Micrometers.get(header), (TSize{320000, 240000}));
    EXPECT_EQ(ReadDescription(header), (std::u16string{u'k', u'v', 0, u't', 0, 0}));

    const ConstBytes pen = SampleRecord(EMR_CREATEPEN);
    EXPECT_EQ(EmrCreatePen::Handle.get(pen), 1u);
    EXPECT_EQ(EmrCreatePen::Style.get(pen), PS_DASH);
    EXPECT_EQ(EmrCreatePen::Width.get(pen), 3);
    EXPECT_EQ(EmrCreatePen::Color.get(pen), 0x302010u);

    const ConstBytes brush = SampleRecord(EMR_CREATEBRUSHINDIRECT);
    EXPECT_EQ(EmrCreateBrush::Style.get(brush), BS_HATCHED);
    EXPECT_EQ(EmrCreateBrush::Color.get(brush), 0x605040u);
    EXPECT_EQ(EmrCreateBrush::Hatch.get(brush), HS_DIAGCROSS);

    EXPECT_EQ(EmrValue::Mode.get(SampleRecord(EMR_SETBKMODE)), TRANSPARENT);
    EXPECT_EQ(EmrValue::Color.get(SampleRecord(EMR_SETTEXTCOLOR)), 0x030201u);
    EXPECT_EQ(EmrBox::Box.get(SampleRecord(EMR_RECTANGLE)), (TRect{10, 20, 110, 70}));
    EXPECT_EQ(EmrPoint::Point.get(SampleRecord(EMR_LINETO)), (TPoint{300, 400}));
    EXPECT_EQ(EmrValue::Relative.get(SampleRecord(EMR_RESTOREDC)), -1);
}

TEST(EmfRecordLayouts, PointsAndPolygonsOfBothWidths) {
    const ConstBytes polyline = SampleRecord(EMR_POLYLINE);
    EXPECT_EQ(EmrPoly::Bounds.get(polyline), (TRect{1, 2, 70000, 40}));
    EXPECT_EQ(ReadPolyPoints(polyline), (std::vector<TPoint>{{1, 2}, {30, 40}, {70000, 5}}));

    const auto polygons = ReadPolyPolygons(SampleRecord(EMR_POLYPOLYGON16));
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0], (std::vector<TPoint>{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(polygons[1], (std::vector<TPoint>{{20, 20}, {30, 20}}));
}

TEST(EmfRecordLayouts, FontAndText) {
    const ConstBytes font = SampleRecord(EMR_EXTCREATEFONTINDIRECTW);
    EXPECT_EQ(EmrCreateFont::Handle.get(font), 3u);
    EXPECT_EQ(EmrCreateFont::Height.get(font), -13);
    EXPECT_EQ(EmrCreateFont::Escapement.get(font), 450);
    EXPECT_EQ(EmrCreateFont::Orientation.get(font), 450);
    EXPECT_EQ(EmrCreateFont::Weight.get(font), FW_BOLD);
    EXPECT_EQ(EmrCreateFont::Italic.get(font), 1);
    EXPECT_EQ(EmrCreateFont::Underline.get(font), 0);
    EXPECT_EQ(ReadFaceName(font), u"Courier");

    const ConstBytes text = SampleRecord(EMR_EXTTEXTOUTW);
    EXPECT_EQ(EmrExtTextOut::Bounds.get(text), (TRect{40, 50, 140, 80}));
    EXPECT_EQ(EmrExtTextOut::GraphicsMode.get(text), GM_COMPATIBLE);
    EXPECT_EQ(EmrExtTextOut::Reference.get(text), (TPoint{44, 55}));
    EXPECT_EQ(EmrExtTextOut::Options.get(text), ETO_CLIPPED);
    EXPECT_EQ(ReadTextW(text), u"Ab c");
    EXPECT_EQ(ReadTextDx(text), (std::vector<std::int32_t>{9, 8, 7, 6}));
}

TEST(EmfRecordReaders, AdvancesMoveUpWhenTheTextRectangleIsLeftOut) {
    // EMRTEXT without its rectangle: offDx sits where the rectangle would begin.
    std::vector<std::uint8_t> text(EmrExtTextOut::kSize + 8);
    EmrExtTextOut::Chars.set(text, 2);
    EmrExtTextOut::Options.set(text, ETO_NO_RECT);
    EmrExtTextOut::DxOffsetNoRect.set(text, 60);
    writeLE<std::int32_t>(text, 60, 11);
    writeLE<std::int32_t>(text, 64, 12);
    EXPECT_EQ(ReadTextDx(text), (std::vector<std::int32_t>{11, 12}));
}

TEST(EmfRecordReaders, AnAdvancesOffsetIntoTheFixedPartMeansNone) {
    std::vector<std::uint8_t> text(EmrExtTextOut::kSize + 8);
    EmrRec::Type.set(text, EMR_EXTTEXTOUTW);
    EmrRec::Size.set(text, std::uint32_t(text.size()));
    EmrExtTextOut::Chars.set(text, 2);
    EXPECT_TRUE(ReadTextDx(text).empty()) << "offDx 0 would read the record's own type and size";
    EmrExtTextOut::DxOffset.set(text, 40);
    EXPECT_TRUE(ReadTextDx(text).empty());
}

TEST(EmfRecordReaders, CountsLargerThanTheRecordStopAtItsEnd) {
    // POLYLINE16 claiming 1000 points with room for two and a half.
    auto poly = Words({EMR_POLYLINE16, 0, 0, 0, 0, 0, 1000, 0x00020001, 0x00040003, 0x0006});
    poly.resize(poly.size() - 2);
    EmrRec::Size.set(poly, std::uint32_t(poly.size()));
    EXPECT_EQ(ReadPolyPoints(poly), (std::vector<TPoint>{{1, 2}, {3, 4}}));

    // Two polygons of 5 points each, but only three points stored.
    const auto polypoly = Words({EMR_POLYPOLYGON, 0, 0, 0, 0, 0, 2, 10, 5, 5, 1, 1, 2, 2, 3, 3});
    const auto polygons = ReadPolyPolygons(polypoly);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].size(), 3u);

    // A polygon count beyond the record leaves no room for points.
    EXPECT_TRUE(ReadPolyPolygons(Words({EMR_POLYPOLYGON, 0, 0, 0, 0, 0, 0xFFFFFFFFu, 4, 1, 1})).empty());

    // Text whose string and advances lie beyond the record.
    std::vector<std::uint8_t> text(EmrExtTextOut::kSize + 4);
    EmrExtTextOut::Chars.set(text, 0x40000000);
    EmrExtTextOut::StringOffset.set(text, 0xFFFFFFF0u);
    EmrExtTextOut::DxOffset.set(text, std::uint32_t(EmrExtTextOut::kSize));
    EXPECT_TRUE(ReadTextW(text).empty());
    EXPECT_TRUE(ReadTextA(text).empty());
    EXPECT_EQ(ReadTextDx(text).size(), 1u);
    EmrExtTextOut::Options.set(text, ETO_PDY); // advances come in pairs; still only what is there
    EXPECT_EQ(ReadTextDx(text).size(), 1u);
}

TEST(EmfRecordReaders, FaceNameEndsAtItsNulOrAfter32Units) {
    std::vector<std::uint8_t> font(EmrCreateFont::kSize);
    for (std::size_t i = 0; i < 40; ++i)
        writeLE(Bytes(font), EmrCreateFont::kFaceName + 2 * i, std::uint16_t('a'));
    EXPECT_EQ(ReadFaceName(font), std::u16string(32, u'a'));
    writeLE(Bytes(font), EmrCreateFont::kFaceName + 6, std::uint16_t(0));
    EXPECT_EQ(ReadFaceName(font), u"aaa");
    EXPECT_TRUE(ReadFaceName(ConstBytes(font).first(EmrCreateFont::kFaceName + 1)).empty());
}

TEST(EmfRecordReaders, BlocksMustLieWhollyInTheRecord) {
    const auto record = Words({1, 2, 3, 4});
    EXPECT_EQ(RecordBlock(record, 12, 4).size(), 4u);
    EXPECT_EQ(RecordBlock(record, 16, 0).size(), 0u);
    EXPECT_TRUE(RecordBlock(record, 12, 5).empty());
    EXPECT_TRUE(RecordBlock(record, 0xFFFFFFFFu, 2).empty());
    EXPECT_TRUE(RecordBlock(record, 4, 0xFFFFFFFFu).empty());

    std::vector<std::uint8_t> blit(EmrStretchDIBits::kSize + 8);
    EmrStretchDIBits::BmiOffset.set(blit, 80);
    EmrStretchDIBits::BmiSize.set(blit, 4);
    EmrStretchDIBits::BitsOffset.set(blit, 84);
    EmrStretchDIBits::BitsSize.set(blit, 8); // runs 4 bytes past the record
    const TDib dib = ReadStretchDIBitsDib(blit);
    EXPECT_EQ(dib.Info.size(), 4u);
    EXPECT_TRUE(dib.Bits.empty());
}
