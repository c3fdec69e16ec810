#include "display/Painter.h"
#include "platform/Dib.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <vector>

using namespace kovet;

namespace {

// Appends an object record of the given wrapper and places it.
Bytes addObject(TCustomRecordListObject& wrapper, std::int16_t l, std::int16_t t, std::int16_t w, std::int16_t h) {
    const Bytes r = wrapper.AddEmpty();
    ObjectRec::Left.set(r, l);
    ObjectRec::Top.set(r, t);
    ObjectRec::Width.set(r, w);
    ObjectRec::Height.set(r, h);
    return r;
}

Bytes addText(TKVT& form, const std::string& text, std::int16_t l, std::int16_t t, std::int16_t w, std::int16_t h) {
    std::vector<std::uint8_t> rec(std::size_t(TextItemSize(text.size())));
    ItemHeader::ItemSize.set(rec, TextItemSize(text.size()));
    ObjectRec::Left.set(rec, l);
    ObjectRec::Top.set(rec, t);
    ObjectRec::Width.set(rec, w);
    ObjectRec::Height.set(rec, h);
    TextRec::FontName.set(rec, "Arial");
    TextRec::Text.set(rec, text);
    return form.KVTFile().Texts.Add(rec);
}

// Draws at scale 1 into the page rectangle unless told otherwise.
RecordingCanvas draw(TKVT& form, TRect rect = {0, 0, 816, 1056}, bool opaque = true) {
    RecordingCanvas canvas;
    DrawForm(form, rect, canvas, opaque);
    return canvas;
}

std::vector<std::int32_t> args(std::initializer_list<std::int32_t> v) {
    return v;
}

} // namespace

TEST(DrawFormBackground, FillsTheRectangleWithThePageColourOnlyWhenOpaque) {
    TKVT form;
    const Bytes header = form.KVTFile().Items(0);
    HeaderRec::PageColor.set(header, 0x00EEDDCC);
    HeaderRec::BorderThickness.set(header, 4);
    HeaderRec::BorderStyle.set(header, psDashed);

    const RecordingCanvas opaque = draw(form, {10, 20, 418, 548});
    ASSERT_EQ(opaque.Calls.size(), 1u); // a form with only its header draws nothing else
    const auto& fill = opaque.Calls[0];
    EXPECT_EQ(fill.Op, "FillRect");
    EXPECT_EQ(fill.Args, args({10, 20, 418, 548}));
    EXPECT_EQ(fill.Brush.Color, 0x00EEDDCCu);
    EXPECT_EQ(fill.Brush.Style, TBrushStyle::bsSolid);
    EXPECT_EQ(fill.Pen.Width, 2); // trunc(4 x 0.5)
    EXPECT_EQ(fill.Pen.Style, TPenStyle::psDash);

    const RecordingCanvas clear = draw(form, {0, 0, 816, 1056}, false);
    EXPECT_EQ(clear.Calls[0].Brush.Style, TBrushStyle::bsClear);
    HeaderRec::BorderThickness.set(header, 0);
    EXPECT_EQ(draw(form).Calls[0].Pen.Width, 1);
}

TEST(DrawFormScaling, BoxesAreTruncatedTowardZeroAndOffsetByTheRectangle) {
    TKVT form;
    const Bytes frame = addObject(form.KVTFile().Frames, 101, 51, 99, 33);
    FrameRec::OuterColor.set(frame, clBlack);
    FrameRec::InnerColor.set(frame, clWhite);
    FrameRec::Thickness.set(frame, 3);
    const std::vector<std::uint8_t> before = form.KVTData();

    const RecordingCanvas c = draw(form, {10, 20, 418, 548}); // s = 0.5
    const auto rects = c.Find("Rectangle");
    ASSERT_EQ(rects.size(), 1u);
    // left = trunc(101 x 0.5) + 10 = 60; top = trunc(51 x 0.5) + 20 = 45; width 49, height 16
    EXPECT_EQ(rects[0].Args, args({60, 45, 109, 61}));
    EXPECT_EQ(rects[0].Pen.Width, 1); // trunc(0.5 x 3)
    EXPECT_EQ(form.KVTData(), before) << "drawing must not change the stored form";
}

TEST(DrawFormFrames, StylesColoursRoundnessAndTheEqualColourRule) {
    TKVT form;
    const Bytes a = addObject(form.KVTFile().Frames, 0, 0, 100, 50);
    FrameRec::OuterStyle.set(a, psDotted);
    FrameRec::InnerStyle.set(a, fsCross);
    FrameRec::OuterColor.set(a, clRed);
    FrameRec::InnerColor.set(a, clBlue);
    FrameRec::Thickness.set(a, 2);
    FrameRec::Roundness.set(a, 15);
    const Bytes b = addObject(form.KVTFile().Frames, 0, 0, 10, 10);
    FrameRec::OuterColor.set(b, clLime);
    FrameRec::InnerColor.set(b, clLime);
    FrameRec::InnerStyle.set(b, fsSolid);
    FrameRec::Roundness.set(b, -5);

    const RecordingCanvas c = draw(form, {0, 0, 1632, 2112}); // s = 2
    const auto round = c.Find("RoundRect");
    ASSERT_EQ(round.size(), 1u);
    EXPECT_EQ(round[0].Args, args({0, 0, 200, 100, 30, 30}));
    EXPECT_EQ(round[0].Pen.Style, TPenStyle::psDot);
    EXPECT_EQ(round[0].Pen.Color, clRed);
    EXPECT_EQ(round[0].Pen.Width, 4);
    EXPECT_EQ(round[0].Brush.Style, TBrushStyle::bsDiagCross);
    EXPECT_EQ(round[0].Brush.Color, clBlue);
    const auto plain = c.Find("Rectangle");
    ASSERT_EQ(plain.size(), 1u) << "roundness -5 draws a plain rectangle";
    EXPECT_EQ(plain[0].Pen.Style, TPenStyle::psClear) << "outline colour equal to the fill hides the outline";

    form.Shading = false;
    const auto unshaded = draw(form).Find("Rectangle");
    EXPECT_EQ(unshaded[0].Brush.Style, TBrushStyle::bsClear);
}

TEST(DrawFormFrames, AStyleCodeOutOfRangeKeepsThePreviousStyle) {
    TKVT form;
    const Bytes a = addObject(form.KVTFile().Frames, 0, 0, 10, 10);
    FrameRec::OuterStyle.set(a, psDashed);
    FrameRec::InnerStyle.set(a, fsDiagonal);
    FrameRec::OuterColor.set(a, clRed);
    const Bytes b = addObject(form.KVTFile().Frames, 0, 0, 10, 10);
    FrameRec::OuterStyle.set(b, 9);
    FrameRec::InnerStyle.set(b, 7);
    FrameRec::OuterColor.set(b, clRed);
    const auto rects = draw(form).Find("Rectangle");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].Pen.Style, TPenStyle::psDash);
    EXPECT_EQ(rects[1].Brush.Style, TBrushStyle::bsFDiagonal);
}

TEST(DrawFormEllipses, OutlineColourComesFirstInTheRecord) {
    TKVT form;
    const Bytes e = addObject(form.KVTFile().Ellipses, 5, 6, 70, 40);
    EllipseRec::OuterColor.set(e, clMaroon);
    EllipseRec::InnerColor.set(e, clMaroon); // equal colours keep the outline on ellipses
    EllipseRec::InnerStyle.set(e, fsSolid);
    EllipseRec::Thickness.set(e, 2);
    const auto ellipses = draw(form).Find("Ellipse");
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].Args, args({5, 6, 75, 46}));
    EXPECT_EQ(ellipses[0].Pen.Style, TPenStyle::psSolid);
    EXPECT_EQ(ellipses[0].Pen.Color, clMaroon);
    EXPECT_EQ(ellipses[0].Brush.Style, TBrushStyle::bsSolid);
}

TEST(DrawFormLines, TheAngleSelectsTheStroke) {
    struct Case {
        float angle;
        std::vector<std::int32_t> stroke; // MoveTo x, y, LineTo x, y; empty: nothing drawn
    };
    const Case cases[] = {
        {0, {10, 25, 111, 25}},
        {44.9f, {10, 25, 111, 25}},
        {45, {10, 41, 111, 10}},
        {100, {60, 10, 60, 41}},
        {135, {10, 10, 111, 41}},
        {360, {10, 10, 111, 41}},
        {-1, {}},
    };
    for (const Case& k : cases) {
        TKVT form;
        const Bytes l = addObject(form.KVTFile().Lines, 10, 10, 101, 31);
        LineRec::Angle.set(l, k.angle);
        LineRec::Color.set(l, clGreen);
        LineRec::Thickness.set(l, 2);
        const RecordingCanvas c = draw(form);
        const auto moves = c.Find("MoveTo");
        const auto lines = c.Find("LineTo");
        if (k.stroke.empty()) {
            EXPECT_TRUE(moves.empty() && lines.empty()) << "angle " << k.angle;
            continue;
        }
        ASSERT_EQ(lines.size(), 1u) << "angle " << k.angle;
        EXPECT_EQ(moves[0].Args, args({k.stroke[0], k.stroke[1]})) << "angle " << k.angle;
        EXPECT_EQ(lines[0].Args, args({k.stroke[2], k.stroke[3]})) << "angle " << k.angle;
        EXPECT_EQ(lines[0].Pen.Color, clGreen);
        EXPECT_EQ(lines[0].Pen.Width, 2);
        EXPECT_EQ(lines[0].Brush.Style, TBrushStyle::bsClear);
    }
}

TEST(DrawFormTexts, FontHeightAlignmentAndClipping) {
    TKVT form;
    const Bytes left = addText(form, "Total", 100, 200, 120, 20);
    TextRec::FontHeight.set(left, -16);
    TextRec::FontStyle.set(left, fsBold | fsItalic);
    TextRec::FontColor.set(left, clPurple);
    const Bytes right = addText(form, "Total", 100, 300, 120, 20);
    TextRec::Alignment.set(right, 1);
    const Bytes centred = addText(form, "Total", 100, 400, 121, 20);
    TextRec::Alignment.set(centred, 2);
    const Bytes wide = addText(form, "A very long caption", 0, 0, 10, 20);
    TextRec::Alignment.set(wide, 1);

    const RecordingCanvas c = draw(form, {0, 0, 1632, 2112}); // s = 2
    const auto texts = c.Find("TextRect");
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].Font.Height, -32);
    EXPECT_EQ(texts[0].Font.Style, fsBold | fsItalic);
    EXPECT_EQ(texts[0].Font.Color, clPurple);
    EXPECT_EQ(texts[0].Font.Name, "Arial");
    EXPECT_EQ(texts[0].Brush.Style, TBrushStyle::bsClear);
    EXPECT_EQ(texts[0].Args, args({200, 400}));
    EXPECT_EQ(texts[0].Clip, (TRect{200, 400, 442, 442})) << "clip is the box plus 2 pixels";
    // Zero font height: the unscaled box height, scaled: -|trunc(2 x 20)|; 5 characters of 20 px
    EXPECT_EQ(texts[1].Font.Height, -40);
    EXPECT_EQ(texts[1].Args, args({200 + 240 - 100, 600}));
    EXPECT_EQ(texts[2].Args, args({200 + (242 - 100) / 2, 800}));
    EXPECT_EQ(texts[3].Args, args({0, 0})) << "a negative offset becomes 0";
    EXPECT_EQ(c.Find("SetMapMode").size(), 4u);
}

TEST(DrawFormTexts, JustifiedTextSpreadsTheExtraOverItsBlanks) {
    TKVT form;
    const Bytes three = addText(form, "one two six", 0, 0, 200, 20); // 11 chars x 10 px = 110
    TextRec::Alignment.set(three, 3);
    const Bytes single = addText(form, "alone", 0, 40, 200, 20);
    TextRec::Alignment.set(single, 3);

    const RecordingCanvas c = draw(form);
    const auto justify = c.Find("SetTextJustification");
    ASSERT_EQ(justify.size(), 2u) << "text without blanks is not justified";
    EXPECT_EQ(justify[0].Args, args({90, 2}));
    EXPECT_EQ(justify[1].Args, args({0, 0}));
    const auto texts = c.Find("TextRect");
    EXPECT_EQ(texts[0].JustifyExtra, 90);
    EXPECT_EQ(texts[0].Args, args({0, 0}));
    EXPECT_EQ(texts[1].JustifyExtra, 0);
}

TEST(DrawFormTexts, RotatedAndAutosizedTextsAreNotClipped) {
    TKVT form;
    const Bytes rotated = addText(form, "Up", 50, 60, 20, 100);
    TextRec::Angle.set(rotated, 90.0f);
    TextRec::FontHeight.set(rotated, -12);
    const Bytes autosized = addText(form, "Free", 10, 10, 5, 5);
    TextRec::Autosize.set(autosized, 1);
    addText(form, "Boxed", 10, 10, 50, 20);

    const RecordingCanvas c = draw(form);
    const auto outs = c.Find("TextOut");
    ASSERT_EQ(outs.size(), 2u);
    EXPECT_EQ(outs[0].Font.Escapement, 900);
    EXPECT_EQ(outs[0].Args, args({50, 60}));
    EXPECT_EQ(outs[1].Font.Escapement, 0) << "the rotated font is for its own record only";
    const auto rects = c.Find("TextRect");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].Font.Escapement, 0);
}

TEST(DrawFormTexts, AnglesBeyondTheEscapementsRangeStayDefined) {
    TKVT form;
    const float angles[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1e30f,
                            -3.6e8f - 45.0f};
    for (const float angle : angles)
        TextRec::Angle.set(addText(form, "Odd", 10, 10, 50, 20), angle);
    const RecordingCanvas c = draw(form);
    const auto outs = c.Find("TextOut");
    ASSERT_EQ(outs.size(), 2u) << "NaN and infinity draw unrotated, in their boxes";
    EXPECT_EQ(outs[0].Font.Escapement, std::int32_t(std::fmod(double(1e30f), 360.0) * 10));
    EXPECT_EQ(outs[1].Font.Escapement, std::int32_t(std::fmod(double(-3.6e8f - 45.0f), 360.0) * 10));
    EXPECT_EQ(c.Find("TextRect").size(), 2u);
}

TEST(DrawFormFields, PlaceholdersOnlyWhileDesigning) {
    TKVT form;
    const Bytes f = addObject(form.KVTFile().Fields, 10, 20, 200, 18);
    FieldRec::Name.set(f, "Customer");
    FieldRec::FontName.set(f, "Courier New");
    FieldRec::FontHeight.set(f, -15);
    EXPECT_TRUE(draw(form).Find("TextOut").empty());

    form.Designing = true;
    form.DashColor = clGray;
    FieldRec::CtlOutline.set(f, 1);
    const RecordingCanvas c = draw(form);
    const auto outline = c.Find("Rectangle");
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_EQ(outline[0].Args, args({10, 20, 210, 38}));
    EXPECT_EQ(outline[0].Pen.Color, clGray);
    EXPECT_EQ(outline[0].Pen.Style, TPenStyle::psDot);
    EXPECT_EQ(outline[0].Brush.Style, TBrushStyle::bsClear);
    const auto caption = c.Find("TextOut");
    ASSERT_EQ(caption.size(), 1u);
    EXPECT_EQ(caption[0].Text, "tx-Customer");
    EXPECT_EQ(caption[0].Font.Color, clNavy) << "editable fields are navy";
    EXPECT_EQ(caption[0].Font.Height, -15);

    FieldRec::ReadOnly.set(f, 1);
    FieldRec::Alignment.set(f, 1);
    const RecordingCanvas readOnly = draw(form);
    EXPECT_TRUE(readOnly.Find("Rectangle").empty()) << "read-only fields get no outline";
    EXPECT_EQ(readOnly.Find("TextOut")[0].Font.Color, clBlack);
    EXPECT_EQ(readOnly.Find("TextOut")[0].Args, args({10 + 200 - 11 * 7, 20}));

    FieldRec::Format.set(f, lfoMemo);
    EXPECT_EQ(draw(form).Find("Rectangle").size(), 1u) << "memo fields are always outlined";
}

TEST(DrawFormOptions, ViewsDrawOneDocumentWithTheirOwnOptions) {
    TKVT form;
    FieldRec::Name.set(addObject(form.KVTFile().Fields, 10, 20, 200, 18), "Customer");
    const Bytes frame = addObject(form.KVTFile().Frames, 10, 50, 100, 40);
    FrameRec::InnerStyle.set(frame, 1);
    RecordingCanvas design, plain;
    DrawForm(form, {0, 0, 816, 1056}, design, TDrawOptions{true, false, false, clGray});
    DrawForm(form, {0, 0, 816, 1056}, plain, TDrawOptions{});
    EXPECT_EQ(design.Find("TextOut").size(), 1u) << "the designing view shows the placeholder";
    EXPECT_EQ(design.Find("Rectangle")[0].Brush.Style, TBrushStyle::bsClear) << "and no shading";
    EXPECT_TRUE(plain.Find("TextOut").empty());
    EXPECT_EQ(plain.Find("Rectangle")[0].Brush.Style, TBrushStyle::bsSolid);
    EXPECT_FALSE(form.Designing) << "the document's own flags stay as they were";
    EXPECT_TRUE(form.Shading);
}

TEST(DrawFormFields, CaptionPrefixes) {
    std::vector<std::uint8_t> f(static_cast<std::size_t>(kFieldSize));
    FieldRec::Name.set(f, "Agree");
    FieldRec::Format.set(f, lfoCheckbox);
    FieldRec::GroupIndex.set(f, 2);
    EXPECT_EQ(FieldPlaceholderCaption(f), "X2-Agree");
    FieldRec::Name.set(f, "Ext");
    FieldRec::Format.set(f, lfoPhoneExt);
    EXPECT_EQ(FieldPlaceholderCaption(f), "pe-Ext");
    FieldRec::Format.set(f, lfoPercent);
    EXPECT_EQ(FieldPlaceholderCaption(f), "pe-Ext");
    FieldRec::Format.set(f, lfoComboBox);
    EXPECT_EQ(FieldPlaceholderCaption(f), "cb-Ext");
    FieldRec::Format.set(f, 21);
    EXPECT_EQ(FieldPlaceholderCaption(f), "\?\?-Ext");
    FieldRec::Name.set(f, std::string(40, 'n'));
    FieldRec::Format.set(f, lfoCheckbox);
    FieldRec::GroupIndex.set(f, 255);
    EXPECT_EQ(FieldPlaceholderCaption(f).size(), 43u);
}

TEST(DrawFormLogos, AnUndecodablePictureIsDrawnAsItsOutlineAndReported) {
    TKVT form;
    const Bytes frame = addObject(form.KVTFile().Frames, 0, 0, 10, 10);
    FrameRec::OuterColor.set(frame, clRed);
    std::vector<std::uint8_t> rec(std::size_t(LogoItemSize(6)));
    ItemHeader::ItemSize.set(rec, LogoItemSize(6));
    ObjectRec::Left.set(rec, 30);
    ObjectRec::Top.set(rec, 40);
    ObjectRec::Width.set(rec, 50);
    ObjectRec::Height.set(rec, 60);
    LogoRec::PictureType.set(rec, ptBitmap);
    LogoRec::DataSize.set(rec, 6);
    std::memcpy(rec.data() + LogoRec::DataOffset, "BMjunk", 6);
    const std::int32_t logoId = ItemHeader::ID.get(form.KVTFile().Logos.Add(rec));
    addObject(form.KVTFile().Ellipses, 0, 0, 5, 5);

    RecordingCanvas c;
    const auto problems = DrawForm(form, {0, 0, 816, 1056}, c, true);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].ID, logoId);
    EXPECT_EQ(problems[0].Index, 2);
    const auto rects = c.Find("Rectangle");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].Args, args({30, 40, 80, 100}));
    EXPECT_EQ(rects[1].Pen.Color, clTeal);
    EXPECT_EQ(rects[1].Pen.Style, TPenStyle::psDash);
    EXPECT_EQ(c.Find("Ellipse").size(), 1u) << "the rest of the form is drawn";
}

// A BMP file of an 8-bit run-length encoded bitmap that ends at once: a few bytes that say
// width x height pixels.
std::vector<std::uint8_t> emptyRleBmp(std::int32_t width, std::int32_t height) {
    constexpr std::uint32_t kBitsAt = 14 + 40 + 256 * 4;
    std::vector<std::uint8_t> file(kBitsAt + 2, 0);
    file[0] = 'B';
    file[1] = 'M';
    writeLE<std::uint32_t>(file, 2, std::uint32_t(file.size()));
    writeLE<std::uint32_t>(file, 10, kBitsAt);
    writeLE<std::uint32_t>(file, 14, 40);
    writeLE<std::int32_t>(file, 18, width);
    writeLE<std::int32_t>(file, 22, height);
    writeLE<std::uint16_t>(file, 26, 1);
    writeLE<std::uint16_t>(file, 28, 8);
    writeLE<std::uint32_t>(file, 30, kBiRle8);
    writeLE<std::uint32_t>(file, 34, 2);
    file[kBitsAt + 1] = 1; // end of bitmap
    return file;
}

TEST(DrawFormLogos, BitmapsBeyondWhatOneDrawingDecodesAreOutlinedAndReported) {
    TKVT form;
    // Two of 8192 x 4096 pixels fill the budget; the third is refused.
    for (int i = 0; i < 3; ++i) {
        const std::vector<std::uint8_t> bmp = emptyRleBmp(8192, 4096);
        std::vector<std::uint8_t> rec(std::size_t(LogoItemSize(std::int32_t(bmp.size()))));
        ItemHeader::ItemSize.set(rec, LogoItemSize(std::int32_t(bmp.size())));
        ObjectRec::Width.set(rec, 200);
        ObjectRec::Height.set(rec, 200);
        LogoRec::PictureType.set(rec, ptBitmap);
        LogoRec::Scaled.set(rec, 1);
        LogoRec::DataSize.set(rec, std::int32_t(bmp.size()));
        std::memcpy(rec.data() + LogoRec::DataOffset, bmp.data(), bmp.size());
        form.KVTFile().Logos.Add(rec);
    }
    RecordingCanvas c;
    const auto problems = DrawForm(form, {0, 0, 816, 1056}, c, true);
    EXPECT_EQ(c.Find("StretchDIBits").size(), 2u);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Index, 3);
    EXPECT_NE(problems[0].Message.find("8192 x 4096 pixels is beyond"), std::string::npos) << problems[0].Message;
}

TEST(DrawFormLogos, DesignOutlineAndEmptyPictures) {
    TKVT form;
    const Bytes logo = addObject(form.KVTFile().Logos, 8, 9, 40, 30);
    LogoRec::PictureType.set(logo, ptEmpty);
    EXPECT_TRUE(draw(form).Find("Rectangle").empty());
    form.Designing = true;
    const auto rects = draw(form).Find("Rectangle");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].Args, args({8, 9, 48, 39}));
}
