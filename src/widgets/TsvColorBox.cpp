#include "TsvColorBox.h"

#include <array>
#include <utility>

namespace kovet {

namespace {

// Sorted by name, as the list shows them.
constexpr std::array<std::pair<const char*, TColor>, 16> kNamedColors = {{
    {"clAqua", clAqua},
    {"clBlack", clBlack},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clGray", clGray},
    {"clGreen", clGreen},
    {"clLime", clLime},
    {"clMaroon", clMaroon},
    {"clNavy", clNavy},
    {"clOlive", clOlive},
    {"clPurple", clPurple},
    {"clRed", clRed},
    {"clSilver", clSilver},
    {"clTeal", clTeal},
    {"clWhite", clWhite},
    {"clYellow", clYellow},
}};

} // namespace

TsvColorBox::TsvColorBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // Typed text is a value, not a new entry of the list.
    setInsertPolicy(QComboBox::NoInsert);
    for (const auto& [name, color] : kNamedColors)
        addItem(name);
}

void TsvColorBox::SetColor(TColor color) {
    setEditText(ColorText(color));
}

std::optional<TColor> TsvColorBox::Color() const {
    return TextColor(currentText());
}

QString TsvColorBox::Problem() const {
    return QString("\"%1\" is not a colour: choose a name from the list, or type $ and eight hexadecimal digits "
                   "(00, blue, green, red), such as $00AAFFFF.")
        .arg(currentText());
}

QString TsvColorBox::ColorText(TColor color) {
    for (const auto& [name, value] : kNamedColors)
        if (value == color) return name;
    return QString("$%1").arg(color, 8, 16, QChar('0')).toUpper();
}

std::optional<TColor> TsvColorBox::TextColor(const QString& text) {
    const QString t = text.trimmed();
    for (const auto& [name, value] : kNamedColors)
        if (t.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return value;
    bool ok = false;
    // A colour is 32 bits: a number beyond them, or with more than eight hexadecimal digits,
    // is no colour.
    if (t.startsWith('$') && t.size() > 1 && t.size() <= 9) {
        const std::uint32_t value = t.mid(1).toUInt(&ok, 16);
        if (ok) return value;
    } else if (t.startsWith("0x", Qt::CaseInsensitive) && t.size() > 2 && t.size() <= 10) {
        const std::uint32_t value = t.mid(2).toUInt(&ok, 16);
        if (ok) return value;
    } else {
        const std::int32_t value = t.toInt(&ok, 10);
        if (ok) return TColor(value);
    }
    return std::nullopt;
}

} // namespace kovet
