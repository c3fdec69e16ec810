// The designer's surface: its whole picture (page colour, grid, the form with placeholders,
// handles) against the form's drawing alone, and a change of the document until the surface
// widget has painted it.
#include "Application.h"
#include "MixedForm.h"
#include "Ratios.h"

#include "designer/core/DesignerCore.h"
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
    std::optional<std::string> SaveFileName(const designer::TFileDialog&) override { return std::nullopt; }
    bool ChoosePrinter(QPrinter&) override { return false; }
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
    designer::DesignSurface surface(core);
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

const bool registered = [] {
    AddRatio("RedrawDesign 1,000 objects / DrawForm alone", "BM_RedrawDesign", "BM_DrawFormAlone", "<= 1.5");
    AddRatio("change to repainted surface / DrawForm alone", "BM_ChangeToRepaintedSurface", "BM_DrawFormAlone",
             "reported");
    return true;
}();

} // namespace
} // namespace kovet::bench
