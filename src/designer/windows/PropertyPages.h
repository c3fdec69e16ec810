#pragma once

// The object pages that the properties window and the options dialog share: one page per kind
// of content with the same controls, names, captions and lists in both, and what each control
// shows of the values and reads back into them. The owner puts the pages into its notebook
// and decides when a control's value is applied.

#include "designer/core/PropertyEdits.h"

#include <QString>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace kovet {
class TKVTEdit;
class TsvColorBox;
class TsvEdit;
} // namespace kovet

namespace kovet::designer {

// The properties window has a logo page; the options dialog has default sizes instead and
// offers other text angles.
enum class PagesFor { Properties, Options };

// A control that edits one value.
struct PropertyControl {
    TProperty Property;
    QWidget* Control;
    std::function<void(const TObjectValues& values)> Show;
    // Empty, or what to tell the user when the control holds no value (a colour box's text
    // that names no colour); the values then keep theirs.
    std::function<QString(TObjectValues& values)> Read;
};

// A colour button and the box it fills.
struct ColorButton {
    QPushButton* Button;
    TsvColorBox* Box;
    TProperty Property;
};

class ObjectPages {
public:
    explicit ObjectPages(PagesFor use);

    // Page, Text, Frame, Line, Ellipse, Field; the Logo page only for the properties window.
    // The owner's notebook takes them.
    QWidget *Page, *Text, *Frame, *Line, *Ellipse, *Field, *Logo = nullptr;

    QComboBox *pg_Paper, *pg_Orient, *pg_Style;
    TsvEdit* pg_Thick;
    TsvColorBox* pg_Color;
    QPlainTextEdit* tx_Text;
    QComboBox *tx_Angle, *tx_Align;
    QCheckBox* tx_Autosize;
    QPushButton* tx_Font;
    QComboBox *fr_InnerStyle, *fr_OuterStyle;
    TsvColorBox *fr_InnerColor, *fr_OuterColor;
    TsvEdit *fr_Thick, *fr_Corner;
    TsvColorBox* li_Color;
    QComboBox *li_Style, *li_Angle;
    TsvEdit* li_Thick;
    QComboBox *el_InnerStyle, *el_OuterStyle;
    TsvColorBox *el_InnerColor, *el_OuterColor;
    TsvEdit* el_Thick;
    TKVTEdit* fd_Name;
    QComboBox *fd_Align, *fd_Format;
    TsvEdit *fd_Tag, *fd_Maxlength, *fd_Groupindex, *fd_Digits, *fd_Decimals, *fd_Helpcontext, *fd_Memospacing;
    TsvColorBox* fd_CtlColor;
    QCheckBox *fd_Readonly, *fd_Outline, *fd_Border, *fd_Showzero, *fd_Autoalign, *fd_Autoround, *fd_Autosize;
    QPushButton* fd_Font;
    // The properties window's logo page.
    QPushButton *lo_Load = nullptr, *lo_Clear = nullptr;
    QCheckBox* lo_Scaled = nullptr;
    QLabel *lo_Type = nullptr, *lo_Size = nullptr;
    // The options dialog's default sizes.
    TsvEdit *fr_Height = nullptr, *fr_Width = nullptr, *li_Height = nullptr, *li_Width = nullptr, *el_Height = nullptr,
            *el_Width = nullptr;

    std::vector<PropertyControl> Controls;
    std::vector<ColorButton> ColorButtons;

    // The controls of one record type's page from the values; every page's for type 0.
    void Show(const TObjectValues& values, std::int32_t itemType = 0);
    // The control of a property; nothing for the fonts, which their buttons choose.
    const PropertyControl* Find(TProperty property) const;
    // The property a control edits; nothing for other widgets.
    const PropertyControl* Find(const QObject* control) const;
};

// "Type: Bitmap", "Size: 1234": the logo labels.
QString LogoTypeText(std::int32_t pictureType);
QString LogoSizeText(std::int32_t dataSize);

} // namespace kovet::designer
