// Word-processor forms against outside programs: metafiles written by LibreOffice and by
// libEMF import into the objects their drawing records describe, and LibreOffice opens our
// RTF export with the form's picture on the page. Each test is skipped, saying why, where its
// program is missing; the files stay in BUILD/tests/tools/word-form.
#include "ExternalTool.h"

#include "convert/RtfExport.h"
#include "convert/WordImport.h"
#include "display/PageExport.h"
#include "platform/RecordingCanvas.h"
#include "platform/emf/EmfRecords.h"
#include "platform/emf/Metafile.h"
#include "storage/Stream.h"
#include "storage/Text1252.h"
#include "storage/Utf8.h"

#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace kovet;
namespace fs = std::filesystem;

namespace {

bool Installed(const std::string& tool) {
    return kovet::test::Tool("command -v " + tool).has_value();
}

class WordFormProof : public testing::Test {
protected:
    WordFormProof() {
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        work = fs::path(KOVET_WORK_DIR) / name;
        fs::remove_all(work);
        fs::create_directories(work);
    }

    // LibreOffice with a profile of its own in the work folder, so that tests may run side by
    // side and no user's settings take part.
    bool Soffice(const std::string& format, const fs::path& input) {
        const std::string profile = "file://" + (work / "profile").string();
        return kovet::test::Tool("soffice \"-env:UserInstallation=" + profile + "\" --headless --convert-to " + format +
                                 " --outdir \"" + work.string() + "\" \"" + input.string() + "\" >\"" +
                                 (work / "soffice.log").string() + "\"")
            .has_value();
    }

    std::vector<std::uint8_t> Import(const fs::path& emf) {
        ImportMetafile(form, defaults, state, ReadWholeFile(emf), 1.0f, metrics);
        return form.KVTData();
    }
    ConstBytes Object(std::int32_t i) { return form.KVTFile().Items(i + 1); }
    std::int32_t Objects() { return form.KVTFile().Count() - 1; }

    fs::path work;
    TKVT form;
    TKVTDefaults defaults;
    FixedTextMetrics metrics;
    TWordImportState state;
};

// What the records of a metafile draw, read a second way: every shape, line and text record
// with the box, start point or string and place it gives, at full scale.
struct Drawn {
    std::int32_t Type;
    std::int32_t Left, Top;
    std::string Text;
};

std::vector<Drawn> DrawingRecords(ConstBytes emf) {
    std::vector<Drawn> drawn;
    TPoint current{0, 0};
    EmfRecordReader reader(emf, EmrRec::Size.get(emf));
    for (EmfRecord r; reader.Next(r) && r.Type != EMR_EOF;) {
        const TRect box = EmrBox::Box.get(r.Bytes);
        switch (r.Type) {
        case EMR_MOVETOEX: current = EmrPoint::Point.get(r.Bytes); break;
        case EMR_RECTANGLE:
        case EMR_ROUNDRECT: drawn.push_back({kvtFrameType, box.Left, box.Top, {}}); break;
        case EMR_ELLIPSE: drawn.push_back({kvtEllipseType, box.Left, box.Top, {}}); break;
        case EMR_LINETO: drawn.push_back({kvtLineType, current.X, current.Y, {}}); break;
        case EMR_EXTTEXTOUTW: {
            const TRect bounds = EmrExtTextOut::Bounds.get(r.Bytes);
            const std::u16string text = ReadTextW(r.Bytes);
            drawn.push_back({kvtTextType, bounds.Left, bounds.Top, Utf8ToWindows1252(Utf16ToUtf8(text))});
            break;
        }
        default: break;
        }
    }
    return drawn;
}

TEST_F(WordFormProof, ALibreOfficeDrawingImportsAsItsRecordsDescribe) {
    if (!Installed("soffice")) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const fs::path svg = work / "form.svg";
    std::ofstream(svg) << R"(<svg xmlns="http://www.w3.org/2000/svg" width="400" height="300" viewBox="0 0 400 300">
  <rect x="20" y="20" width="160" height="60" fill="white" stroke="black"/>
  <ellipse cx="280" cy="50" rx="60" ry="30" fill="none" stroke="black"/>
  <line x1="20" y1="150" x2="380" y2="150" stroke="black"/>
  <text x="30" y="200" font-family="Liberation Sans" font-size="16">Customer name</text>
</svg>
)";
    ASSERT_TRUE(Soffice("emf", svg)) << "see " << (work / "soffice.log");
    const std::vector<std::uint8_t> emf = ReadWholeFile(work / "form.emf");
    ASSERT_TRUE(IsEnhancedMetafile(emf));

    Import(work / "form.emf");
    const std::vector<Drawn> drawn = DrawingRecords(emf);
    ASSERT_EQ(Objects(), std::int32_t(drawn.size()));
    std::int32_t texts = 0, lines = 0;
    for (std::int32_t i = 0; i < Objects(); ++i) {
        const ConstBytes r = Object(i);
        ASSERT_EQ(ItemHeader::ItemType.get(r), drawn[i].Type) << i;
        EXPECT_EQ(ObjectRec::Left.get(r), std::int16_t(drawn[i].Left)) << i;
        EXPECT_EQ(ObjectRec::Top.get(r), std::int16_t(drawn[i].Top)) << i;
        if (drawn[i].Type == kvtTextType) {
            EXPECT_EQ(TextRec::Text.get(r), drawn[i].Text);
            ++texts;
        }
        lines += drawn[i].Type == kvtLineType;
    }
    // LibreOffice draws shapes as paths and polygons, which no object stands for, and outlines
    // as moves and lines, which lines do; its texts are text records.
    EXPECT_EQ(texts, 1);
    EXPECT_GT(lines, 0);
    EXPECT_EQ(TextRec::Text.get(Object(Objects() - 1)), "Customer name");
}

TEST_F(WordFormProof, ALibEmfFormImportsIntoTheObjectsItsCallsDrew) {
    if (!fs::exists("/usr/include/libEMF/emf.h") || !Installed("c++"))
        GTEST_SKIP() << "libEMF (Debian package libemf-dev) or a C++ compiler is not installed";
    const fs::path program = work / "wordform";
    ASSERT_TRUE(kovet::test::Tool("c++ -o \"" + program.string() +
                                  "\" \"" KOVET_SOURCE_DIR "/tests/tools/libemf/wordform.cpp\" -lEMF"));
    ASSERT_TRUE(kovet::test::Tool("\"" + program.string() + "\" \"" + (work / "wordform.emf").string() + "\""));

    Import(work / "wordform.emf");
    ASSERT_EQ(Objects(), 6);
    const ConstBytes frame = Object(0), dotted = Object(1), ellipse = Object(2), across = Object(3), down = Object(4),
                     text = Object(5);
    const struct {
        ConstBytes record;
        std::int32_t type, left, top, width, height;
    } placed[] = {
        {frame, kvtFrameType, 50, 60, 201, 61},      {dotted, kvtFrameType, 300, 60, 101, 61},
        {ellipse, kvtEllipseType, 50, 200, 100, 60}, {across, kvtLineType, 50, 300, 350, 0},
        {down, kvtLineType, 50, 300, 0, 200},
    };
    for (const auto& p : placed) {
        EXPECT_EQ(ItemHeader::ItemType.get(p.record), p.type);
        EXPECT_EQ(ObjectRec::Left.get(p.record), p.left) << p.type;
        EXPECT_EQ(ObjectRec::Top.get(p.record), p.top) << p.type;
        EXPECT_EQ(ObjectRec::Width.get(p.record), p.width) << p.type;
        EXPECT_EQ(ObjectRec::Height.get(p.record), p.height) << p.type;
    }
    constexpr TColor background = 0xD0E0F0;
    EXPECT_EQ(FrameRec::OuterStyle.get(frame), psDashed);
    EXPECT_EQ(FrameRec::Thickness.get(frame), 2);
    EXPECT_EQ(FrameRec::OuterColor.get(frame), 0x302010u);
    EXPECT_EQ(FrameRec::InnerColor.get(frame), background);
    EXPECT_EQ(FrameRec::InnerStyle.get(frame), fsSolid);
    EXPECT_EQ(FrameRec::Roundness.get(frame), FrameRec::Roundness.get(defaults.Frame()));
    for (const ConstBytes shape : {dotted, ellipse}) {
        // The same layout in both records from OuterStyle on, but for the colours' order.
        EXPECT_EQ(FrameRec::OuterStyle.get(shape), psDotted);
        EXPECT_EQ(FrameRec::InnerStyle.get(shape), fsClear);
        EXPECT_EQ(FrameRec::Thickness.get(shape), 1);
    }
    EXPECT_EQ(FrameRec::OuterColor.get(dotted), clRed);
    EXPECT_EQ(EllipseRec::OuterColor.get(ellipse), clRed);
    EXPECT_EQ(EllipseRec::InnerColor.get(ellipse), background);
    EXPECT_EQ(LineRec::Angle.get(down), 90.0f);
    EXPECT_EQ(LineRec::Angle.get(across), LineRec::Angle.get(defaults.Line()));

    ASSERT_EQ(ItemHeader::ItemType.get(text), kvtTextType);
    EXPECT_EQ(TextRec::Text.get(text), "Customer:");
    // libEMF leaves the bounding rectangle empty, at (0, 0): the text is placed there.
    EXPECT_EQ(TextRec::Left.get(text), 0);
    EXPECT_EQ(TextRec::Top.get(text), 0);
    EXPECT_EQ(TextRec::FontName.get(text), "Arial");
    EXPECT_EQ(TextRec::FontSize.get(text), 12);
    EXPECT_EQ(TextRec::FontHeight.get(text), -16);
    EXPECT_EQ(TextRec::FontStyle.get(text), fsBold);
}

TEST_F(WordFormProof, LibreOfficeOpensTheRtfExportWithThePictureOnThePage) {
    for (const char* tool : {"soffice", "pdftotext", "pdftoppm"})
        if (!Installed(tool)) GTEST_SKIP() << tool << " is not installed (LibreOffice, poppler-utils)";
    int argc = 1;
    char name[] = "word_form_proofs";
    char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    form.SetKVTData(ReadWholeFile(fs::path(KOVET_SOURCE_DIR) / "examples/invoice.kvt"));
    std::vector<TDrawProblem> problems;
    const std::vector<std::uint8_t> rtf = RtfDocument(ExportPage(form, TPageFormat::Emf, {1.0, false, true}, problems));
    WriteFileAtomically(work / "invoice.rtf", rtf);
    ASSERT_TRUE(Soffice("pdf", work / "invoice.rtf")) << "see " << (work / "soffice.log");

    const std::optional<std::string> text =
        kovet::test::Tool("pdftotext \"" + (work / "invoice.pdf").string() + "\" -");
    ASSERT_TRUE(text);
    for (const char* expected : {"INVOICE", "BILL TO", "Total due"})
        EXPECT_NE(text->find(expected), std::string::npos) << expected << " is not on the page";

    // The picture lies in the shape's box: from 0.2 inch (288 twips) at the top left, 8.33
    // inches (12,000 twips) wide; at 50 pixels per inch nothing is drawn left of or above it.
    ASSERT_TRUE(kovet::test::Tool("pdftoppm -r 50 -png -f 1 -l 1 -singlefile \"" + (work / "invoice.pdf").string() +
                                  "\" \"" + (work / "page").string() + "\""));
    const QImage page(QString::fromStdString((work / "page.png").string()));
    ASSERT_FALSE(page.isNull());
    QRect inked;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) inked |= QRect(x, y, 1, 1);
    ASSERT_FALSE(inked.isEmpty()) << "nothing drawn on the page";
    EXPECT_GE(inked.left(), 10);
    EXPECT_GE(inked.top(), 10);
    EXPECT_GT(inked.width(), 200) << "the form spans the page's width";
}

} // namespace
