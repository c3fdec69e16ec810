#include "AlignPalette.h"

#include "ToolWindows.h"

#include "designer/core/AlignCommands.h"

#include <QIcon>
#include <QToolButton>

namespace kovet::designer {

namespace {

struct PaletteButton {
    const char* name;
    const char* hint;
    const char* icon;
    void (*command)(DesignerCore&);
};

// Two rows of three: the edge alignments on the outside, the spacing between them.
constexpr PaletteButton kButtons[2][3] = {
    {{"btnAlignLefts", "Align Left Edges", "align-left-edges", AlignLefts},
     {"btnSpaceHorizontally", "Space Equally Horizontally", "space-horizontally", SpaceHorizontally},
     {"btnAlignRights", "Align Right Edges", "align-right-edges", AlignRights}},
    {{"btnAlignTops", "Align Tops", "align-tops", AlignTops},
     {"btnSpaceVertically", "Space Equally Vertically", "space-vertically", SpaceVertically},
     {"btnAlignBottoms", "Align Bottoms", "align-bottoms", AlignBottoms}},
};

constexpr QSize kClient{104, 65};
constexpr QSize kButton{27, 28};
constexpr int kLeftMargin = 5, kTopMargin = 3, kColumnGap = 6, kRowGap = 3;

} // namespace

TfmAlign::TfmAlign(DesignerCore& core, Runner run, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName("fmAlign");
    setWindowTitle("Align");
    setFixedSize(kClient);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const PaletteButton& b = kButtons[row][column];
            auto* button = new QToolButton(this);
            button->setObjectName(b.name);
            button->setToolTip(b.hint);
            // Always the designer's own glyphs: a desktop theme's alignment icons mean text.
            button->setIcon(QIcon(QString(":/designer/icons/%1.svg").arg(b.icon)));
            button->setIconSize({20, 20});
            button->setAutoRaise(true);
            button->setGeometry({QPoint(kLeftMargin + column * (kButton.width() + kColumnGap),
                                        kTopMargin + row * (kButton.height() + kRowGap)),
                                 kButton});
            connect(button, &QToolButton::clicked, this,
                    [&core, run, command = b.command] { run([&core, command] { command(core); }); });
        }
    }
}

void TfmAlign::Toggle() {
    setVisible(!isVisible());
}

void TfmAlign::showEvent(QShowEvent* event) {
    PlaceBesideOwner(*this, TToolEdge::Bottom);
    QWidget::showEvent(event);
}

} // namespace kovet::designer
