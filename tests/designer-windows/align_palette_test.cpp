// The alignment palette: a small window on top of the designer whose six buttons hand their
// commands to the runner its owner gives.
#include "designer/FormObjects.h"
#include "designer/ScriptedPrompts.h"
#include "designer/windows/AlignPalette.h"
#include "widgets/Application.h"

#include <QTemporaryDir>
#include <QToolButton>

using namespace kovet::designer;
using namespace kovet::designer::test;

namespace {

class Palette : public ::testing::Test {
protected:
    Palette() : core(prompts, (folder.path() + "/config").toStdString()) { core.Start(); }

    QTemporaryDir folder;
    ScriptedPrompts prompts;
    DesignerCore core;
    QWidget designer;
};

// In their rows, left to right.
constexpr const char* kButtons[2][3] = {{"btnAlignLefts", "btnSpaceHorizontally", "btnAlignRights"},
                                        {"btnAlignTops", "btnSpaceVertically", "btnAlignBottoms"}};
constexpr const char* kHints[2][3] = {{"Align Left Edges", "Space Equally Horizontally", "Align Right Edges"},
                                      {"Align Tops", "Space Equally Vertically", "Align Bottoms"}};

} // namespace

TEST_F(Palette, IsASmallToolWindowOnTopOfTheDesignerWithSixButtonsInTwoRows) {
    TfmAlign palette(
        core, [](const std::function<void()>&) {}, &designer);
    EXPECT_EQ(palette.objectName(), "fmAlign");
    EXPECT_EQ(palette.windowTitle(), "Align");
    EXPECT_EQ(palette.parentWidget(), &designer);
    EXPECT_EQ(palette.windowType(), Qt::Tool);
    EXPECT_TRUE(palette.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(palette.size(), QSize(104, 65));
    EXPECT_EQ(palette.findChildren<QToolButton*>().size(), 6);
    const auto at = [&](int row, int column) { return palette.findChild<QToolButton*>(kButtons[row][column]); };
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QToolButton* button = at(row, column);
            ASSERT_NE(button, nullptr) << kButtons[row][column];
            EXPECT_EQ(button->toolTip(), kHints[row][column]);
            EXPECT_EQ(button->size(), QSize(27, 28)) << kHints[row][column];
            EXPECT_TRUE(palette.rect().contains(button->geometry())) << kHints[row][column];
            EXPECT_FALSE(button->icon().pixmap(20, 20).isNull()) << kHints[row][column];
            EXPECT_EQ(button->y(), at(row, 0)->y()) << kHints[row][column];
            EXPECT_EQ(button->x(), at(0, column)->x()) << kHints[row][column];
        }
    }
    EXPECT_GT(at(1, 0)->y(), at(0, 0)->geometry().bottom());
    EXPECT_GT(at(0, 1)->x(), at(0, 0)->geometry().right());
    EXPECT_GT(at(0, 2)->x(), at(0, 1)->geometry().right());
}

TEST_F(Palette, EachButtonHandsItsCommandToTheRunner) {
    std::vector<std::string> labels;
    core.OnEdited = [&](const TUndoStep& step) { labels.push_back(step.Label); };
    // Every command moves one of these.
    const std::int32_t a = AddFrame(core, {10, 10, 20, 20}), b = AddFrame(core, {40, 50, 30, 10});
    const std::int32_t c = AddFrame(core, {100, 70, 10, 40});
    const std::vector<std::uint8_t> start = core.Form().KVTData();
    int runs = 0;
    TfmAlign palette(
        core,
        [&](const std::function<void()>& command) {
            ++runs;
            core.Form().SetKVTData(start);
            Select(core, {a, b, c});
            command();
        },
        &designer);
    for (const auto& row : kButtons)
        for (const char* name : row)
            QTest::mouseClick(palette.findChild<QToolButton*>(name), Qt::LeftButton);
    EXPECT_EQ(runs, 6);
    EXPECT_EQ(labels, (std::vector<std::string>{"Align Left Edges", "Space Horizontally", "Align Right Edges",
                                                "Align Tops", "Space Vertically", "Align Bottoms"}));
}

TEST_F(Palette, ToggleShowsAHiddenPaletteAndHidesAShownOne) {
    TfmAlign palette(
        core, [](const std::function<void()>&) {}, &designer);
    designer.show();
    palette.Toggle();
    EXPECT_TRUE(palette.isVisible());
    palette.Toggle();
    EXPECT_FALSE(palette.isVisible());
}
