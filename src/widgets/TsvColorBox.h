#pragma once

// TsvColorBox: an editable box of colours. Its list holds the sixteen colour names, sorted; a
// colour shows as its name when it has one, otherwise as "$" and eight hexadecimal digits of
// $00BBGGRR. Typed text is read back either way, or as a decimal number.

#include "platform/Canvas.h"

#include <QComboBox>

#include <optional>

namespace kovet {

class TsvColorBox : public QComboBox {
public:
    explicit TsvColorBox(QWidget* parent = nullptr);

    void SetColor(TColor color);
    // The colour the text names; nothing when it is neither a colour name nor a number.
    std::optional<TColor> Color() const;
    // What to tell the user when Color() has nothing.
    QString Problem() const;

    // "clRed" for the colours of the list, "$00AAFFFF" for others.
    static QString ColorText(TColor color);
    static std::optional<TColor> TextColor(const QString& text);
};

} // namespace kovet
