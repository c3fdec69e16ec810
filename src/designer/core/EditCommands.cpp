#include "EditCommands.h"

#include "convert/NewObjects.h"
#include "platform/QtTextMetrics.h"

#include <vector>

namespace kovet::designer {
namespace {

std::vector<std::int32_t> selectedIDs(DesignerCore& core) {
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < core.Selection().Count(); ++i)
        ids.push_back(core.Selection().ID(i));
    return ids;
}

void selectByType(DesignerCore& core, std::int32_t type) {
    TKVTFile& list = core.Form().KVTFile();
    core.Selection().Clear();
    for (std::int32_t i = 1; i < list.Count(); ++i) {
        const ConstBytes r = list.Items(i);
        if (type == 0 || ItemHeader::ItemType.get(r) == type)
            core.Selection().SelectObject(list, ItemHeader::ID.get(r));
    }
    core.SelectionChanged();
}

} // namespace

std::int32_t AddObject(DesignerCore& core, std::int32_t itemType, std::int32_t x, std::int32_t y) {
    QtTextMetrics metrics;
    return AppendNewObject(core.Form(), core.Defaults(), itemType, x, y, metrics);
}

void CopySelection(DesignerCore& core, TKVTFile& list) {
    list.Clear();
    for (const std::int32_t id : selectedIDs(core))
        list.Add(core.Form().KVTFile().FindByID(id));
}

void PasteRecords(DesignerCore& core, TKVTFile& list) {
    core.Selection().Clear();
    TKVTFile& form = core.Form().KVTFile();
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        std::vector<std::uint8_t> copy(list.Items(i).begin(), list.Items(i).end());
        ObjectRec::Left.set(copy, std::int16_t(ObjectRec::Left.get(copy) + 8));
        ObjectRec::Top.set(copy, std::int16_t(ObjectRec::Top.get(copy) + 8));
        if (ItemHeader::ItemType.get(copy) == kvtFieldType) {
            std::string name;
            core.Form().NewFieldName(name);
            FieldRec::Name.set(copy, name);
            FieldRec::TabOrder.set(copy, std::int16_t(core.Form().NextTabOrder()));
        }
        core.Selection().SelectObject(form, ItemHeader::ID.get(form.Add(copy)));
    }
}

void DeleteSelection(DesignerCore& core) {
    CopySelection(core, core.UndeleteList());
    TKVTFile& form = core.Form().KVTFile();
    for (const std::int32_t id : selectedIDs(core))
        form.Delete(form.IndexOfID(id));
    core.Selection().Clear();
}

void Undelete(DesignerCore& core) {
    core.Edit("Undelete", [&] { PasteRecords(core, core.UndeleteList()); });
}

void Cut(DesignerCore& core) {
    CopySelection(core, core.ClipList());
    core.Edit("Cut", [&] { DeleteSelection(core); });
}

void Copy(DesignerCore& core) {
    CopySelection(core, core.ClipList());
}

void Paste(DesignerCore& core) {
    core.Edit("Paste", [&] { PasteRecords(core, core.ClipList()); });
}

void Delete(DesignerCore& core) {
    core.Edit("Delete", [&] { DeleteSelection(core); });
}

void SelectAll(DesignerCore& core) {
    selectByType(core, 0);
}

void SelectAllText(DesignerCore& core) {
    selectByType(core, kvtTextType);
}

void SelectAllFields(DesignerCore& core) {
    selectByType(core, kvtFieldType);
}

void BringToFront(DesignerCore& core) {
    core.Edit("Bring to Front", [&] {
        TKVTFile& form = core.Form().KVTFile();
        for (const std::int32_t id : selectedIDs(core))
            form.Move(form.IndexOfID(id), form.Count() - 1);
    });
}

void SendToBack(DesignerCore& core) {
    core.Edit("Send to Back", [&] {
        TKVTFile& form = core.Form().KVTFile();
        for (const std::int32_t id : selectedIDs(core))
            form.Move(form.IndexOfID(id), 1);
    });
}

void CenterOnPage(DesignerCore& core) {
    core.Edit("Center to Page", [&] {
        const std::int32_t pageWidth = HeaderRec::PageWidth.get(core.Form().GetHeader());
        for (const std::int32_t id : selectedIDs(core)) {
            const Bytes r = core.Form().KVTFile().FindByID(id);
            ObjectRec::Left.set(r, std::int16_t((pageWidth - ObjectRec::Width.get(r)) / 2));
        }
    });
}

void NudgeSelection(DesignerCore& core, std::int32_t dx, std::int32_t dy) {
    core.Edit(
        "Move",
        [&] {
            for (const std::int32_t id : selectedIDs(core)) {
                const Bytes r = core.Form().KVTFile().FindByID(id);
                ObjectRec::Left.set(r, std::int16_t(ObjectRec::Left.get(r) + dx));
                ObjectRec::Top.set(r, std::int16_t(ObjectRec::Top.get(r) + dy));
            }
        },
        true);
    core.SelectionChanged();
}

void ResizeSelection(DesignerCore& core, std::int32_t dw, std::int32_t dh) {
    core.Edit(
        "Resize",
        [&] {
            for (const std::int32_t id : selectedIDs(core)) {
                const Bytes r = core.Form().KVTFile().FindByID(id);
                if (ItemHeader::ItemType.get(r) == kvtTextType) continue;
                ObjectRec::Width.set(r, std::int16_t(ObjectRec::Width.get(r) + dw));
                ObjectRec::Height.set(r, std::int16_t(ObjectRec::Height.get(r) + dh));
            }
        },
        true);
    core.SelectionChanged();
}

namespace {

void step(DesignerCore& core, std::int32_t by) {
    if (core.Selection().Count() != 1) return;
    TKVTFile& form = core.Form().KVTFile();
    const std::int32_t index = form.IndexOfID(core.Selection().ID(0)) + by;
    if (index < 1 || index >= form.Count()) return;
    core.Selection().Clear();
    core.Selection().SelectObject(form, ItemHeader::ID.get(form.Items(index)));
    core.SelectionChanged();
}

} // namespace

void SelectNext(DesignerCore& core) {
    step(core, 1);
}

void SelectPrevious(DesignerCore& core) {
    step(core, -1);
}

} // namespace kovet::designer
