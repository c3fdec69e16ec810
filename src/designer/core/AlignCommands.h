#pragma once

// Lining up the selected objects: four commands put one edge of every selected object on the
// same edge of the reference object (the first selected), two spread the left or top edges at
// equal steps. Each is one step of the document's history; with too few objects selected a
// command does nothing at all, so the surface is not even repainted.

#include "DesignerCore.h"

namespace kovet::designer {

// At least this many objects must be selected for an alignment, and for spacing.
inline constexpr std::int32_t kAlignMinimum = 2;
inline constexpr std::int32_t kSpaceMinimum = 3;

void AlignLefts(DesignerCore& core);
void AlignRights(DesignerCore& core);
void AlignTops(DesignerCore& core);
void AlignBottoms(DesignerCore& core);

// The selection is left ordered by position, so that the next alignment takes the left-most
// (or top-most) object as its reference.
void SpaceHorizontally(DesignerCore& core);
void SpaceVertically(DesignerCore& core);

} // namespace kovet::designer
