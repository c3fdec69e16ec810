#include "ToolWindows.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kovet::designer {

void PlaceBesideOwner(QWidget& tool, TToolEdge edge) {
    const QWidget* owner = tool.parentWidget();
    if (owner == nullptr || tool.testAttribute(Qt::WA_Moved)) return;
    const QRect frame = owner->frameGeometry();
    const QRect screen = owner->screen()->availableGeometry();
    const QSize size = tool.frameGeometry().size();
    // Beside the owner, or as far right as the screen allows.
    const int x = frame.right() + 1;
    const int y = edge == TToolEdge::Top ? frame.top() : frame.bottom() + 1 - size.height();
    tool.move(std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())),
              std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
}

} // namespace kovet::designer
