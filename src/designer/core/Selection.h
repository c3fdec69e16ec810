#pragma once

// The designer's selection: the selected objects in the order they were selected, each held
// as a 30-byte entry, a copy of the first 28 bytes of its record (item header and box) and
// its ID. The entries are snapshots: commands that change records refresh them. Entry 0 is
// the reference object of the alignment commands.

#include "document/KVTFile.h"
#include "platform/Canvas.h"
#include "storage/Dynarray.h"

#include <array>
#include <cstdint>

namespace kovet::designer {

inline constexpr std::int32_t kSelectionEntrySize = 30;
inline constexpr std::size_t kSelectionCopySize = 28;

// Handle colours: one selected object, several.
inline constexpr TColor kSingleHandleColor = 0xFF0000; // blue
inline constexpr TColor kMultiHandleColor = 0x808000;  // teal

// The eight handles of a box, clockwise from the top-left corner: the rectangles
// (x - 3, y - 3, x + 3, y + 3) around their points.
std::array<TRect, 8> HandleRects(const TRect& box);

class TSelection {
public:
    TSelection();

    std::int32_t Count() const { return entries_.Count(); }
    std::int16_t ID(std::int32_t index) const;
    // The entry's box: (Left, Top, Left + Width, Top + Height).
    TRect Box(std::int32_t index) const;
    bool Contains(std::int32_t id) const;

    // Appends an entry for the record with that ID; nothing when there is none.
    void SelectObject(TKVTFile& list, std::int32_t id);
    void Clear() { entries_.Clear(); }
    // Takes the entry of that ID out; the others keep their order.
    void Remove(std::int32_t id);
    // Copies the first 28 bytes of each entry's record into it again.
    void Refresh(TKVTFile& list);
    // (-1, -1, -1, -1) for none; the box of one; the box around all of several.
    TRect Bounds() const;

    // The handles: blue for one selected object, teal around each of several.
    void Draw(Canvas& canvas);
    // One entry's handles in a colour; remembers them in LastHandleRects.
    void DrawHandles(Canvas& canvas, std::int32_t index, TColor color);
    const std::array<TRect, 8>& LastHandleRects() const { return lastHandles_; }

private:
    ConstBytes entry(std::int32_t index) const;

    mutable TsvDynHuge entries_;
    std::array<TRect, 8> lastHandles_{};
};

} // namespace kovet::designer
