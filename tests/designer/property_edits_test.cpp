// The properties window's edits through the core: which selections take a value with and
// without Enter, the page's paper, text that sizes itself, field names and alignment, logo
// pictures, and each apply being one undo step.
#include "DesignerFixture.h"
#include "FormObjects.h"

#include "designer/core/EditCommands.h"
#include "designer/core/PropertyEdits.h"

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;

namespace {

class PropertyEdits : public DesignerTest {
protected:
    PropertyEdits() {
        core->Start();
        core->OnEdited = [this](const TUndoStep& step) { labels.push_back(step.Label); };
    }

    std::int32_t Add(std::int32_t type, std::int32_t x = 20, std::int32_t y = 20) {
        return AddObject(*core, type, x, y);
    }
    Bytes Record(std::int32_t id) { return core->Form().KVTFile().FindByID(id); }
    std::vector<std::uint8_t> FormBytes() { return core->Form().KVTData(); }

    // The window's part: the values as shown, one control changed, applied.
    void Apply(TProperty property, const std::function<void(TPropertyValues&)>& change, bool withEnter) {
        TPropertyValues values = ReadProperties(*core);
        change(values);
        ApplyProperty(*core, prompts, property, values, withEnter);
    }

    // A picture file of exactly `size` bytes: a 1 x 1 bitmap whose pixels lie at the end.
    std::string Bitmap(const std::string& name, std::size_t size) {
        std::string file(size, '\0');
        const auto put32 = [&](std::size_t at, std::uint32_t value) {
            for (int i = 0; i < 4; ++i)
                file[at + i] = char(value >> (8 * i));
        };
        file[0] = 'B';
        file[1] = 'M';
        put32(2, std::uint32_t(size));
        put32(10, std::uint32_t(size - 4));
        put32(14, 40);
        put32(18, 1);
        put32(22, 1);
        file[26] = 1;
        file[28] = 24;
        Write(dir / name, file);
        return path(name);
    }

    std::vector<std::string> labels;
};

} // namespace

TEST_F(PropertyEdits, SeveralObjectsOfOneTypeTakeAValueOnlyWithEnter) {
    const std::int32_t a = Add(kvtFrameType), b = Add(kvtFrameType, 200, 200);
    Select(*core, {a, b});
    const TPropertyValues shown = ReadProperties(*core);
    EXPECT_EQ(shown.Kind, TSelectionKind::OneType);
    EXPECT_EQ(shown.ItemType, kvtFrameType);
    labels.clear();

    const std::vector<std::uint8_t> before = FormBytes();
    const auto thickness = [](TPropertyValues& v) { v.Object.Frame.Thickness = 7; };
    Apply(TProperty::FrameThickness, thickness, false);
    EXPECT_EQ(FormBytes(), before) << "leaving the box changes nothing";
    Apply(TProperty::FrameThickness, thickness, true);
    EXPECT_EQ(FrameRec::Thickness.get(Record(a)), 7);
    EXPECT_EQ(FrameRec::Thickness.get(Record(b)), 7);
    // Only the thickness: the second frame keeps its own place.
    EXPECT_EQ(ObjectRec::Left.get(Record(b)), 200);
    EXPECT_EQ(labels, std::vector<std::string>{"Frame Thickness"});
    core->Undo();
    EXPECT_EQ(FormBytes(), before);
}

TEST_F(PropertyEdits, AMixedSelectionShowsNoPageAndMovesAllWithEnterInLeft) {
    const std::int32_t frame = Add(kvtFrameType, 30, 40), line = Add(kvtLineType, 60, 90);
    Select(*core, {frame, line});
    const TPropertyValues shown = ReadProperties(*core);
    EXPECT_EQ(shown.Kind, TSelectionKind::Mixed);
    EXPECT_EQ(shown.ItemType, 0) << "the Empty page";
    EXPECT_EQ(shown.Left, 30);
    EXPECT_EQ(shown.Top, 40);
    labels.clear();

    const std::vector<std::uint8_t> before = FormBytes();
    const auto left = [](TPropertyValues& v) { v.Left = 150; };
    Apply(TProperty::Left, left, false);
    EXPECT_EQ(FormBytes(), before);
    Apply(TProperty::Left, left, true);
    EXPECT_EQ(BoxOf(*core, frame), (Box{150, 40, 100, 100}));
    EXPECT_EQ(BoxOf(*core, line), (Box{150, 90, 100, 10}));
    EXPECT_EQ(labels, std::vector<std::string>{"Left"});

    // A value of one type's page reaches no object of a mixed selection.
    const std::vector<std::uint8_t> moved = FormBytes();
    Apply(
        TProperty::FrameThickness, [](TPropertyValues& v) { v.Object.Frame.Thickness = 9; }, true);
    EXPECT_EQ(FormBytes(), moved);
}

TEST_F(PropertyEdits, ThePageTakesItsSizeFromPaperAndOrientation) {
    core->Selection().Clear();
    const TPropertyValues shown = ReadProperties(*core);
    EXPECT_EQ(shown.Kind, TSelectionKind::Nothing);
    EXPECT_EQ(shown.ItemType, kvtHeaderType);
    Apply(
        TProperty::Orientation,
        [](TPropertyValues& v) {
            v.Object.Page.PaperSize = 3;
            v.Object.Page.Orientation = 1;
        },
        false);
    const ConstBytes header = core->Form().KVTFile().Items(0);
    EXPECT_EQ(HeaderRec::PaperSize.get(header), 3);
    EXPECT_EQ(HeaderRec::PageWidth.get(header), 1122);
    EXPECT_EQ(HeaderRec::PageHeight.get(header), 792);
    EXPECT_EQ(labels, std::vector<std::string>{"Orientation"});
    const TPropertyValues after = ReadProperties(*core);
    EXPECT_EQ(after.Width, 1122);
    EXPECT_EQ(after.Height, 792);
}

TEST_F(PropertyEdits, TextThatSizesItselfGrowsAndARightAlignedOneKeepsItsRightEdge) {
    const std::int32_t left = Add(kvtTextType, 100, 20), right = Add(kvtTextType, 100, 60);
    for (const std::int32_t id : {left, right}) {
        Select(*core, {id});
        if (id == right)
            Apply(
                TProperty::TextAlignment, [](TPropertyValues& v) { v.Object.Text.Alignment = 1; }, false);
        const Box was = BoxOf(*core, id);
        const std::string text = "A much longer text than before";
        Apply(
            TProperty::Text, [&](TPropertyValues& v) { v.Object.Text.Text = text; }, false);
        const Box now = BoxOf(*core, id);
        EXPECT_GT(now[2], was[2]);
        if (id == right)
            EXPECT_EQ(now[0] + now[2], was[0] + was[2]);
        else
            EXPECT_EQ(now[0], was[0]);
        // The record holds its text and no more.
        const std::int32_t index = core->Form().KVTFile().IndexOfID(id);
        EXPECT_EQ(std::int32_t(core->Form().KVTFile().Items(index).size()), TextItemSize(text.size()));
        EXPECT_EQ(TextRec::Text.get(Record(id)), text);
    }
}

TEST_F(PropertyEdits, AFieldNameThatAnotherFieldHasInAnyCaseIsRefused) {
    const std::int32_t total = AddField(*core, "Total", 1), other = AddField(*core, "Amount", 2);
    Select(*core, {other});
    const std::vector<std::uint8_t> before = FormBytes();
    const auto rename = [&](const std::string& name) {
        Apply(
            TProperty::FieldName, [&](TPropertyValues& v) { v.Object.Field.Name = name; }, false);
    };
    rename("total");
    EXPECT_EQ(prompts.Messages, std::vector<std::string>{"Duplicate field name"});
    EXPECT_EQ(FormBytes(), before);
    EXPECT_TRUE(labels.empty());

    // Its own name, in another case too, is no other field's.
    Select(*core, {total});
    rename("Total");
    rename("TOTAL");
    EXPECT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(FieldRec::Name.get(Record(total)), "TOTAL");
    // Longer names are cut to what the record holds.
    rename(std::string(50, 'x'));
    EXPECT_EQ(FieldRec::Name.get(Record(total)), std::string(40, 'x'));
}

TEST_F(PropertyEdits, AutoalignRightAlignsTheNumberFormats) {
    const std::int32_t field = Add(kvtFieldType);
    Select(*core, {field});
    const auto format = [&](std::int32_t value, bool autoAlign) {
        Apply(
            TProperty::FieldFormat,
            [&](TPropertyValues& v) {
                v.Object.Field.Format = value;
                v.Object.Field.AutoAlign = autoAlign;
            },
            false);
        return FieldRec::Alignment.get(Record(field));
    };
    EXPECT_EQ(format(lfoDollar, false), 0) << "without Autoalign the alignment stays";
    EXPECT_EQ(format(lfoDollar, true), 1);
    EXPECT_EQ(format(lfoDate, true), 0);
    EXPECT_EQ(format(lfoPctNS, true), 1);
    EXPECT_EQ(FieldRec::Format.get(Record(field)), lfoPctNS);
}

TEST_F(PropertyEdits, ALogoEmbedsPicturesUpTo65000Bytes) {
    const std::int32_t logo = Add(kvtLogoType);
    Select(*core, {logo});
    const std::string largest = Bitmap("largest.bmp", 65000), tooLarge = Bitmap("too-large.bmp", 65001);
    prompts.FileNames = {tooLarge};
    const std::vector<std::uint8_t> before = FormBytes();
    LoadLogoPicture(*core, prompts, logo);
    EXPECT_EQ(prompts.Messages, std::vector<std::string>{kLogoTooLarge});
    EXPECT_EQ(FormBytes(), before);

    prompts.FileNames = {largest};
    LoadLogoPicture(*core, prompts, logo);
    EXPECT_EQ(LogoRec::DataSize.get(Record(logo)), 65000);
    EXPECT_EQ(LogoRec::PictureType.get(Record(logo)), ptBitmap);
    EXPECT_EQ(Record(logo).size(), std::size_t(LogoItemSize(65000)));
    EXPECT_EQ(Record(logo)[LogoRec::DataOffset], 'B');
    EXPECT_EQ(labels.back(), "Load Picture");

    ClearLogoPicture(*core, logo);
    EXPECT_EQ(LogoRec::DataSize.get(Record(logo)), 0);
    EXPECT_EQ(Record(logo).size(), 47u);
    EXPECT_EQ(LogoRec::PictureType.get(Record(logo)), ptBitmap) << "the type stays";
    core->Undo();
    EXPECT_EQ(LogoRec::DataSize.get(Record(logo)), 65000);
}

TEST_F(PropertyEdits, AWindowsMetafileIsStoredWithTypeEmptyAndANonPictureIsSaid) {
    const std::int32_t logo = Add(kvtLogoType);
    std::string placeable(40, '\0');
    for (int i = 0; i < 4; ++i)
        placeable[std::size_t(i)] = char(0x9AC6CDD7u >> (8 * i));
    Write(dir / "drawing.WMF", placeable);
    Write(dir / "fake.emf", "not a metafile at all, just text");
    prompts.FileNames = {path("drawing.WMF"), path("fake.emf")};
    LoadLogoPicture(*core, prompts, logo);
    EXPECT_EQ(LogoRec::DataSize.get(Record(logo)), 40);
    EXPECT_EQ(LogoRec::PictureType.get(Record(logo)), ptEmpty);

    const std::vector<std::uint8_t> before = FormBytes();
    LoadLogoPicture(*core, prompts, logo);
    ASSERT_EQ(prompts.Errors.size(), 1u);
    EXPECT_NE(prompts.Errors[0].find("fake.emf"), std::string::npos) << prompts.Errors[0];
    EXPECT_EQ(FormBytes(), before);
}

TEST_F(PropertyEdits, SeveralTextsTakeOneFontWithEnter) {
    const std::int32_t a = Add(kvtTextType), b = Add(kvtTextType, 20, 80);
    Select(*core, {a, b});
    const TFontChoice font{"Courier New", clRed, 14, 1, -19};
    Apply(
        TProperty::TextFont, [&](TPropertyValues& v) { v.Object.Text.Font = font; }, true);
    for (const std::int32_t id : {a, b}) {
        Select(*core, {id});
        EXPECT_EQ(ReadProperties(*core).Object.Text.Font, font);
    }
    EXPECT_EQ(labels.back(), "Font");
}
