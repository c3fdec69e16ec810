#include "EditCommands.h"

#include "Fitting.h"

#include "platform/QtTextMetrics.h"

#include <vector>

namespace kovet::designer {
namespace {

template <typename Field> void copyField(const Field& field, Bytes to, ConstBytes from) {
    field.set(to, field.get(from));
}

// A new record of the type from the defaults, its item header left to the wrapper.
std::vector<std::uint8_t> newRecord(DesignerCore& core, std::int32_t type, TextMetrics& metrics) {
    TKVTDefaults& defaults = core.Defaults();
    std::vector<std::uint8_t> r;
    switch (type) {
    case kvtFrameType: {
        r.assign(std::size_t(kFrameSize), 0);
        const ConstBytes d = defaults.Frame();
        copyField(FrameRec::Width, r, d), copyField(FrameRec::Height, r, d);
        copyField(FrameRec::OuterStyle, r, d), copyField(FrameRec::InnerStyle, r, d);
        copyField(FrameRec::InnerColor, r, d), copyField(FrameRec::OuterColor, r, d);
        copyField(FrameRec::Thickness, r, d), copyField(FrameRec::Roundness, r, d);
        break;
    }
    case kvtLineType: {
        r.assign(std::size_t(kLineSize), 0);
        const ConstBytes d = defaults.Line();
        copyField(LineRec::Width, r, d), copyField(LineRec::Height, r, d);
        copyField(LineRec::Angle, r, d), copyField(LineRec::Style, r, d);
        copyField(LineRec::Color, r, d), copyField(LineRec::Thickness, r, d);
        break;
    }
    case kvtEllipseType: {
        r.assign(std::size_t(kEllipseSize), 0);
        const ConstBytes d = defaults.Ellipse();
        copyField(EllipseRec::Width, r, d), copyField(EllipseRec::Height, r, d);
        copyField(EllipseRec::OuterStyle, r, d), copyField(EllipseRec::InnerStyle, r, d);
        copyField(EllipseRec::OuterColor, r, d), copyField(EllipseRec::InnerColor, r, d);
        copyField(EllipseRec::Thickness, r, d);
        break;
    }
    case kvtTextType: {
        r.assign(std::size_t(kTextMaxSize), 0);
        const ConstBytes d = defaults.Text();
        copyField(TextRec::FontStyle, r, d), copyField(TextRec::FontSize, r, d);
        copyField(TextRec::FontHeight, r, d), copyField(TextRec::FontName, r, d);
        copyField(TextRec::FontColor, r, d), copyField(TextRec::Angle, r, d);
        copyField(TextRec::Alignment, r, d), copyField(TextRec::Autosize, r, d);
        copyField(TextRec::Text, r, d);
        FitTextToFont(r, metrics);
        const std::int32_t size = TextItemSize(TextRec::Text.get(r).size());
        ItemHeader::ItemSize.set(r, size);
        r.resize(std::size_t(size));
        break;
    }
    case kvtFieldType: {
        r.assign(std::size_t(kFieldSize), 0);
        const ConstBytes d = defaults.Field();
        copyField(FieldRec::FontStyle, r, d), copyField(FieldRec::FontSize, r, d);
        copyField(FieldRec::FontHeight, r, d), copyField(FieldRec::FontName, r, d);
        copyField(FieldRec::FontColor, r, d), copyField(FieldRec::Alignment, r, d);
        copyField(FieldRec::Format, r, d), copyField(FieldRec::GroupIndex, r, d);
        copyField(FieldRec::Digits, r, d), copyField(FieldRec::Decimals, r, d);
        copyField(FieldRec::MemoSpacing, r, d), copyField(FieldRec::ReadOnly, r, d);
        copyField(FieldRec::AutoRound, r, d), copyField(FieldRec::AutoSize, r, d);
        copyField(FieldRec::AutoAlign, r, d), copyField(FieldRec::ShowZero, r, d);
        copyField(FieldRec::CtlBorder, r, d), copyField(FieldRec::CtlOutline, r, d);
        copyField(FieldRec::MaxLength, r, d), copyField(FieldRec::HelpContext, r, d);
        copyField(FieldRec::CtlColor, r, d);
        std::string name;
        core.Form().NewFieldName(name);
        FieldRec::Name.set(r, name);
        FieldRec::TabOrder.set(r, std::int16_t(core.Form().NextTabOrder()));
        FitFieldToFont(r, metrics);
        break;
    }
    case kvtLogoType:
        r.assign(std::size_t(LogoItemSize(0)), 0);
        ItemHeader::ItemSize.set(r, LogoItemSize(0));
        LogoRec::Width.set(r, 100);
        LogoRec::Height.set(r, 100);
        break;
    default: break;
    }
    return r;
}

// The wrapper of the record's type, which gives it its type, ID and default size.
TCustomRecordListObject& wrapperOf(TKVTFile& list, std::int32_t type) {
    switch (type) {
    case kvtFrameType: return list.Frames;
    case kvtLineType: return list.Lines;
    case kvtEllipseType: return list.Ellipses;
    case kvtTextType: return list.Texts;
    case kvtFieldType: return list.Fields;
    case kvtLogoType: return list.Logos;
    default: return list.Header;
    }
}

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
    std::vector<std::uint8_t> record = newRecord(core, itemType, metrics);
    if (record.empty()) return 0;
    ObjectRec::Left.set(record, std::int16_t(x));
    ObjectRec::Top.set(record, std::int16_t(y));
    return ItemHeader::ID.get(wrapperOf(core.Form().KVTFile(), itemType).Add(record));
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
