#pragma once

// The button bar's glyphs: the desktop's icon theme where it has them, the designer's own
// otherwise.

#include <QIcon>

namespace kovet::designer {

QIcon DesignerIcon(const char* name);

} // namespace kovet::designer
