#pragma once

// Compares the records of `kovet info --json` with the records they claim to show, field by
// field, following the record tables.

#include "MiniJson.h"

#include "document/KVTFile.h"
#include "storage/Text1252.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace clitest {

inline void ExpectFieldJson(const minijson::Value& value, kovet::ConstBytes rec, const kovet::FieldDesc& field) {
    using kovet::FieldKind;
    using Kind = minijson::Value::Kind;
    SCOPED_TRACE(std::string(field.name));
    switch (field.kind) {
    case FieldKind::UInt8: EXPECT_EQ(value.text, std::to_string(kovet::readLE<std::uint8_t>(rec, field.offset))); break;
    case FieldKind::Int16: EXPECT_EQ(value.text, std::to_string(kovet::readLE<std::int16_t>(rec, field.offset))); break;
    case FieldKind::Int32: EXPECT_EQ(value.text, std::to_string(kovet::readLE<std::int32_t>(rec, field.offset))); break;
    case FieldKind::UInt32:
    case FieldKind::Color:
        EXPECT_EQ(value.text, std::to_string(kovet::readLE<std::uint32_t>(rec, field.offset)));
        break;
    case FieldKind::Float32: {
        const float stored = kovet::readLE<float>(rec, field.offset);
        if (!std::isfinite(stored)) {
            EXPECT_EQ(value.kind, Kind::Null);
        } else {
            ASSERT_EQ(value.kind, Kind::Number);
            EXPECT_EQ(std::bit_cast<std::uint32_t>(std::strtof(value.text.c_str(), nullptr)),
                      std::bit_cast<std::uint32_t>(stored))
                << value.text;
        }
        break;
    }
    case FieldKind::ShortString: {
        ASSERT_EQ(value.kind, Kind::String);
        const kovet::ShortStringField text{field.name, field.offset, field.capacity};
        EXPECT_EQ(value.text, kovet::Windows1252ToUtf8(text.get(rec)));
        break;
    }
    }
    if (field.kind != FieldKind::Float32 && field.kind != FieldKind::ShortString) {
        EXPECT_EQ(value.kind, Kind::Number);
    }
}

// The members: the item header, every named field of the type, and for a logo the
// fingerprint of its picture.
inline void ExpectRecordJson(const minijson::Value& json, kovet::ConstBytes rec) {
    using namespace kovet;
    std::vector<FieldDesc> fields(ItemHeaderFields().begin(), ItemHeaderFields().end());
    const std::int32_t type = ItemHeader::ItemType.get(rec);
    for (const FieldDesc& f : RecordFields(type))
        fields.push_back(f);
    const bool logo = type == kvtLogoType;

    ASSERT_EQ(json.kind, minijson::Value::Kind::Object);
    ASSERT_EQ(json.members.size(), fields.size() + (logo ? 1 : 0));
    for (const FieldDesc& field : fields)
        ExpectFieldJson(json[std::string(field.name)], rec, field);
    if (logo) {
        const ConstBytes data = LogoRec::Data(rec);
        const QByteArrayView view(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
        EXPECT_EQ(json["DataSHA256"].text,
                  QCryptographicHash::hash(view, QCryptographicHash::Sha256).toHex().toStdString());
    }
}

// The dump from its records on, for comparing the records of two dumps.
inline std::string RecordsPart(const std::string& dump) {
    return dump.substr(dump.find("\"records\""));
}

inline void ExpectDumpShows(const std::string& dump, const std::string& format, const kovet::TKVTFile& file) {
    const minijson::Value doc = minijson::Parse(dump);
    ASSERT_EQ(doc.members.size(), 2u);
    EXPECT_EQ(doc["format"].text, format);
    const minijson::Value& records = doc["records"];
    ASSERT_EQ(records.items.size(), std::size_t(file.Count()));
    for (std::int32_t i = 0; i < file.Count(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        ExpectRecordJson(records.items[std::size_t(i)], file.Items(i));
    }
}

} // namespace clitest
