#pragma once

// Enhanced metafiles built record by record, with exactly the fields a test names: a header,
// the records asked for, and the end-of-file record.

#include "platform/emf/EmfRecords.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace kovet::test {

class MetafileBuilder {
public:
    MetafileBuilder() {
        bytes_.resize(EmrHeader::kBaseSize);
        EmrRec::Type.set(bytes_, EMR_HEADER);
        EmrRec::Size.set(bytes_, std::uint32_t(EmrHeader::kBaseSize));
        EmrHeader::Frame.set(bytes_, {0, 0, 21590, 27940});
        EmrHeader::Signature.set(bytes_, ENHMETA_SIGNATURE);
        EmrHeader::Version.set(bytes_, ENHMETA_VERSION);
        EmrHeader::Device.set(bytes_, {816, 1056});
        EmrHeader::Millimeters.set(bytes_, {216, 279});
    }

    // A record of the type with 32-bit parameters after iType and nSize.
    MetafileBuilder& Record(std::uint32_t type, std::initializer_list<std::int32_t> params) {
        const Bytes r = append(type, 8 + 4 * params.size());
        std::size_t offset = 8;
        for (const std::int32_t p : params)
            writeLE(r, std::exchange(offset, offset + 4), p);
        return *this;
    }
    MetafileBuilder& Pen(std::uint32_t style, std::int32_t width, TColor color) {
        return Record(EMR_CREATEPEN, {1, std::int32_t(style), width, 0, std::int32_t(color)});
    }
    MetafileBuilder& Box(std::uint32_t type, TRect box) {
        return Record(type, {box.Left, box.Top, box.Right, box.Bottom});
    }
    MetafileBuilder& RoundRect(TRect box, std::int32_t cornerWidth, std::int32_t cornerHeight) {
        return Record(EMR_ROUNDRECT, {box.Left, box.Top, box.Right, box.Bottom, cornerWidth, cornerHeight});
    }
    MetafileBuilder& MoveTo(std::int32_t x, std::int32_t y) { return Record(EMR_MOVETOEX, {x, y}); }
    MetafileBuilder& LineTo(std::int32_t x, std::int32_t y) { return Record(EMR_LINETO, {x, y}); }
    MetafileBuilder& Font(std::int32_t height, std::int32_t weight, std::uint8_t italic, const std::u16string& face) {
        const Bytes r = append(EMR_EXTCREATEFONTINDIRECTW, EmrCreateFont::kSize);
        EmrCreateFont::Height.set(r, height);
        EmrCreateFont::Weight.set(r, weight);
        EmrCreateFont::Italic.set(r, italic);
        EmrCreateFont::Underline.set(r, 1);
        for (std::size_t i = 0; i < face.size() && i < EmrCreateFont::kFaceNameChars; ++i)
            writeLE<std::uint16_t>(r, EmrCreateFont::kFaceName + 2 * i, face[i]);
        return *this;
    }
    // Text whose bounding rectangle starts at (left, top); the string is stored as UTF-16.
    MetafileBuilder& Text(std::int32_t left, std::int32_t top, const std::u16string& text) {
        const std::size_t stringBytes = (2 * text.size() + 3) / 4 * 4;
        const Bytes r = append(EMR_EXTTEXTOUTW, EmrExtTextOut::kSize + stringBytes + 4 * text.size());
        EmrExtTextOut::Bounds.set(r, {left, top, left + 50, top + 12});
        EmrExtTextOut::Chars.set(r, std::uint32_t(text.size()));
        EmrExtTextOut::StringOffset.set(r, std::uint32_t(EmrExtTextOut::kSize));
        EmrExtTextOut::DxOffset.set(r, std::uint32_t(EmrExtTextOut::kSize + stringBytes));
        for (std::size_t i = 0; i < text.size(); ++i)
            writeLE<std::uint16_t>(r, EmrExtTextOut::kSize + 2 * i, text[i]);
        return *this;
    }

    // The metafile, ended by its end-of-file record.
    std::vector<std::uint8_t> Finish() const {
        MetafileBuilder done = *this;
        done.Record(EMR_EOF, {0, 16, 20});
        EmrHeader::TotalBytes.set(done.bytes_, std::uint32_t(done.bytes_.size()));
        return done.bytes_;
    }

private:
    Bytes append(std::uint32_t type, std::size_t size) {
        const std::size_t start = bytes_.size();
        bytes_.resize(start + size);
        const Bytes r = Bytes(bytes_).subspan(start);
        EmrRec::Type.set(r, type);
        EmrRec::Size.set(r, std::uint32_t(size));
        return r;
    }

    std::vector<std::uint8_t> bytes_;
};

} // namespace kovet::test
