#pragma once

// The commands that add, remove, copy, select, reorder and move objects of the open form.
// Each change of the document is one step through the core's door, with the label the Undo
// menu shows; commands that only select say that the selection changed.

#include "DesignerCore.h"

#include <cstdint>

namespace kovet::designer {

// Appends a new object of the type (a record type code) with its top-left corner at (x, y),
// its attributes from the defaults; it becomes the front-most record. Text and field objects
// are sized to their font. Returns the new record's ID.
std::int32_t AddObject(DesignerCore& core, std::int32_t itemType, std::int32_t x, std::int32_t y);

// List := copies of the selected records, in selection order.
void CopySelection(DesignerCore& core, TKVTFile& list);
// Appends copies of the list's records 8 pixels right of and below where they were (fields
// named and numbered afresh) and selects them.
void PasteRecords(DesignerCore& core, TKVTFile& list);
// Keeps the selected records in the undelete list and removes them.
void DeleteSelection(DesignerCore& core);

// The Edit menu.
void Undelete(DesignerCore& core);
void Cut(DesignerCore& core);
void Copy(DesignerCore& core);
void Paste(DesignerCore& core);
void Delete(DesignerCore& core);
void SelectAll(DesignerCore& core);
void SelectAllText(DesignerCore& core);
void SelectAllFields(DesignerCore& core);

// The surface menu.
void BringToFront(DesignerCore& core);
void SendToBack(DesignerCore& core);
void CenterOnPage(DesignerCore& core);

// The keyboard: moving (repeated moves of one selection are one undo step), sizing (text
// objects keep their size), and stepping through the drawing order with one object selected.
void NudgeSelection(DesignerCore& core, std::int32_t dx, std::int32_t dy);
void ResizeSelection(DesignerCore& core, std::int32_t dw, std::int32_t dh);
void SelectNext(DesignerCore& core);
void SelectPrevious(DesignerCore& core);

} // namespace kovet::designer
