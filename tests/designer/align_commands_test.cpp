// Lining up the selection: the reference object, the minimum counts, the far edges, spacing
// with its rounded-up step and stable order, 16-bit positions, one history step per command.
#include "DesignerFixture.h"
#include "FormObjects.h"

#include "designer/core/AlignCommands.h"

using namespace kovet::designer;
using namespace kovet::designer::test;
using IDs = std::vector<std::int32_t>;

namespace {

class Alignment : public DesignerTest {
protected:
    Alignment() {
        core->Start();
        core->OnEdited = [this](const TUndoStep& step) { labels.push_back(step.Label); };
        core->OnChanged = [this] { ++repaints; };
    }
    std::int32_t Frame(const Box& box) { return AddFrame(*core, box); }

    std::vector<std::string> labels;
    int repaints = 0;
};

} // namespace

TEST_F(Alignment, FewerObjectsThanACommandNeedsChangeNothingAtAll) {
    const std::int32_t a = Frame({10, 10, 20, 20}), b = Frame({40, 70, 30, 5});
    const std::vector<std::uint8_t> before = core->Form().KVTData();
    Select(*core, {a});
    for (const auto command : {AlignLefts, AlignRights, AlignTops, AlignBottoms})
        command(*core);
    // Spacing two objects selected right to left would still reorder them.
    Select(*core, {b, a});
    SpaceHorizontally(*core);
    SpaceVertically(*core);
    EXPECT_EQ(core->Form().KVTData(), before);
    EXPECT_EQ(SelectedIDs(*core), (IDs{b, a}));
    EXPECT_TRUE(labels.empty());
    EXPECT_EQ(repaints, 0) << "not even a repaint";
}

TEST_F(Alignment, EdgesFollowTheFirstSelectedObjectAndOnlyThePositionMoves) {
    const std::int32_t a = Frame({10, 5, 20, 8}), b = Frame({40, 60, 30, 12}), c = Frame({70, 90, 5, 5});
    const std::int32_t unselected = Frame({300, 300, 10, 10});
    Select(*core, {b, a, c});
    AlignLefts(*core);
    AlignTops(*core);
    EXPECT_EQ(BoxOf(*core, a), (Box{40, 60, 20, 8}));
    EXPECT_EQ(BoxOf(*core, b), (Box{40, 60, 30, 12}));
    EXPECT_EQ(BoxOf(*core, c), (Box{40, 60, 5, 5}));
    EXPECT_EQ(BoxOf(*core, unselected), (Box{300, 300, 10, 10}));
    EXPECT_EQ(SelectedIDs(*core), (IDs{b, a, c}));
    EXPECT_EQ(core->Selection().Box(1), (kovet::TRect{40, 60, 60, 68})) << "the entries are refreshed";
}

TEST_F(Alignment, FarEdgesMeetTheReferencesFarEdgeInSixteenBits) {
    const std::int32_t reference = Frame({100, 100, 50, 50}), other = Frame({7, 9, 20, 20});
    Select(*core, {reference, other});
    AlignRights(*core);
    AlignBottoms(*core);
    EXPECT_EQ(BoxOf(*core, other), (Box{130, 130, 20, 20}));

    const std::int32_t farOut = Frame({32000, -32000, 1000, -1000}), flat = Frame({0, 0, 0, 0});
    Select(*core, {farOut, flat});
    AlignRights(*core);
    AlignBottoms(*core);
    EXPECT_EQ(BoxOf(*core, flat), (Box{-32536, 32536, 0, 0})) << "the low-order part stays";
}

TEST_F(Alignment, SpacingStepsAreRoundedUpWhateverTheSelectionOrder) {
    const std::int32_t a = Frame({0, 0, 5, 5}), b = Frame({10, 0, 50, 5}), c = Frame({25, 0, 1, 5});
    Select(*core, {c, b, a});
    SpaceHorizontally(*core);
    EXPECT_EQ(BoxOf(*core, b)[0], 13) << "step 12 remainder 1 becomes 13; widths play no part";
    EXPECT_EQ(BoxOf(*core, c)[0], 26) << "the last object may move beyond its place";
    EXPECT_EQ(SelectedIDs(*core), (IDs{a, b, c})) << "left to right afterwards";
    AlignLefts(*core);
    EXPECT_EQ(BoxOf(*core, c)[0], 0) << "the left-most object is now the reference";

    const std::int32_t top = Frame({0, -100, 5, 5}), mid = Frame({0, 0, 5, 5}), low = Frame({0, 32767, 5, 5});
    Select(*core, {mid, low, top});
    SpaceVertically(*core);
    EXPECT_EQ(SelectedIDs(*core), (IDs{top, mid, low})) << "positions are signed";
    EXPECT_EQ(BoxOf(*core, mid)[1], 16334) << "32867 / 2 rounded up, from -100";
    EXPECT_EQ(BoxOf(*core, low)[1], -32768) << "the low-order part stays";
}

TEST_F(Alignment, SpacingKeepsTheSelectionOrderOfObjectsAtTheSamePlace) {
    const std::int32_t x = Frame({0, 30, 5, 5}), y = Frame({0, 0, 5, 5}), z = Frame({0, 30, 5, 5});
    Select(*core, {x, y, z});
    SpaceVertically(*core);
    EXPECT_EQ(SelectedIDs(*core), (IDs{y, x, z}));
    EXPECT_EQ(BoxOf(*core, x)[1], 15);
    EXPECT_EQ(BoxOf(*core, z)[1], 30);

    labels.clear();
    Select(*core, {z, y, x});
    SpaceHorizontally(*core);
    EXPECT_EQ(SelectedIDs(*core), (IDs{z, y, x}));
    EXPECT_TRUE(labels.empty()) << "step 0: nothing moved, so no step";
}

TEST_F(Alignment, EachCommandIsOneStepUnderItsOwnLabel) {
    const std::int32_t a = Frame({10, 10, 20, 20}), b = Frame({40, 50, 30, 10}), c = Frame({100, 70, 10, 40});
    const std::vector<std::uint8_t> start = core->Form().KVTData();
    for (const auto command : {AlignLefts, AlignRights, AlignTops, AlignBottoms, SpaceHorizontally, SpaceVertically}) {
        core->Form().SetKVTData(start);
        Select(*core, {a, b, c});
        command(*core);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Align Left Edges", "Align Right Edges", "Align Tops", "Align Bottoms",
                                                "Space Horizontally", "Space Vertically"}));
}
