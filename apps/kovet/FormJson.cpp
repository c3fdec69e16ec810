#include "FormJson.h"

#include "Json.h"

#include "storage/Text1252.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>

namespace kovet::cli {
namespace {

QJsonValue fieldValue(ConstBytes rec, const FieldDesc& field) {
    switch (field.kind) {
    case FieldKind::UInt8: return qint64(readLE<std::uint8_t>(rec, field.offset));
    case FieldKind::Int16: return qint64(readLE<std::int16_t>(rec, field.offset));
    case FieldKind::Int32: return qint64(readLE<std::int32_t>(rec, field.offset));
    case FieldKind::UInt32:
    case FieldKind::Color: return qint64(readLE<std::uint32_t>(rec, field.offset));
    case FieldKind::Float32: {
        // The shortest decimal of the single-precision value, so that 0.1 shows as 0.1 rather
        // than as the double nearest to the float.
        const std::string shortest = JsonFloat(readLE<float>(rec, field.offset));
        double value = 0;
        if (std::from_chars(shortest.data(), shortest.data() + shortest.size(), value).ec != std::errc()) return {};
        return value;
    }
    case FieldKind::ShortString: {
        const ShortStringField text{field.name, field.offset, field.capacity};
        return QString::fromStdString(Windows1252ToUtf8(text.get(rec)));
    }
    }
    return {};
}

QJsonObject recordJson(ConstBytes rec) {
    QJsonObject out;
    for (const FieldDesc& field : ItemHeaderFields())
        out.insert(QString::fromLatin1(field.name), fieldValue(rec, field));
    const std::int32_t type = ItemHeader::ItemType.get(rec);
    for (const FieldDesc& field : RecordFields(type))
        out.insert(QString::fromLatin1(field.name), fieldValue(rec, field));
    if (type == kvtLogoType) {
        const ConstBytes data = LogoRec::Data(rec);
        const QByteArrayView view(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
        out.insert("DataSHA256",
                   QString::fromLatin1(QCryptographicHash::hash(view, QCryptographicHash::Sha256).toHex()));
    }
    return out;
}

} // namespace

std::string FormToJson(FormEncoding encoding, const TKVTFile& list) {
    QJsonArray records;
    for (std::int32_t i = 0; i < list.Count(); ++i)
        records.append(recordJson(list.Items(i)));
    const QJsonObject document{{"format", QString::fromLatin1(EncodingName(encoding).data())}, {"records", records}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace kovet::cli
