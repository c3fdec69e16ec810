// The widget's properties as Qt Designer and .ui files set them.
#include "KVTImage.h"

#include "platform/QtCanvas.h"

#include <QFile>
#include <QtDebug>

namespace kovet {
namespace {

TColor fromQColor(const QColor& color) {
    return TColor(std::uint32_t(color.red()) | std::uint32_t(color.green()) << 8 | std::uint32_t(color.blue()) << 16);
}

} // namespace

void TKVTImage::setFormFile(const QString& file) {
    formFile_ = file;
    try {
        if (file.isEmpty()) {
            SetKVT(TKVT());
            return;
        }
        QFile source(file);
        if (!source.open(QIODevice::ReadOnly)) throw Exception("cannot open it: " + source.errorString().toStdString());
        const QByteArray bytes = source.readAll();
        SetKVTData({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
    } catch (const std::exception& error) {
        qWarning("kovet: %s: %s", qUtf8Printable(file), error.what());
        SetKVT(TKVT());
    }
}

QColor TKVTImage::backgroundColor() const {
    return ToQColor(BGColor());
}

void TKVTImage::setBackgroundColor(const QColor& color) {
    SetBGColor(fromQColor(color));
}

QColor TKVTImage::dashColor() const {
    return ToQColor(DashColor());
}

void TKVTImage::setDashColor(const QColor& color) {
    SetDashColor(fromQColor(color));
}

} // namespace kovet
