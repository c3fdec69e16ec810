#pragma once

// The check box a TKVTImage opens over a check box field: a 13 x 13 box (or a radio circle)
// with a caption beside it, a mark in one of six styles, and radio behaviour among the check
// boxes of one parent that share a positive group index.

#include "platform/Canvas.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kovet {

enum class TBoxSide : std::uint8_t { bxLeft, bxRight };

// Styles of the check mark: thick cross, tick, thin cross, radio circle, heavy tick, and the
// thick cross in a box without the sunken border.
enum TCheckStyle : std::uint8_t { csThickCross, csTick, csThinCross, csRadio, csHeavyTick, csFlatThickCross };

class TKVTCheckBox : public QWidget {
public:
    using TNotifyEvent = std::function<void(TKVTCheckBox& sender)>;

    // Side of the box and of the radio circle.
    static constexpr int kBoxSize = 13;

    explicit TKVTCheckBox(QWidget* parent = nullptr);

    bool Checked() const { return checked_; }
    // Checking unchecks the other check boxes of the same parent in the same positive group.
    void SetChecked(bool checked);
    std::int16_t GroupIndex = 0;

    // Styles above csFlatThickCross draw as csThickCross.
    TCheckStyle CheckStyle() const { return checkStyle_; }
    void SetCheckStyle(TCheckStyle style);
    TBoxSide BoxSide() const { return boxSide_; }
    void SetBoxSide(TBoxSide side);
    TColor BoxColor() const { return boxColor_; }
    void SetBoxColor(TColor color);
    TColor MarkColor() const { return markColor_; }
    void SetMarkColor(TColor color);
    // The control colour behind box and caption.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    // While focused the box shows the focus colour.
    TColor FocusColor = clAqua;
    bool UseFocusColor = true;
    bool AllowUncheck = true;
    // Entering the control checks it.
    bool CheckOnEnter = false;
    // Enter moves the focus on.
    bool EnterToTab = true;
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // UTF-8; "&" marks the accelerator character, "&&" is one "&".
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

    // Takes the focus, toggles (unchecking only when allowed) and fires OnClick.
    void Click();

    QSize sizeHint() const override;

    TNotifyEvent OnChange;
    TNotifyEvent OnReturn;
    TNotifyEvent OnClick;

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void adjustSize();
    void uncheckGroup();

    bool checked_ = false;
    TCheckStyle checkStyle_ = csThickCross;
    TBoxSide boxSide_ = TBoxSide::bxLeft;
    TColor boxColor_ = clWhite;
    TColor markColor_ = clBlack;
    TColor color_ = clBtnFace;
    TColor fontColor_ = clWindowText;
    bool showsFocusColor_ = false;
    bool autoSize_ = false;
    bool pressed_ = false;
    std::string caption_;
    int shortcutId_ = 0;
};

// Caption text without its accelerator marks: "&" is dropped, "&&" becomes "&".
std::string StripAccelerators(std::string_view caption);

} // namespace kovet
