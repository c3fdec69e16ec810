#pragma once

// Form files in the three encodings the tool reads, built here byte by byte or through the
// form object, so that the tests know every value the dump must show.

#include "document/KVTFile.h"
#include "storage/Stream.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace clitest {

using namespace kovet;

// The text of the tricky form's text record, as Windows-1252 bytes: a tab, quotes, a
// backslash, a control character, e-acute and the euro sign.
inline const std::string kTrickyText = "Tab\there \"q\" \\ \x01 caf\xE9 \x80";

// A form whose records hold each kind of value the dump has to get right: negative and
// unsigned-high numbers, a float that is not a short decimal, a NaN, a string that needs
// escaping and decoding, a logo, a record of a type nobody knows, and a header whose stored
// page size disagrees with its paper (the designer's reading keeps it).
inline void BuildTrickyForm(TKVT& form) {
    form.Reset();
    TKVTFile& file = form.KVTFile();
    const Bytes header = file.Header.Items(0);
    HeaderRec::PaperSize.set(header, kvtA4);
    HeaderRec::PageWidth.set(header, 100);
    HeaderRec::PageHeight.set(header, 100);

    std::vector<std::uint8_t> frame(kFrameSize);
    ItemHeader::Reserved.set(frame, -2);
    ObjectRec::Left.set(frame, -10);
    FrameRec::InnerColor.set(frame, 0xFFFFFFFF);
    FrameRec::OuterColor.set(frame, 0x80000005);
    FrameRec::Roundness.set(frame, -5);
    file.Frames.Add(frame);

    std::vector<std::uint8_t> line(kLineSize);
    LineRec::Angle.set(line, 0.1f);
    file.Lines.Add(line);
    LineRec::Angle.set(line, std::numeric_limits<float>::quiet_NaN());
    file.Lines.Add(line);

    std::vector<std::uint8_t> ellipse(kEllipseSize);
    EllipseRec::OuterColor.set(ellipse, 0x0000FF);
    EllipseRec::InnerColor.set(ellipse, 0x00FF00);
    file.Ellipses.Add(ellipse);

    std::vector<std::uint8_t> text(kTextMaxSize);
    FontRec::FontName.set(text, "Arial");
    FontRec::FontHeight.set(text, -13);
    TextRec::Angle.set(text, 270.0f);
    TextRec::Text.set(text, kTrickyText);
    ItemHeader::ItemSize.set(text, TextItemSize(kTrickyText.size()));
    file.Texts.Add(text);

    std::vector<std::uint8_t> field(kFieldSize);
    FieldRec::Name.set(field, "Total");
    FieldRec::Format.set(field, lfoDollar);
    FieldRec::TabOrder.set(field, -1);
    FieldRec::MaxLength.set(field, 32767);
    FieldRec::HelpContext.set(field, -7);
    FieldRec::Tag.set(field, std::numeric_limits<std::int32_t>::min());
    FieldRec::CtlColor.set(field, 0x80000005);
    file.Fields.Add(field);

    std::vector<std::uint8_t> logo(std::size_t(LogoItemSize(3)));
    ItemHeader::ItemSize.set(logo, LogoItemSize(3));
    LogoRec::PictureType.set(logo, ptBitmap);
    LogoRec::DataSize.set(logo, 3);
    logo[LogoRec::DataOffset] = 'a';
    logo[LogoRec::DataOffset + 1] = 'b';
    logo[LogoRec::DataOffset + 2] = 'c';
    file.Logos.Add(logo);

    // 30 bytes at least, so that it fits the old encoding's size rule too.
    std::vector<std::uint8_t> unknown(32);
    ItemHeader::ItemType.set(unknown, 99);
    ItemHeader::ItemSize.set(unknown, 32);
    unknown[20] = 1;
    unknown[23] = 4;
    file.Add(unknown);
}

inline std::vector<std::uint8_t> SaveBytes(const TKVTFile& file) {
    TMemoryStream stream;
    file.SaveToStream(stream);
    return stream.TakeBytes();
}

// The same records with the older 10-byte item headers; `stamp` is written into each one
// (the old loader checks it only when the file starts with the proper $6FED).
inline std::vector<std::uint8_t> OldHeaderBytes(const TKVTFile& file, std::uint16_t stamp = 0x6FED) {
    std::vector<std::uint8_t> out;
    for (std::int32_t i = 0; i < file.Count(); ++i) {
        const ConstBytes rec = file.Items(i);
        std::uint8_t old[10] = {};
        writeLE<std::uint16_t>(old, 0, stamp);
        writeLE<std::int16_t>(old, 2, std::int16_t(ItemHeader::ID.get(rec)));
        writeLE<std::int16_t>(old, 4, std::int16_t(ItemHeader::ItemType.get(rec)));
        writeLE<std::int16_t>(old, 6, std::int16_t(ItemHeader::ItemSize.get(rec) - 10));
        writeLE<std::int16_t>(old, 8, std::int16_t(ItemHeader::Reserved.get(rec)));
        out.insert(out.end(), old, old + 10);
        out.insert(out.end(), rec.begin() + ItemHeader::Size, rec.end());
    }
    return out;
}

// A version-3 form: a text, a frame (legacy type 8), a line, a field, an ellipse and an
// object of type 1 that converts to nothing, with the string table they refer to.
inline std::vector<std::uint8_t> LegacyV3Bytes() {
    std::vector<std::uint8_t> bytes(99);
    const auto put16 = [&](std::size_t at, std::int16_t v) { writeLE<std::int16_t>(bytes, at, v); };
    put16(0, 6);    // object count
    bytes[2] = 3;   // paper: A4
    bytes[3] = 2;   // border thickness
    bytes[4] = 1;   // border style: dashed
    put16(5, 778);  // page width
    put16(7, 1095); // page height
    bytes[9] = 3;   // version
    bytes[10] = 1;  // revision
    bytes[11] = 0;  // portrait

    const auto object = [&](std::uint8_t type, std::int16_t left, std::int16_t top) {
        const std::size_t at = bytes.size();
        bytes.resize(at + 25);
        bytes[at] = type;
        put16(at + 1, left);
        put16(at + 3, top);
        put16(at + 5, 200);
        put16(at + 7, 30);
        return at;
    };
    std::size_t o = object(2, 10, 20); // text
    put16(o + 9, 0);                   // "Hello, world"
    put16(o + 11, 1);                  // "Times New Roman"
    bytes[o + 13] = 3;                 // bold italic
    bytes[o + 14] = 12;
    bytes[o + 15] = 9; // red
    bytes[o + 16] = 1; // 180 degrees
    put16(o + 17, -16);
    o = object(8, 30, 40); // frame
    bytes[o + 9] = 1;      // dashed
    bytes[o + 10] = 1;     // solid fill
    bytes[o + 11] = 15;    // white inside
    bytes[o + 12] = 4;     // navy outline
    bytes[o + 13] = 2;
    put16(o + 14, 10);
    o = object(4, 50, 60); // line
    bytes[o + 10] = 2;     // 45 degrees
    bytes[o + 11] = 12;    // blue
    bytes[o + 12] = 3;
    object(1, 0, 0);       // nothing to convert
    o = object(6, 70, 80); // field
    put16(o + 9, 2);       // "Total"
    put16(o + 11, 1);
    bytes[o + 14] = 10;
    bytes[o + 17] = lfoDollar;
    put16(o + 18, -13);
    o = object(7, 90, 100); // ellipse
    bytes[o + 11] = 16;     // $AAFFFF inside
    bytes[o + 12] = 2;      // green outline
    bytes[o + 13] = 1;

    const std::string strings = "Hello, world\r\nTimes New Roman\r\nTotal\r\n";
    bytes.insert(bytes.end(), strings.begin(), strings.end());
    return bytes;
}

} // namespace clitest
