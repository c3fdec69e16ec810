#include "FormJson.h"

#include "Json.h"
#include "Sha256.h"

#include "storage/Text1252.h"

namespace kovet::cli {
namespace {

std::string fieldValue(ConstBytes rec, const FieldDesc& field) {
    switch (field.kind) {
    case FieldKind::UInt8: return std::to_string(readLE<std::uint8_t>(rec, field.offset));
    case FieldKind::Int16: return std::to_string(readLE<std::int16_t>(rec, field.offset));
    case FieldKind::Int32: return std::to_string(readLE<std::int32_t>(rec, field.offset));
    case FieldKind::UInt32:
    case FieldKind::Color: return std::to_string(readLE<std::uint32_t>(rec, field.offset));
    case FieldKind::Float32: return JsonFloat(readLE<float>(rec, field.offset));
    case FieldKind::ShortString: {
        const ShortStringField text{field.name, field.offset, field.capacity};
        return JsonString(Windows1252ToUtf8(text.get(rec)));
    }
    }
    return "null";
}

void appendMember(std::string& out, std::string_view name, const std::string& value) {
    if (out.back() != '{') out += ", ";
    out += JsonString(name);
    out += ": ";
    out += value;
}

std::string recordJson(ConstBytes rec) {
    std::string out = "{";
    for (const FieldDesc& field : ItemHeaderFields())
        appendMember(out, field.name, fieldValue(rec, field));
    const std::int32_t type = ItemHeader::ItemType.get(rec);
    for (const FieldDesc& field : RecordFields(type))
        appendMember(out, field.name, fieldValue(rec, field));
    if (type == kvtLogoType) appendMember(out, "DataSHA256", JsonString(Sha256Hex(LogoRec::Data(rec))));
    out += '}';
    return out;
}

} // namespace

std::string FormToJson(FormEncoding encoding, const TKVTFile& list) {
    std::string out = "{\"format\": " + JsonString(EncodingName(encoding)) + ", \"records\": [";
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += recordJson(list.Items(i));
    }
    out += "\n]}\n";
    return out;
}

} // namespace kovet::cli
