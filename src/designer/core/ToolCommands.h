#pragma once

// The Tools menu's whole-form commands: the Delphi form import, the data procedure, the field
// name list and the batch fixes. Each change of the document is one undo step; the selection
// is cleared afterwards, as the objects it held may have moved in the drawing order.

#include "DesignerCore.h"

namespace kovet::designer {

// Fields from the labels and data controls of a Delphi binary form file.
void ImportDelphiForm(DesignerCore& core, Prompts& prompts);
void GenerateGetData(DesignerCore& core, Prompts& prompts);
void SaveFieldNames(DesignerCore& core, Prompts& prompts);
void OptimizeForm(DesignerCore& core, Prompts& prompts);
void DeleteAllFields(DesignerCore& core);
// Every field takes the font chosen in the font dialog, which starts from the platform's
// default font; Cancel changes nothing.
void ChangeFieldFonts(DesignerCore& core, Prompts& prompts);
void AutosizeAllText(DesignerCore& core);
void AutosizeAllFields(DesignerCore& core);

} // namespace kovet::designer
