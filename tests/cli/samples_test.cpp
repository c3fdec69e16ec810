// The sample forms in examples/: made by kovet-make-samples, kept in the repository.
#include "CliRun.h"

#include "document/KVTFile.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace clitest;
using namespace kovet;

namespace {

const fs::path kExamples = fs::path(KOVET_SOURCE_DIR) / "examples";

// Loaded through the form object, which also checks the header.
void LoadSample(const char* name, TKVT& form) {
    TMemoryStream stream(ReadFile(kExamples / name));
    form.LoadFromStream(stream);
}

std::set<std::int32_t> TypesIn(const TKVTFile& file) {
    std::set<std::int32_t> types;
    for (std::int32_t i = 0; i < file.Count(); ++i)
        types.insert(ItemHeader::ItemType.get(file.Items(i)));
    return types;
}

} // namespace

TEST(Samples, GeneratorWritesExactlyTheCommittedFiles) {
    const TempDir dir;
    const RunResult r = clitest::Run("kovet-make-samples", {dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name : {"invoice.kvt", "small.kvt"}) {
        EXPECT_EQ(ReadFile(dir / name), ReadFile(kExamples / name))
            << name << " differs: rerun kovet-make-samples examples";
    }
}

TEST(Samples, InvoiceIsALetterPageWithEveryKindOfObject) {
    TKVT form;
    LoadSample("invoice.kvt", form);
    TKVTFile& file = form.KVTFile();
    const auto header = form.GetHeader();
    EXPECT_EQ(HeaderRec::PageWidth.get(header), 816);
    EXPECT_EQ(HeaderRec::PageHeight.get(header), 1056);
    EXPECT_EQ(HeaderRec::PaperSize.get(header), kvtLetter);
    EXPECT_EQ(HeaderRec::Orientation.get(header), kvtPortrait);
    EXPECT_EQ(TypesIn(file), (std::set<std::int32_t>{kvtHeaderType, kvtFrameType, kvtLineType, kvtEllipseType,
                                                     kvtTextType, kvtFieldType, kvtLogoType}));

    bool rounded = false;
    for (std::int32_t i = 0; i < file.Frames.Count(); ++i)
        rounded |= FrameRec::Roundness.get(file.Frames.Items(i)) > 0;
    EXPECT_TRUE(rounded);
}

TEST(Samples, InvoiceTextsUseSeveralFontsAlignmentsAndARotation) {
    TKVT form;
    LoadSample("invoice.kvt", form);
    TKVTFile& file = form.KVTFile();
    std::set<std::string> fonts;
    std::set<int> alignments;
    std::set<std::uint8_t> styles;
    bool rotated = false;
    for (std::int32_t i = 0; i < file.Texts.Count(); ++i) {
        const ConstBytes t = file.Texts.Items(i);
        EXPECT_EQ(ItemHeader::ItemSize.get(t), 80 + std::int32_t(TextRec::Text.get(t).size())) << TextRec::Text.get(t);
        fonts.insert(FontRec::FontName.get(t));
        alignments.insert(TextRec::Alignment.get(t));
        styles.insert(FontRec::FontStyle.get(t));
        rotated |= TextRec::Angle.get(t) != 0;
    }
    EXPECT_EQ(fonts, (std::set<std::string>{"Arial", "Courier New", "Times New Roman"}));
    EXPECT_EQ(alignments, (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(styles.contains(fsBold) && styles.contains(fsBold | fsItalic));
    EXPECT_TRUE(rotated);
}

TEST(Samples, InvoiceFieldsHaveUniqueNamesAndAFullTabOrder) {
    TKVT form;
    LoadSample("invoice.kvt", form);
    TRecObj_KVTField& fields = form.KVTFile().Fields;
    std::set<std::string> names;
    std::set<int> tabOrders, formats;
    for (std::int32_t i = 0; i < fields.Count(); ++i) {
        const ConstBytes f = fields.Items(i);
        EXPECT_TRUE(names.insert(AsciiUpper(FieldRec::Name.get(f))).second) << FieldRec::Name.get(f);
        tabOrders.insert(FieldRec::TabOrder.get(f));
        formats.insert(FieldRec::Format.get(f));
    }
    EXPECT_EQ(tabOrders.size(), std::size_t(fields.Count()));
    EXPECT_EQ(*tabOrders.begin(), 0);
    EXPECT_EQ(*tabOrders.rbegin(), fields.Count() - 1);
    for (const int format :
         {lfoText, lfoInteger, lfoDollar, lfoPercent, lfoDate, lfoPhone, lfoZipCode, lfoCheckbox, lfoMemo}) {
        EXPECT_TRUE(formats.contains(format)) << format;
    }
    for (const char* name :
         {"INVOICENO", "CUSTOMERNAME", "QTY1", "ITEM1", "UNITPRICE1", "AMOUNT1", "TOTALDUE", "NOTES", "PAID"}) {
        EXPECT_TRUE(names.contains(name)) << name;
    }
}

TEST(Samples, InvoiceLogoIsA24BitBitmapFile) {
    TKVT form;
    LoadSample("invoice.kvt", form);
    ASSERT_EQ(form.KVTFile().Logos.Count(), 1);
    const ConstBytes logo = form.KVTFile().Logos.Items(0);
    EXPECT_EQ(LogoRec::PictureType.get(logo), ptBitmap);
    const ConstBytes bmp = LogoRec::Data(logo);
    ASSERT_EQ(bmp.size(), std::size_t(LogoRec::DataSize.get(logo)));
    EXPECT_EQ(ItemHeader::ItemSize.get(logo), 47 + std::int32_t(bmp.size()));
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(readLE<std::uint32_t>(bmp, 2), bmp.size());
    EXPECT_EQ(readLE<std::uint16_t>(bmp, 28), 24);
    const std::int32_t width = readLE<std::int32_t>(bmp, 18), height = readLE<std::int32_t>(bmp, 22);
    const std::uint32_t rowBytes = (std::uint32_t(width) * 3 + 3) & ~3u;
    EXPECT_EQ(readLE<std::uint32_t>(bmp, 10) + rowBytes * std::uint32_t(height), bmp.size());
}

TEST(Samples, SmallFormHoldsSeveralObjectsOfEveryType) {
    TKVT form;
    LoadSample("small.kvt", form);
    TKVTFile& file = form.KVTFile();
    for (TCustomRecordListObject* wrapper : std::initializer_list<TCustomRecordListObject*>{
             &file.Frames, &file.Lines, &file.Ellipses, &file.Texts, &file.Fields, &file.Logos}) {
        EXPECT_GE(wrapper->Count(), 2) << wrapper->ItemType();
    }
}
