#include "FontDialog.h"

#include "platform/QtCanvas.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace kovet::designer {

namespace {

std::uint32_t fromQColor(const QColor& color) {
    return std::uint32_t(color.red()) | std::uint32_t(color.green()) << 8 | std::uint32_t(color.blue()) << 16;
}

QFont toQFont(const TFontChoice& font) {
    QFont made(QString::fromStdString(font.Name));
    if (font.Size > 0) made.setPointSize(font.Size);
    made.setBold((font.Style & fsBoldBit) != 0);
    made.setItalic((font.Style & fsItalicBit) != 0);
    made.setUnderline((font.Style & fsUnderlineBit) != 0);
    made.setStrikeOut((font.Style & fsStrikeOutBit) != 0);
    return made;
}

TFontChoice fromQFont(const QFont& font, std::uint32_t color, const TFontChoice& before) {
    TFontChoice chosen;
    chosen.Name = font.family().toStdString();
    chosen.Color = color;
    chosen.Size = int(std::lround(font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0));
    chosen.Style = std::uint8_t((font.bold() ? fsBoldBit : 0) | (font.italic() ? fsItalicBit : 0) |
                                (font.underline() ? fsUnderlineBit : 0) | (font.strikeOut() ? fsStrikeOutBit : 0));
    chosen.Height = chosen.Size == before.Size ? before.Height : FontHeightForSize(chosen.Size);
    return chosen;
}

void showSwatch(QPushButton* button, std::uint32_t color) {
    QPixmap swatch(16, 16);
    swatch.fill(ToQColor(color));
    button->setIcon(swatch);
}

} // namespace

std::optional<std::uint32_t> ExecColorDialog(QWidget* parent, std::uint32_t color) {
    const QColor chosen = QColorDialog::getColor(ToQColor(color), parent, "Color");
    if (!chosen.isValid()) return std::nullopt;
    return fromQColor(chosen);
}

std::optional<TFontChoice> ExecFontDialog(QWidget* parent, const TFontChoice& font) {
    QDialog dialog(parent);
    dialog.setObjectName("dlgFont");
    dialog.setWindowTitle("Font");
    auto* layout = new QVBoxLayout(&dialog);
    auto* fonts = new QFontDialog(toQFont(font));
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    // Inside this dialog, not a window of its own.
    fonts->setWindowFlags(Qt::Widget);
    layout->addWidget(fonts);

    std::uint32_t color = font.Color;
    auto* colorRow = new QHBoxLayout;
    auto* colorButton = new QPushButton("&Color...");
    colorButton->setObjectName("btnFontColor");
    showSwatch(colorButton, color);
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&] {
        if (const std::optional<std::uint32_t> chosen = ExecColorDialog(&dialog, color)) {
            color = *chosen;
            showSwatch(colorButton, color);
        }
    });
    colorRow->addWidget(colorButton);
    colorRow->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    colorRow->addWidget(buttons);
    layout->addLayout(colorRow);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return fromQFont(fonts->currentFont(), color, font);
}

} // namespace kovet::designer
