#pragma once

// The designer's font and colour dialogs: Qt's, the font dialog with a colour beside it, as the
// records keep a font's colour with its face, size and style.

#include "designer/core/Prompts.h"

#include <cstdint>
#include <optional>

class QWidget;

namespace kovet::designer {

// The font chosen, starting from `font`; nothing when the dialog was cancelled.
std::optional<TFontChoice> ExecFontDialog(QWidget* parent, const TFontChoice& font);
// The colour ($00BBGGRR) chosen, starting from `color`; nothing when cancelled.
std::optional<std::uint32_t> ExecColorDialog(QWidget* parent, std::uint32_t color);

} // namespace kovet::designer
