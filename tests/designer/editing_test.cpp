// Editing through the core: the surface mouse, the edit commands, the keyboard's moves and
// undo, each checked on the records it leaves.
#include "DesignerFixture.h"

#include "designer/core/EditCommands.h"
#include "designer/core/SurfaceMouse.h"

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;

namespace {

class Editing : public DesignerTest {
protected:
    Editing() : mouse(*core) { core->Start(); }

    // A frame at (left, top) of the size; its ID.
    std::int32_t Frame(std::int16_t left, std::int16_t top, std::int16_t width, std::int16_t height) {
        std::int32_t id = 0;
        core->Edit("Add", [&] {
            std::vector<std::uint8_t> r(kFrameSize);
            ObjectRec::Left.set(r, left);
            ObjectRec::Top.set(r, top);
            ObjectRec::Width.set(r, width);
            ObjectRec::Height.set(r, height);
            id = ItemHeader::ID.get(core->Form().KVTFile().Frames.Add(r));
        });
        return id;
    }
    TRect Box(std::int32_t id) {
        const ConstBytes r = core->Form().KVTFile().FindByID(id);
        return {ObjectRec::Left.get(r), ObjectRec::Top.get(r), ObjectRec::Left.get(r) + ObjectRec::Width.get(r),
                ObjectRec::Top.get(r) + ObjectRec::Height.get(r)};
    }
    std::vector<std::int32_t> Selected() {
        std::vector<std::int32_t> ids;
        for (std::int32_t i = 0; i < core->Selection().Count(); ++i)
            ids.push_back(core->Selection().ID(i));
        return ids;
    }
    void Click(TPoint at) {
        mouse.Move(at);
        mouse.Press(at);
        mouse.Release(at);
    }
    // Hover, press, move through the points, release at the last.
    void Drag(TPoint from, std::initializer_list<TPoint> through) {
        mouse.Move(from);
        mouse.Press(from);
        TPoint last = from;
        for (const TPoint p : through)
            mouse.Move(last = p);
        mouse.Release(last);
    }

    SurfaceMouse mouse;
};

} // namespace

TEST_F(Editing, PressesSelectTheFrontMostHitWithStrictEdges) {
    const std::int32_t back = Frame(100, 100, 100, 100), front = Frame(150, 150, 100, 100);
    const std::int32_t thin = Frame(400, 100, 1, 50);
    Click({175, 175});
    EXPECT_EQ(Selected(), std::vector<std::int32_t>{front}) << "the overlap belongs to the later object";
    Click({120, 120});
    EXPECT_EQ(Selected(), std::vector<std::int32_t>{back}) << "a plain press replaces the selection";
    Click({100, 120});
    EXPECT_TRUE(Selected().empty()) << "the border line is outside, and empty page clears";
    Click({400, 120});
    Click({401, 120});
    EXPECT_TRUE(Selected().empty()) << "an object one pixel wide is never hit";

    Click({120, 120});
    mouse.SetShiftDown(true);
    Click({230, 230});
    EXPECT_EQ(Selected(), (std::vector<std::int32_t>{back, front})) << "Shift adds";
    Click({120, 120});
    EXPECT_EQ(Selected(), std::vector<std::int32_t>{front}) << "Shift on a selected object removes it";
    Click({500, 500});
    EXPECT_EQ(Selected(), std::vector<std::int32_t>{front}) << "Shift keeps the selection on empty page";
    (void)thin;
}

TEST_F(Editing, HandlesChooseTheModeTheHighestNumberWinning) {
    const std::int32_t small = Frame(200, 200, 4, 4);
    core->Selection().SelectObject(core->Form().KVTFile(), small);
    mouse.Move({202, 202});
    EXPECT_EQ(mouse.Mode(), TMouseMode::SizeLeft) << "all eight overlap: handle 7 wins";
    const std::int32_t big = Frame(100, 100, 100, 60);
    core->Selection().Clear();
    core->Selection().SelectObject(core->Form().KVTFile(), big);
    const struct {
        TPoint at;
        TMouseMode mode;
        TCursor cursor;
    } cases[] = {{{101, 101}, TMouseMode::SizeTopLeft, TCursor::SizeNwSe},
                 {{150, 98}, TMouseMode::SizeTop, TCursor::SizeNs},
                 {{202, 130}, TMouseMode::SizeRight, TCursor::SizeWe},
                 {{199, 159}, TMouseMode::SizeBottomRight, TCursor::SizeNwSe},
                 {{98, 161}, TMouseMode::SizeBottomLeft, TCursor::SizeNeSw},
                 {{150, 130}, TMouseMode::OverSelection, TCursor::Hand},
                 {{102, 130}, TMouseMode::SizeLeft, TCursor::SizeWe},
                 {{300, 300}, TMouseMode::Idle, TCursor::Arrow}};
    for (const auto& c : cases) {
        mouse.Move(c.at);
        EXPECT_EQ(mouse.Mode(), c.mode) << c.at.X << "," << c.at.Y;
        EXPECT_EQ(mouse.Cursor(), c.cursor) << c.at.X << "," << c.at.Y;
    }
}

TEST_F(Editing, DraggingMovesAndResizesAsOneUndoStep) {
    const std::int32_t a = Frame(50, 100, 100, 40);
    Click({60, 110});
    // A press that selects does not drag; the next press on the selection does.
    Drag({60, 110}, {{70, 130}, {80, 150}});
    EXPECT_EQ(Box(a), (TRect{70, 140, 170, 180}));
    EXPECT_EQ(core->UndoLabel(), "Move");
    EXPECT_EQ(mouse.Mode(), TMouseMode::Idle);
    EXPECT_FALSE(mouse.DragPending()) << "a finished drag leaves nothing pending";

    // The right-edge handle dragged left past the left edge: the left stays, the width is
    // what the outline spans.
    Drag({170, 160}, {{120, 160}, {20, 160}});
    EXPECT_EQ(Box(a), (TRect{70, 140, 120, 180}));
    EXPECT_EQ(core->UndoLabel(), "Resize");

    // Several objects keep their sizes and move by the same offset.
    const std::int32_t b = Frame(300, 300, 30, 30), c = Frame(400, 350, 20, 10);
    SelectAll(*core);
    Drag({310, 310}, {{320, 305}});
    EXPECT_EQ(Box(b), (TRect{310, 295, 340, 325}));
    EXPECT_EQ(Box(c), (TRect{410, 345, 430, 355}));
    EXPECT_EQ(Box(a), (TRect{80, 135, 130, 175}));

    core->Undo();
    EXPECT_EQ(Box(b), (TRect{300, 300, 330, 330}));
    for (int added = 0; added < 3; ++added)
        core->Undo();
    EXPECT_EQ(Box(a), (TRect{70, 140, 170, 180})) << "back to before the resize";
}

TEST_F(Editing, ASelectionLeftOfThePageIsNotDragged) {
    const std::int32_t a = Frame(0, 100, 50, 50);
    Click({20, 120});
    NudgeSelection(*core, -1, 0);
    EXPECT_EQ(Box(a).Left, -1);
    Drag({20, 120}, {{60, 160}});
    EXPECT_EQ(Box(a).Left, -1);
    EXPECT_EQ(Selected(), std::vector<std::int32_t>{a});
}

TEST_F(Editing, PlacingAddsFromTheDefaultsAndSelectsTheNewObject) {
    mouse.StartPlacing(kvtFieldType);
    EXPECT_EQ(mouse.Cursor(), TCursor::Place);
    mouse.Press({40, 60});
    TKVTFile& list = core->Form().KVTFile();
    const ConstBytes first = list.Items(list.Count() - 1);
    EXPECT_EQ(FieldRec::Name.get(first), "Field1");
    EXPECT_EQ(FieldRec::TabOrder.get(first), 0);
    EXPECT_EQ(FieldRec::FontName.get(first), "Courier New");
    EXPECT_EQ(FieldRec::ReadOnly.get(first), 1);
    EXPECT_EQ(ObjectRec::Left.get(first), 40);
    EXPECT_GT(ObjectRec::Width.get(first), 50) << "sized to its font";
    EXPECT_EQ(Selected(), std::vector<std::int32_t>{ItemHeader::ID.get(first)});
    EXPECT_EQ(core->UndoLabel(), "Add Field");

    AddObject(*core, kvtFieldType, 0, 0);
    EXPECT_EQ(FieldRec::Name.get(list.Items(list.Count() - 1)), "Field2");
    EXPECT_EQ(FieldRec::TabOrder.get(list.Items(list.Count() - 1)), 1);
    AddObject(*core, kvtTextType, 10, 10);
    EXPECT_EQ(ItemHeader::ItemSize.get(list.Items(list.Count() - 1)), 84) << "\"Text\"";
    AddObject(*core, kvtFrameType, 10, 10);
    const ConstBytes frame = list.Items(list.Count() - 1);
    EXPECT_EQ(FrameRec::Width.get(frame), 100);
    EXPECT_EQ(FrameRec::InnerColor.get(frame), 0xAAFFFFu);
    AddObject(*core, kvtLogoType, 10, 10);
    EXPECT_EQ(ItemHeader::ItemSize.get(list.Items(list.Count() - 1)), 47);
}

TEST_F(Editing, CopyPasteDeleteAndUndeleteWorkOnWholeRecords) {
    const std::int32_t field = AddObject(*core, kvtFieldType, 30, 40);
    core->Edit("Rename", [&] { FieldRec::Name.set(core->Form().KVTFile().FindByID(field), "Customer"); });
    core->Selection().SelectObject(core->Form().KVTFile(), field);
    Copy(*core);
    Paste(*core);
    Paste(*core);
    TKVTFile& list = core->Form().KVTFile();
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(FieldRec::Name.get(list.Items(2)), "Field1") << "a pasted field is named afresh";
    EXPECT_EQ(FieldRec::TabOrder.get(list.Items(2)), 1);
    EXPECT_EQ(FieldRec::Name.get(list.Items(3)), "Field2");
    EXPECT_EQ(ObjectRec::Left.get(list.Items(3)), 38) << "both copies sit 8 pixels from the original";
    EXPECT_EQ(Selected().size(), 1u);

    SelectAll(*core);
    Delete(*core);
    EXPECT_EQ(list.Count(), 1);
    Undelete(*core);
    Undelete(*core);
    EXPECT_EQ(list.Count(), 7) << "undelete brings the objects back as often as asked";

    // Nothing selected: Copy empties the copy buffer, and Paste adds nothing.
    core->Selection().Clear();
    Copy(*core);
    Paste(*core);
    EXPECT_EQ(list.Count(), 7);
    EXPECT_EQ(core->ClipList().Count(), 0);
}

TEST_F(Editing, ReorderingCentringAndTheKeyboard) {
    const std::int32_t a = Frame(10, 10, 200, 20), b = Frame(20, 20, 900, 20), c = Frame(30, 30, 20, 20);
    TSelection& selection = core->Selection();
    selection.SelectObject(core->Form().KVTFile(), a);
    selection.SelectObject(core->Form().KVTFile(), b);
    BringToFront(*core);
    TKVTFile& list = core->Form().KVTFile();
    EXPECT_EQ(ItemHeader::ID.get(list.Items(3)), b) << "the last selected in front of all";
    SendToBack(*core);
    EXPECT_EQ(ItemHeader::ID.get(list.Items(1)), b);
    EXPECT_EQ(ItemHeader::ID.get(list.Items(2)), a);
    CenterOnPage(*core);
    EXPECT_EQ(Box(a).Left, 308);
    EXPECT_EQ(Box(b).Left, -42);

    // One step through the drawing order at a time, never onto the header.
    selection.Clear();
    selection.SelectObject(list, ItemHeader::ID.get(list.Items(1)));
    SelectPrevious(*core);
    EXPECT_EQ(selection.ID(0), ItemHeader::ID.get(list.Items(1)));
    SelectNext(*core);
    SelectNext(*core);
    SelectNext(*core);
    EXPECT_EQ(selection.ID(0), c);

    // Text keeps its size; nudges of one selection merge into one undo step.
    const std::int32_t text = AddObject(*core, kvtTextType, 50, 50);
    const TRect textBox = Box(text);
    selection.Clear();
    selection.SelectObject(list, c);
    selection.SelectObject(list, text);
    ResizeSelection(*core, 1, 0);
    EXPECT_EQ(Box(text), textBox);
    EXPECT_EQ(Box(c).Right, 51);
    const TRect before = Box(c);
    NudgeSelection(*core, 1, 0);
    NudgeSelection(*core, 8, 0);
    NudgeSelection(*core, 0, -1);
    EXPECT_EQ(Box(c).Left, before.Left + 9);
    core->Undo();
    EXPECT_EQ(Box(c), before) << "three nudges are one step";
    EXPECT_EQ(core->UndoLabel(), "Resize");
}

TEST_F(Editing, UndoAndRedoRestoreTheExactBytesAndTheSavedState) {
    prompts.FileNames = {path("form.kvt")};
    Frame(10, 10, 50, 50);
    core->SaveAs();
    const std::vector<std::uint8_t> saved = core->Form().KVTData();
    std::vector<std::vector<std::uint8_t>> states{saved};
    const std::int32_t id = Frame(100, 100, 20, 20);
    states.push_back(core->Form().KVTData());
    core->Selection().SelectObject(core->Form().KVTFile(), id);
    Delete(*core);
    states.push_back(core->Form().KVTData());
    Undelete(*core);
    states.push_back(core->Form().KVTData());
    EXPECT_TRUE(core->IsModified());
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        core->Undo();
        EXPECT_EQ(core->Form().KVTData(), states[i - 1]) << i;
    }
    EXPECT_FALSE(core->IsModified()) << "undone back to the save";
    for (std::size_t i = 1; i < states.size(); ++i) {
        core->Redo();
        EXPECT_EQ(core->Form().KVTData(), states[i]) << i;
    }
    EXPECT_FALSE(core->CanRedo());
    core->Undo();
    Frame(1, 1, 1, 1);
    EXPECT_FALSE(core->CanRedo()) << "a new step drops what could be redone";
    prompts.Answers = {TAnswer::No};
    core->New();
    EXPECT_FALSE(core->CanUndo()) << "a new document starts a new history";
}
