// What the design surface shows around the form, the preview's place for the page, the
// selection's handles, and the printed page.
#include "DesignerFixture.h"

#include "ExternalTool.h"
#include "platform/RecordingCanvas.h"

#include <QPainter>

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;

namespace {

std::vector<std::string> labels(const RecordingCanvas& canvas) {
    std::vector<std::string> texts;
    for (const auto& call : canvas.Find("TextOut"))
        texts.push_back(call.Text);
    return texts;
}

} // namespace

TEST(DesignGrid, LinesAlternateAndLabelsReadInTheUnit) {
    RecordingCanvas mm;
    DrawGrid(mm, {200, 100}, TRulerUnits::Millimeters);
    // Vertical lines at 0, 48, 96, 144, 192, horizontal ones at 0, 48, 96; the first and every
    // second one of each labelled, but the top line.
    EXPECT_EQ(labels(mm), (std::vector<std::string>{"0", "25.4", "50.8", "25.4"}));
    const auto lines = mm.Find("LineTo");
    ASSERT_EQ(lines.size(), 5u + 3u);
    EXPECT_EQ(lines[1].Pen.Style, TPenStyle::psDot);
    EXPECT_EQ(lines[2].Pen.Style, TPenStyle::psDash);
    EXPECT_EQ(lines[2].Args, (std::vector<std::int32_t>{96, 100}));

    RecordingCanvas pixels;
    DrawGrid(pixels, {250, 40}, TRulerUnits::Pixels);
    EXPECT_EQ(labels(pixels), (std::vector<std::string>{"0", "100", "200"})) << "y = 0 has no label";
}

TEST(DesignPreview, ThePageFitsTheHeightAndIsCentred) {
    TKVT form;
    form.KVTFile().Clear();
    EXPECT_EQ(PreviewRect(form, {600, 400}), (TRect{0, 0, 816, 1056})) << "an empty form at page size";
    form.Reset();
    const Bytes header = form.KVTFile().Items(0);
    HeaderRec::PageWidth.set(header, 1056);
    HeaderRec::PageHeight.set(header, 816);
    EXPECT_EQ(PreviewRect(form, {700, 400}), (TRect{91, 0, 608, 400})) << "517 wide, centred";
}

TEST(DesignSelection, HandlesBoundsAndColours) {
    TKVTFile list;
    list.Header.AddEmpty();
    std::vector<std::int32_t> ids;
    for (const TRect& box : {TRect{10, 20, 110, 70}, TRect{200, 5, 230, 300}}) {
        std::vector<std::uint8_t> frame(kFrameSize);
        ObjectRec::Left.set(frame, std::int16_t(box.Left));
        ObjectRec::Top.set(frame, std::int16_t(box.Top));
        ObjectRec::Width.set(frame, std::int16_t(box.Width()));
        ObjectRec::Height.set(frame, std::int16_t(box.Height()));
        ids.push_back(ItemHeader::ID.get(list.Frames.Add(frame)));
    }
    TSelection selection;
    EXPECT_EQ(selection.Bounds(), (TRect{-1, -1, -1, -1}));
    selection.SelectObject(list, ids[0]);
    RecordingCanvas one;
    selection.Draw(one);
    const auto fills = one.Find("FillRect");
    ASSERT_EQ(fills.size(), 8u);
    EXPECT_EQ(fills[0].Brush.Color, kSingleHandleColor);
    EXPECT_EQ(fills[4].Args, (std::vector<std::int32_t>{107, 67, 113, 73})) << "the bottom-right handle";
    EXPECT_EQ(one.Brush.Style, TBrushStyle::bsClear);

    selection.SelectObject(list, ids[1]);
    EXPECT_EQ(selection.Bounds(), (TRect{10, 5, 230, 300}));
    RecordingCanvas two;
    selection.Draw(two);
    EXPECT_EQ(two.Find("FillRect").size(), 16u);
    EXPECT_EQ(two.Find("FillRect")[0].Brush.Color, kMultiHandleColor);

    // Entries are snapshots until refreshed.
    ObjectRec::Left.set(list.FindByID(ids[0]), 40);
    EXPECT_EQ(selection.Box(0).Left, 10);
    selection.Refresh(list);
    EXPECT_EQ(selection.Box(0).Left, 40);
    EXPECT_EQ(selection.ID(1), ids[1]);
}

TEST_F(DesignerTest, PrintingLeavesOutThePlaceholdersAndKeepsTheView) {
    core->Start();
    prompts.FileNames = {SavedForm("printed.kvt")};
    core->OpenImport();
    std::vector<std::uint8_t> text(kTextMaxSize);
    TextRec::FontName.set(text, "Arial");
    TextRec::FontSize.set(text, 12);
    TextRec::FontHeight.set(text, -16);
    TextRec::Text.set(text, "Printed heading");
    ObjectRec::Width.set(text, 300);
    ObjectRec::Height.set(text, 30);
    core->Edit("Text", [&] { core->Form().KVTFile().Texts.Add(text); });
    prompts.PrintTo = path("out.pdf");
    core->Print();
    EXPECT_TRUE(core->View().ImbeddedFields);
    const auto pdf = kovet::test::Tool("pdftotext " + path("out.pdf") + " -");
    if (!pdf) GTEST_SKIP() << "poppler-utils are not installed";
    EXPECT_NE(pdf->find("Printed heading"), std::string::npos);
    EXPECT_EQ(pdf->find("Customer"), std::string::npos) << "no field placeholders on paper";
    const auto info = kovet::test::Tool("pdfinfo " + path("out.pdf"));
    EXPECT_NE(info->find("Kovet: " + path("printed.kvt")), std::string::npos) << *info;
}
