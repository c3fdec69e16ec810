#pragma once

// The properties window's edits without the window: the values its controls show, read from
// the selection (or the page when nothing is selected), and the value of one control written
// into the selected records as one undo step. The options dialog shares the values of the
// object pages, read from and stored into the defaults' object images.
//
// Values are kept as wide as the controls hold them: a record field stores the low-order part
// of the value, without range checks. Texts are UTF-8; the records hold Windows-1252.

#include "DesignerCore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kovet::designer {

// Nothing selected (the page is shown), one object, several of one type, several of
// different types.
enum class TSelectionKind : std::uint8_t { Nothing, One, OneType, Mixed };

struct TPageValues {
    std::int32_t PaperSize = 0, Orientation = 0, Thickness = 0, Style = 0;
    std::uint32_t Color = 0;
};

struct TTextValues {
    std::string Text;
    float Angle = 0;
    std::int32_t Alignment = 0;
    bool Autosize = false;
    TFontChoice Font;
};

// Frames and ellipses; an ellipse has no roundness.
struct TShapeValues {
    std::int32_t InnerStyle = 0, OuterStyle = 0;
    std::uint32_t InnerColor = 0, OuterColor = 0;
    std::int32_t Thickness = 0, Roundness = 0;
};

struct TLineValues {
    std::uint32_t Color = 0;
    std::int32_t Style = 0, Thickness = 0;
    float Angle = 0;
};

struct TFieldValues {
    std::string Name;
    std::int32_t Alignment = 0, Format = 0, Tag = 0, MaxLength = 0, GroupIndex = 0, Digits = 0, Decimals = 0,
                 HelpContext = 0, MemoSpacing = 0;
    std::uint32_t CtlColor = 0;
    bool ReadOnly = false, Outline = false, Border = false, ShowZero = false, AutoAlign = false, AutoRound = false,
         AutoSize = false;
    TFontChoice Font;
};

struct TLogoValues {
    std::int32_t PictureType = 0, DataSize = 0;
    bool Scaled = false;
};

// One value per control of the object pages.
struct TObjectValues {
    TPageValues Page;
    TTextValues Text;
    TShapeValues Frame;
    TLineValues Line;
    TShapeValues Ellipse;
    TFieldValues Field;
    TLogoValues Logo;
};

// What the properties window shows.
struct TPropertyValues {
    TSelectionKind Kind = TSelectionKind::Nothing;
    // The record type whose page is shown: the header's when nothing is selected, the first
    // selected object's, or 0 (no page) for a mixed selection.
    std::int32_t ItemType = 0;
    // The header's ID, or the first selected object's.
    std::int32_t ID = 0;
    std::int32_t TabOrder = 0;
    // Of the first selected object; the page's height and width when nothing is selected.
    std::int32_t Left = 0, Top = 0, Height = 0, Width = 0;
    TObjectValues Object;
};

// The controls that write into records, each named after the value it edits.
enum class TProperty : std::uint8_t {
    Left,
    Top,
    Height,
    Width,
    PaperSize,
    Orientation,
    PageThickness,
    PageStyle,
    PageColor,
    Text,
    TextAngle,
    TextAlignment,
    TextAutosize,
    TextFont,
    FrameInnerStyle,
    FrameInnerColor,
    FrameOuterStyle,
    FrameOuterColor,
    FrameThickness,
    FrameRoundness,
    LineColor,
    LineStyle,
    LineThickness,
    LineAngle,
    EllipseInnerStyle,
    EllipseInnerColor,
    EllipseOuterStyle,
    EllipseOuterColor,
    EllipseThickness,
    FieldName,
    FieldAlignment,
    FieldFormat,
    FieldTag,
    FieldMaxLength,
    FieldGroupIndex,
    FieldDigits,
    FieldDecimals,
    FieldHelpContext,
    FieldMemoSpacing,
    FieldCtlColor,
    FieldReadOnly,
    FieldOutline,
    FieldBorder,
    FieldShowZero,
    FieldAutoAlign,
    FieldAutoRound,
    FieldAutoSize,
    FieldFont,
    LogoScaled,
};

// The record type a property belongs to: the header's for the page's, 0 for position and size.
std::int32_t PropertyType(TProperty property);

TSelectionKind SelectionKind(DesignerCore& core);
TPropertyValues ReadProperties(DesignerCore& core);

// Writes one control's value, taken from `values`, into the selection, as one undo step:
// - nothing selected: every page value into the header, and the page size from the paper;
// - one object, or several of one type with Enter: the position and size boxes into every
//   selected object, any other control into the objects of its type; a logo also takes
//   "Scale to fit"; text and field objects are fitted to their text when they size
//   themselves, right-aligned ones keeping their right edge;
// - several of different types, only with Enter: the position and size boxes.
// A field name that another field has (letter case aside) is refused with "Duplicate field
// name"; a text object's record is sized to its text. With "Autoalign" a field's format,
// alignment and auto-align box set the alignment by the format.
void ApplyProperty(DesignerCore& core, Prompts& prompts, TProperty property, const TPropertyValues& values,
                   bool withEnter);

// The alignment "Autoalign" gives a field format: Right (1) for the number formats, Left (0)
// for every other.
std::int32_t AutoAlignment(std::int32_t format);

// An angle box's text as a number; text that is no number gives 0.
float AngleFromText(std::string_view text);

// Every value of an object page read from a record (or a defaults image) of the type, and
// stored into one (a defaults image, which holds the whole text).
void ReadObjectValues(std::int32_t itemType, ConstBytes record, TObjectValues& values);
void StoreObjectValues(std::int32_t itemType, Bytes record, const TObjectValues& values);

// The logo buttons, on the logo the window last showed. Load asks for a picture file (an
// enhanced metafile or a bitmap) and embeds it when it holds at most 65,000 bytes; a larger
// one, or a file that is no picture, is said and changes nothing. Clear drops the picture's
// bytes and keeps its type.
void LoadLogoPicture(DesignerCore& core, Prompts& prompts, std::int32_t logoID);
void ClearLogoPicture(DesignerCore& core, std::int32_t logoID);

inline constexpr char kDuplicateFieldName[] = "Duplicate field name";
inline constexpr char kLogoTooLarge[] = "Maximum imbedded logo size is 60k.  Use a TImage in Delphi for larger logos.";

} // namespace kovet::designer
