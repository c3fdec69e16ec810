// Every kind of change undoes to the bytes it began from and redoes to the bytes it made,
// with the label the Undo menu shows.
#include "DesignerFixture.h"
#include "FormObjects.h"

#include "designer/core/AlignCommands.h"
#include "designer/core/EditCommands.h"
#include "designer/core/SurfaceMouse.h"
#include "designer/core/TabOrder.h"

#include <functional>

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;

TEST_F(DesignerTest, EveryCommandUndoesAndRedoesToTheExactBytes) {
    core->Start();
    SurfaceMouse mouse(*core);
    std::vector<std::int32_t> ids;
    core->Edit("Setup", [&] {
        ids = {AddFrame(*core, {10, 10, 50, 40}), AddFrame(*core, {100, 60, 30, 30}),
               AddFrame(*core, {300, 20, 60, 20}), AddField(*core, "Second", 1, 40, 200),
               AddField(*core, "First", 0, 40, 300)};
    });
    const auto selectAll = [&] { SelectAll(*core); };
    const auto selectFirst = [&] {
        core->Selection().Clear();
        core->Selection().SelectObject(core->Form().KVTFile(), ids[0]);
    };
    const struct {
        const char* label;
        std::function<void()> select, run;
    } commands[] = {
        {"Add Ellipse", [] {},
         [&] {
             mouse.StartPlacing(kvtEllipseType), mouse.Press({500, 500});
         }},
        {"Move", selectFirst,
         [&] {
             mouse.Move({20, 20}), mouse.Press({20, 20}), mouse.Move({60, 70}), mouse.Release({60, 70});
         }},
        {"Resize", selectFirst, [&] { ResizeSelection(*core, 5, -3); }},
        {"Cut", selectFirst, [&] { Cut(*core); }},
        {"Undelete", [] {}, [&] { Undelete(*core); }}, // what the Cut before kept
        {"Paste", selectAll, [&] { Copy(*core), Paste(*core); }},
        {"Delete", selectAll, [&] { Delete(*core); }},
        {"Bring to Front", selectFirst, [&] { BringToFront(*core); }},
        {"Send to Back", selectAll, [&] { SendToBack(*core); }},
        {"Center to Page", selectAll, [&] { CenterOnPage(*core); }},
        {"Align Left Edges", selectAll, [&] { AlignLefts(*core); }},
        {"Space Vertically", selectAll, [&] { SpaceVertically(*core); }},
        {"Tab Order", [] {},
         [&] {
             TTabOrder order;
             EditTabOrder(*core, order, [&] {
                 order.MoveToBottom(0);
                 return true;
             });
         }},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.label);
        command.select();
        const std::vector<std::uint8_t> before = core->Form().KVTData();
        command.run();
        const std::vector<std::uint8_t> after = core->Form().KVTData();
        ASSERT_NE(after, before);
        EXPECT_EQ(core->UndoLabel(), command.label);
        core->Undo();
        EXPECT_EQ(core->Form().KVTData(), before);
        core->Redo();
        EXPECT_EQ(core->Form().KVTData(), after);
        // Each command begins from the same form.
        core->Undo();
    }
}
