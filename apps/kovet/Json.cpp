#include "Json.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <charconv>
#include <cmath>

namespace kovet::cli {

std::string JsonString(std::string_view utf8) {
    const QByteArray array = QJsonDocument(QJsonArray{QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))})
                                 .toJson(QJsonDocument::Compact);
    // The literal inside ["..."].
    return array.mid(1, array.size() - 2).toStdString();
}

std::string JsonFloat(float value) {
    if (!std::isfinite(value)) return "null";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace kovet::cli
