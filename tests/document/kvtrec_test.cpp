#include "document/KVTRec.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

using namespace kovet;

namespace {

using Raw = std::vector<std::uint8_t>;

// Expected bytes are written here by hand, little-endian, straight from the record tables.
void put(Raw& r, std::size_t offset, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        r.at(offset + i) = std::uint8_t(value >> (8 * i));
}
void putFloat(Raw& r, std::size_t offset, float value) {
    put(r, offset, std::bit_cast<std::uint32_t>(value), 4);
}
void putString(Raw& r, std::size_t offset, std::string_view s) {
    r.at(offset) = std::uint8_t(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        r.at(offset + 1 + i) = std::uint8_t(s[i]);
}

std::string describe(std::span<const FieldDesc> fields) {
    std::string s;
    for (const FieldDesc& f : fields) {
        static constexpr const char* kinds[] = {"b", "h", "i", "u", "c", "f", "s"};
        s += std::string(f.name) + "@" + std::to_string(f.offset) + ":" + kinds[int(f.kind)];
        if (f.kind == FieldKind::ShortString) s += std::to_string(f.capacity);
        s += " ";
    }
    return s;
}

void setGeometry(Raw& r) {
    ObjectRec::Left.set(r, -3);
    ObjectRec::Top.set(r, 0x0102);
    ObjectRec::Width.set(r, 0x0304);
    ObjectRec::Height.set(r, -2);
}

void expectGeometry(Raw& e) {
    put(e, 20, 0xFFFD, 2);
    put(e, 22, 0x0102, 2);
    put(e, 24, 0x0304, 2);
    put(e, 26, 0xFFFE, 2);
}

} // namespace

// ---- byte layouts: every accessor writes where the record tables say, at their width ----

TEST(RecordLayout, Header) {
    Raw r(266, 0), e(266, 0);
    HeaderRec::PageWidth.set(r, -2);
    HeaderRec::PageHeight.set(r, 0x5678);
    HeaderRec::Signature.set(r, HeaderRec::SignatureValue);
    HeaderRec::Version.set(r, 5);
    HeaderRec::SubVersion.set(r, 1);
    HeaderRec::PaperSize.set(r, kvtA5);
    HeaderRec::Orientation.set(r, kvtLandScape);
    HeaderRec::BorderThickness.set(r, 200);
    HeaderRec::BorderStyle.set(r, psDotted);
    HeaderRec::PageColor.set(r, 0x80A1B2C3);
    put(e, 32, 0xFFFE, 2);
    put(e, 34, 0x5678, 2);
    put(e, 36, 0xDABBBBEE, 4);
    put(e, 40, 5, 1);
    put(e, 41, 1, 1);
    put(e, 42, 4, 1);
    put(e, 43, 1, 1);
    put(e, 44, 200, 1);
    put(e, 45, 2, 1);
    put(e, 46, 0x80A1B2C3, 4);
    EXPECT_EQ(r, e);
    EXPECT_EQ(HeaderRec::PageWidth.get(r), -2);
    EXPECT_EQ(HeaderRec::BorderThickness.get(r), 200);
    EXPECT_EQ(HeaderRec::PageColor.get(r), 0x80A1B2C3u);
}

TEST(RecordLayout, Frame) {
    Raw r(50, 0), e(50, 0);
    setGeometry(r);
    FrameRec::OuterStyle.set(r, psDashed);
    FrameRec::InnerStyle.set(r, fsCross);
    FrameRec::InnerColor.set(r, 0x00112233);
    FrameRec::OuterColor.set(r, 0x00445566);
    FrameRec::Thickness.set(r, 7);
    FrameRec::Roundness.set(r, -5);
    expectGeometry(e);
    put(e, 28, 1, 1);
    put(e, 29, 3, 1);
    put(e, 30, 0x00112233, 4); // fill colour first in a frame
    put(e, 34, 0x00445566, 4);
    put(e, 38, 7, 1);
    put(e, 39, 0xFFFB, 2);
    EXPECT_EQ(r, e);
    EXPECT_EQ(FrameRec::Roundness.get(r), -5);
    EXPECT_EQ(ObjectRec::Left.get(r), -3);
}

TEST(RecordLayout, Line) {
    Raw r(50, 0), e(50, 0);
    setGeometry(r);
    LineRec::Angle.set(r, 135.0f);
    LineRec::Style.set(r, psDotted);
    LineRec::Color.set(r, 0x00778899);
    LineRec::Thickness.set(r, 3);
    expectGeometry(e);
    putFloat(e, 28, 135.0f);
    put(e, 32, 2, 1);
    put(e, 33, 0x00778899, 4);
    put(e, 37, 3, 1);
    EXPECT_EQ(r, e);
    EXPECT_EQ(LineRec::Angle.get(r), 135.0f);
}

TEST(RecordLayout, Ellipse) {
    Raw r(50, 0), e(50, 0);
    setGeometry(r);
    EllipseRec::OuterStyle.set(r, psClear);
    EllipseRec::InnerStyle.set(r, fsSolid);
    EllipseRec::OuterColor.set(r, 0x00ABCDEF);
    EllipseRec::InnerColor.set(r, 0x00FEDCBA);
    EllipseRec::Thickness.set(r, 9);
    expectGeometry(e);
    put(e, 28, 3, 1);
    put(e, 29, 1, 1);
    put(e, 30, 0x00ABCDEF, 4); // outline colour first in an ellipse
    put(e, 34, 0x00FEDCBA, 4);
    put(e, 38, 9, 1);
    EXPECT_EQ(r, e);
}

TEST(RecordLayout, Text) {
    Raw r(85, 0), e(85, 0);
    setGeometry(r);
    TextRec::FontStyle.set(r, fsBold | fsItalic | fsUnderline | fsStrikeOut);
    TextRec::FontSize.set(r, 12);
    TextRec::FontName.set(r, "Arial");
    TextRec::FontHeight.set(r, -16);
    TextRec::FontColor.set(r, 0x000000FF);
    TextRec::Angle.set(r, 90.0f);
    TextRec::Alignment.set(r, 3);
    TextRec::Autosize.set(r, 1);
    TextRec::Text.set(r, "Hello");
    expectGeometry(e);
    put(e, 28, 0x0F, 1);
    put(e, 29, 12, 1);
    putString(e, 30, "Arial");
    put(e, 55, 0xFFF0, 2);
    put(e, 57, 0xFF, 4);
    putFloat(e, 61, 90.0f);
    put(e, 65, 3, 1);
    put(e, 66, 1, 1);
    putString(e, 79, "Hello");
    EXPECT_EQ(r, e);
    EXPECT_EQ(TextRec::FontName.get(r), "Arial");
    EXPECT_EQ(TextRec::Text.get(r), "Hello");
    EXPECT_EQ(TextRec::FontHeight.get(r), -16);
}

TEST(RecordLayout, Field) {
    Raw r(135, 0), e(135, 0);
    setGeometry(r);
    FieldRec::FontStyle.set(r, fsBold);
    FieldRec::FontSize.set(r, 10);
    FieldRec::FontName.set(r, "Courier New");
    FieldRec::FontHeight.set(r, 13);
    FieldRec::FontColor.set(r, 0x00010203);
    FieldRec::Alignment.set(r, 2);
    FieldRec::Name.set(r, "Customer");
    FieldRec::Format.set(r, lfoMemo);
    FieldRec::GroupIndex.set(r, 4);
    FieldRec::Digits.set(r, 9);
    FieldRec::Decimals.set(r, 2);
    FieldRec::MemoSpacing.set(r, 14);
    FieldRec::TabOrder.set(r, -1);
    FieldRec::MaxLength.set(r, 0x0203);
    FieldRec::HelpContext.set(r, 0x01020304);
    FieldRec::ReadOnly.set(r, 1);
    FieldRec::AutoRound.set(r, 2);
    FieldRec::AutoSize.set(r, 3);
    FieldRec::AutoAlign.set(r, 4);
    FieldRec::ShowZero.set(r, 5);
    FieldRec::CtlBorder.set(r, 6);
    FieldRec::CtlOutline.set(r, 7);
    FieldRec::CtlColor.set(r, 0x80000005);
    FieldRec::Tag.set(r, -2);
    expectGeometry(e);
    put(e, 28, 1, 1);
    put(e, 29, 10, 1);
    putString(e, 30, "Courier New");
    put(e, 55, 13, 2);
    put(e, 57, 0x00010203, 4);
    put(e, 65, 2, 1);
    putString(e, 66, "Customer");
    put(e, 107, 20, 1);
    put(e, 108, 4, 1);
    put(e, 109, 9, 1);
    put(e, 110, 2, 1);
    put(e, 111, 14, 1);
    put(e, 112, 0xFFFF, 2);
    put(e, 114, 0x0203, 2);
    put(e, 116, 0x01020304, 4);
    for (std::uint8_t i = 0; i < 7; ++i)
        put(e, 120 + i, i + 1u, 1);
    put(e, 127, 0x80000005, 4);
    put(e, 131, 0xFFFFFFFE, 4);
    EXPECT_EQ(r, e);
    EXPECT_EQ(FieldRec::Name.get(r), "Customer");
    EXPECT_EQ(FieldRec::TabOrder.get(r), -1);
    EXPECT_EQ(FieldRec::Tag.get(r), -2);
}

TEST(RecordLayout, Logo) {
    Raw r(52, 0), e(52, 0);
    setGeometry(r);
    LogoRec::PictureType.set(r, ptBitmap);
    LogoRec::Scaled.set(r, 1);
    LogoRec::DataSize.set(r, 5);
    expectGeometry(e);
    put(e, 28, 2, 1);
    put(e, 29, 1, 1);
    put(e, 30, 5, 4);
    EXPECT_EQ(r, e);
    EXPECT_EQ(LogoRec::DataOffset, 46u);
}

TEST(RecordLayout, StoredValuesKeepTheirLowOrderPart) {
    Raw r(50, 0);
    ObjectRec::Left.set(r, std::int16_t(70000)); // as a caller's narrowing would leave it
    EXPECT_EQ(ObjectRec::Left.get(r), std::int16_t(70000 - 65536));
    FrameRec::Thickness.set(r, std::uint8_t(300));
    EXPECT_EQ(r[38], 300 - 256);
    EXPECT_EQ(r[39], 0);
}

// ---- the field lists used by generic record tools ----

TEST(RecordFieldLists, NameEveryFieldInTableOrder) {
    const std::string geometry = "Left@20:h Top@22:h Width@24:h Height@26:h ";
    const std::string font = "FontStyle@28:b FontSize@29:b FontName@30:s24 FontHeight@55:h FontColor@57:c ";
    EXPECT_EQ(describe(ItemHeaderFields()), "Stamp@0:u ID@4:i ItemType@8:i ItemSize@12:i Reserved@16:i ");
    EXPECT_EQ(describe(RecordFields(10)), "PageWidth@32:h PageHeight@34:h Signature@36:u Version@40:b "
                                          "SubVersion@41:b PaperSize@42:b Orientation@43:b BorderThickness@44:b "
                                          "BorderStyle@45:b PageColor@46:c ");
    EXPECT_EQ(describe(RecordFields(20)), geometry + "OuterStyle@28:b InnerStyle@29:b InnerColor@30:c "
                                                     "OuterColor@34:c Thickness@38:b Roundness@39:h ");
    EXPECT_EQ(describe(RecordFields(30)), geometry + "Angle@28:f Style@32:b Color@33:c Thickness@37:b ");
    EXPECT_EQ(describe(RecordFields(40)), geometry + "OuterStyle@28:b InnerStyle@29:b OuterColor@30:c "
                                                     "InnerColor@34:c Thickness@38:b ");
    EXPECT_EQ(describe(RecordFields(50)), geometry + font + "Angle@61:f Alignment@65:b Autosize@66:b Text@79:s255 ");
    EXPECT_EQ(describe(RecordFields(60)),
              geometry + font +
                  "Alignment@65:b Name@66:s40 Format@107:b GroupIndex@108:b Digits@109:b Decimals@110:b "
                  "MemoSpacing@111:b TabOrder@112:h MaxLength@114:h HelpContext@116:i ReadOnly@120:b "
                  "AutoRound@121:b AutoSize@122:b AutoAlign@123:b ShowZero@124:b CtlBorder@125:b "
                  "CtlOutline@126:b CtlColor@127:c Tag@131:i ");
    EXPECT_EQ(describe(RecordFields(70)), geometry + "PictureType@28:b Scaled@29:b DataSize@30:i ");
    EXPECT_TRUE(RecordFields(0).empty());
    EXPECT_TRUE(RecordFields(99).empty());
}

// ---- strings inside records ----

TEST(RecordStrings, TextSizeFollowsItsLength) {
    EXPECT_EQ(TextItemSize(0), 80);
    EXPECT_EQ(TextItemSize(1), 81);
    EXPECT_EQ(TextItemSize(255), 335);
    EXPECT_EQ(TextItemSize(256), 335);
    EXPECT_EQ(TextItemSize(100000), 335);

    Raw r(335, 0);
    TextRec::Text.set(r, std::string(300, 'x'));
    EXPECT_EQ(r[79], 255);
    EXPECT_EQ(TextRec::Text.get(r), std::string(255, 'x'));
    Raw name(135, 0xAA);
    FieldRec::Name.set(name, std::string(50, 'n'));
    EXPECT_EQ(name[66], 40);
    EXPECT_EQ(name[107], 0xAA); // Format, just past the name, is untouched
}

TEST(RecordStrings, LengthByteBeyondTheCapacityReadsOnlyTheCapacity) {
    Raw r(135, 'z');
    r[30] = 200; // FontName, capacity 24
    r[66] = 255; // Name, capacity 40
    EXPECT_EQ(FieldRec::FontName.get(r), std::string(24, 'z'));
    EXPECT_EQ(FieldRec::Name.get(r), std::string(40, 'z'));
}

TEST(RecordStrings, RecordEndingBeforeItsStringReadsOnlyItsBytes) {
    Raw text(85, 't');
    text[79] = 200;
    EXPECT_EQ(TextRec::Text.get(text), std::string(5, 't'));
    text.resize(80);
    EXPECT_EQ(TextRec::Text.get(text), "");
    text.resize(79);
    EXPECT_EQ(TextRec::Text.get(text), "");
    text.resize(40);
    text[30] = 24;
    EXPECT_EQ(TextRec::FontName.get(text), std::string(9, 't'));

    Raw field(70, 'f');
    field[66] = 40;
    EXPECT_EQ(FieldRec::Name.get(field), "fff");
    EXPECT_EQ(FieldRec::TabOrder.get(field), 0); // beyond the record reads as zero

    // Writing into a short record stays inside it.
    Raw shortText(84, 0);
    TextRec::Text.set(shortText, "0123456789");
    EXPECT_EQ(shortText[79], 10);
    EXPECT_EQ(std::string(shortText.begin() + 80, shortText.end()), "0123");
}

// ---- logos ----

TEST(LogoData, NeverReachesBeyondTheRecord) {
    Raw r(47 + 10, 0);
    LogoRec::DataSize.set(r, 10);
    ConstBytes d = LogoRec::Data(r);
    EXPECT_EQ(d.data(), r.data() + 46);
    EXPECT_EQ(d.size(), 10u);
    EXPECT_EQ(LogoItemSize(0), 47);
    EXPECT_EQ(LogoItemSize(65000), 65047);

    Raw cut(60, 0);
    LogoRec::DataSize.set(cut, 1000);
    EXPECT_EQ(LogoRec::Data(cut).size(), 14u);
    LogoRec::DataSize.set(cut, 0x7FFFFFFF);
    EXPECT_EQ(LogoRec::Data(cut).size(), 14u);
    LogoRec::DataSize.set(cut, -5);
    EXPECT_TRUE(LogoRec::Data(cut).empty());
    cut.resize(46);
    EXPECT_TRUE(LogoRec::Data(cut).empty());
    cut.resize(31);
    EXPECT_TRUE(LogoRec::Data(cut).empty());
}

TEST(LogoData, PictureTypeFromTheFileName) {
    EXPECT_EQ(PictureTypeForFileName("logo.bmp"), ptBitmap);
    EXPECT_EQ(PictureTypeForFileName("C:\\LOGO.BMP"), ptBitmap);
    EXPECT_EQ(PictureTypeForFileName("page.Emf"), ptMetafile);
    EXPECT_EQ(PictureTypeForFileName("a.bmp.emf"), ptMetafile);
    EXPECT_EQ(PictureTypeForFileName("a.emf.bmp"), ptMetafile); // both: metafile wins
    EXPECT_EQ(PictureTypeForFileName("x.bmpx"), ptBitmap);      // "contains", not "ends with"
    EXPECT_EQ(PictureTypeForFileName("picture.png"), ptEmpty);
    EXPECT_EQ(PictureTypeForFileName("bmp"), ptEmpty);
    EXPECT_EQ(PictureTypeForFileName(""), ptEmpty);
}

// ---- paper ----

TEST(Paper, TableRows) {
    struct Row {
        int code, w, h;
        double wi, hi, wm, hm;
    };
    const Row rows[] = {
        {5, 816, 1344, 8.5, 14, 215.9, 355.6},   {1, 816, 1056, 8.5, 11, 215.9, 279.4},
        {8, 1122, 1588, 11.69, 16.54, 297, 420}, {9, 792, 1122, 8.25, 11.69, 210, 297},
        {11, 560, 792, 5.83, 8.25, 148, 210},
    };
    ASSERT_EQ(kPaperTable.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kPaperTable[i].windowsCode, rows[i].code);
        EXPECT_EQ(kPaperTable[i].width, rows[i].w);
        EXPECT_EQ(kPaperTable[i].height, rows[i].h);
        EXPECT_DOUBLE_EQ(kPaperTable[i].widthInches, rows[i].wi);
        EXPECT_DOUBLE_EQ(kPaperTable[i].heightInches, rows[i].hi);
        EXPECT_DOUBLE_EQ(kPaperTable[i].widthMm, rows[i].wm);
        EXPECT_DOUBLE_EQ(kPaperTable[i].heightMm, rows[i].hm);
    }
    static_assert(kvtLegal == 0 && kvtLetter == 1 && kvtA3 == 2 && kvtA4 == 3 && kvtA5 == 4);
    static_assert(kvtPortrait == 0 && kvtLandScape == 1);
}

TEST(Paper, PageSizeSwapsOnlyForLandscape) {
    std::int16_t w = 0, h = 0;
    ASSERT_TRUE(PaperPageSize(kvtA4, kvtLandScape, w, h));
    EXPECT_EQ(w, 1122);
    EXPECT_EQ(h, 792);
    ASSERT_TRUE(PaperPageSize(kvtA4, kvtPortrait, w, h));
    EXPECT_EQ(w, 792);
    EXPECT_EQ(h, 1122);
    ASSERT_TRUE(PaperPageSize(kvtLegal, 2, w, h)); // anything but 1 is portrait
    EXPECT_EQ(w, 816);
    EXPECT_EQ(h, 1344);
    ASSERT_TRUE(PaperPageSize(kvtA3, kvtLandScape, w, h));
    EXPECT_EQ(w, 1588);
    EXPECT_EQ(h, 1122);
    w = h = 7;
    EXPECT_FALSE(PaperPageSize(5, kvtPortrait, w, h));
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 7);
}

// Codes stored in records and shared with the designer's labels.
static_assert(lfoText == 0 && lfoReal == 1 && lfoDollar == 3 && lfoDate == 6 && lfoMTime == 10);
static_assert(lfoPhoneExt == 14 && lfoCustom == 17 && lfoCheckbox == 18 && lfoComboBox == 19 && lfoMemo == 20);
static_assert(psSolid == 0 && psDashed == 1 && psDotted == 2 && psClear == 3);
static_assert(fsClear == 0 && fsSolid == 1 && fsDiagonal == 2 && fsCross == 3);
static_assert(fsBold == 1 && fsItalic == 2 && fsUnderline == 4 && fsStrikeOut == 8);
static_assert(ptEmpty == 0 && ptMetafile == 1 && ptBitmap == 2);
