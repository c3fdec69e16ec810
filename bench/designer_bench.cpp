// The designer's surface: its whole picture (page colour, grid, the form with placeholders,
// handles) against the form's drawing alone, and a change of the document until the surface
// widget has painted it.
#include "Application.h"
#include "MixedForm.h"
#include "Ratios.h"

#include "designer/core/DesignerCore.h"
#include "designer/core/EditCommands.h"
#include "designer/core/SurfaceMouse.h"
#include "designer/windows/DesignSurface.h"
#include "display/Painter.h"
#include "platform/QtCanvas.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace kovet::bench {
namespace {

// Asks nothing: the benchmarks open no dialogs.
class SilentPrompts : public designer::Prompts {
public:
    designer::TAnswer Confirm(const std::string&, bool) override { return designer::TAnswer::No; }
    designer::TAnswer Warn(const std::string&) override { return designer::TAnswer::No; }
    void Inform(const std::string&) override {}
    void ShowError(const std::string&) override {}
    std::optional<std::string> OpenFileName(const designer::TFileDialog&) override { return std::nullopt; }
    std::optional<designer::TChosenFile> ChooseSaveFile(const designer::TFileDialog&) override { return std::nullopt; }
    bool ChoosePrinter(QPrinter&) override { return false; }
    std::optional<designer::TFontChoice> ChooseFont(const designer::TFontChoice&) override { return std::nullopt; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}
    void ShowProgress(const std::string&, int) override {}
    void HideStatus() override {}
};

void BM_RedrawDesign(benchmark::State& state) {
    application();
    TKVT& form = MixedForm();
    designer::TSelection selection;
    selection.SelectObject(form.KVTFile(), ItemHeader::ID.get(form.KVTFile().Items(1)));
    QImage image(816, 1056, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        designer::PaintDesign(painter, form, QImage(), selection, designer::TDesignView{});
    }
}
BENCHMARK(BM_RedrawDesign)->Unit(benchmark::kMillisecond);

void BM_DrawFormAlone(benchmark::State& state) {
    application();
    TKVT& form = MixedForm();
    QImage image(816, 1056, QImage::Format_RGB32);
    for (auto _ : state) {
        QtCanvas canvas(image);
        benchmark::DoNotOptimize(DrawForm(form, {0, 0, 816, 1056}, canvas, TDrawOptions{true, true, false}));
    }
}
BENCHMARK(BM_DrawFormAlone)->Unit(benchmark::kMillisecond);

// One object moved through the core's door, until the surface widget has painted the page.
void BM_ChangeToRepaintedSurface(benchmark::State& state) {
    application();
    SilentPrompts prompts;
    QTemporaryDir folder;
    designer::DesignerCore core(prompts, folder.path().toStdString());
    core.Form().Assign(MixedForm());
    designer::SurfaceMouse mouse(core);
    designer::DesignSurface surface(core, mouse);
    core.OnChanged = [&surface] { surface.Redraw(); };
    surface.Redraw();
    surface.show();
    std::int16_t left = 20;
    for (auto _ : state) {
        left = std::int16_t(left == 20 ? 21 : 20);
        core.Edit("Move", [&] { ObjectRec::Left.set(core.Form().KVTFile().Items(1), left); });
        surface.repaint();
    }
}
BENCHMARK(BM_ChangeToRepaintedSurface)->Unit(benchmark::kMillisecond);

// 10,000 frames in rows over the page, each 6 x 6.
TKVT& manyObjects() {
    static const std::unique_ptr<TKVT> form = [] {
        auto made = std::make_unique<TKVT>();
        for (std::int32_t i = 0; i < 10000; ++i) {
            const Bytes r = made->KVTFile().Frames.AddEmpty();
            ObjectRec::Left.set(r, std::int16_t(8 * (i % 100)));
            ObjectRec::Top.set(r, std::int16_t(8 * (i / 100)));
            ObjectRec::Width.set(r, 6);
            ObjectRec::Height.set(r, 6);
        }
        return made;
    }();
    return *form;
}

struct BigDocument {
    BigDocument() : core(prompts, folder.path().toStdString()), mouse(core) {
        application();
        core.Form().Assign(manyObjects());
    }
    SilentPrompts prompts;
    QTemporaryDir folder;
    designer::DesignerCore core;
    designer::SurfaceMouse mouse;
};

// What every step through the door costs at least: the document's bytes.
void BM_DocumentBytes10000(benchmark::State& state) {
    BigDocument big;
    for (auto _ : state)
        benchmark::DoNotOptimize(big.core.Form().KVTData());
}
BENCHMARK(BM_DocumentBytes10000)->Unit(benchmark::kMicrosecond);

// A press that selects the object under it (the rear-most of the rows: every record above
// it is tested first), then a drag of it that drops 8 pixels away.
void BM_HitAndDrop10000(benchmark::State& state) {
    BigDocument big;
    for (auto _ : state) {
        big.core.Selection().Clear();
        big.mouse.Move({3, 3});
        big.mouse.Press({3, 3});
        big.mouse.Release({3, 3});
        big.mouse.Move({3, 3});
        big.mouse.Press({3, 3});
        big.mouse.Move({11, 3});
        big.mouse.Release({11, 3});
        big.mouse.Move({11, 3});
        big.mouse.Press({11, 3});
        big.mouse.Move({3, 3});
        big.mouse.Release({3, 3});
    }
}
BENCHMARK(BM_HitAndDrop10000)->Unit(benchmark::kMicrosecond);

void BM_SelectAllAndNudge10000(benchmark::State& state) {
    BigDocument big;
    for (auto _ : state) {
        designer::SelectAll(big.core);
        designer::NudgeSelection(big.core, 1, 0);
        designer::NudgeSelection(big.core, -1, 0);
    }
}
BENCHMARK(BM_SelectAllAndNudge10000)->Unit(benchmark::kMicrosecond);

void BM_UndoRedo10000(benchmark::State& state) {
    BigDocument big;
    designer::SelectAll(big.core);
    designer::NudgeSelection(big.core, 1, 0);
    for (auto _ : state) {
        big.core.Undo();
        big.core.Redo();
    }
}
BENCHMARK(BM_UndoRedo10000)->Unit(benchmark::kMicrosecond);

const bool registered = [] {
    // Each step through the door takes the document's bytes twice; anything per object beyond
    // a few lookups would show here as thousands.
    AddRatio("hit test and 2 drops, 10,000 objects / their bytes", "BM_HitAndDrop10000", "BM_DocumentBytes10000",
             "<= 20");
    AddRatio("select all and 2 nudges, 10,000 / their bytes", "BM_SelectAllAndNudge10000", "BM_DocumentBytes10000",
             "<= 50");
    AddRatio("undo and redo, 10,000 objects / their bytes", "BM_UndoRedo10000", "BM_DocumentBytes10000", "<= 20");
    AddRatio("RedrawDesign 1,000 objects / DrawForm alone", "BM_RedrawDesign", "BM_DrawFormAlone", "<= 1.5");
    AddRatio("change to repainted surface / DrawForm alone", "BM_ChangeToRepaintedSurface", "BM_DrawFormAlone",
             "reported");
    return true;
}();

} // namespace
} // namespace kovet::bench
