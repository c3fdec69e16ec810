#pragma once

// The designer's defaults record: the user's options and a default image of every object
// type; the file "kovet.def" is a byte-for-byte image of it.

#include "KVTRec.h"

#include "storage/RecordField.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kovet {

inline constexpr std::size_t kDefaultsSize = 1060;
inline constexpr char kDefaultsFileName[] = "kovet.def";
inline constexpr char kDefaultsResetMessage[] = "Defaults have been reset due to newer record version";

// Where each part of the record lies; the object images have the layouts of their records.
namespace DefaultsRec {
inline constexpr std::size_t PageImage = 0;      // 266 bytes
inline constexpr std::size_t TextImage = 266;    // 335 bytes
inline constexpr std::size_t FrameImage = 601;   // 50 bytes
inline constexpr std::size_t LineImage = 651;    // 50 bytes
inline constexpr std::size_t EllipseImage = 701; // 50 bytes
inline constexpr std::size_t FieldImage = 754;   // 135 bytes
inline constexpr std::uint8_t CurrentVersion = 5;
inline constexpr U8Field PrintInColor{"PrintInColor", 751};
inline constexpr U8Field StartMaximized{"StartMaximized", 752};
inline constexpr U8Field PrintShading{"PrintShading", 753};
inline constexpr U8Field Version{"Version", 889};
inline constexpr U8Field RulerUnits{"RulerUnits", 890}; // 0 pixels, 1 inches, 2 millimetres
inline constexpr U8Field PrintExactDPI{"PrintExactDPI", 891};
inline constexpr U8Field PrintExactMargins{"PrintExactMargins", 892};
inline constexpr F32Field WordScale{"WordScale", 893};
} // namespace DefaultsRec

class TKVTDefaults {
public:
    TKVTDefaults() { Reset(); }

    std::array<std::uint8_t, kDefaultsSize> Record{};

    // The built-in values; every byte not named is zero.
    void Reset();

    // Reads min(file size, 1060) bytes over the record (a shorter file leaves the rest
    // zero). A missing file resets. A version other than 5 resets and returns the message
    // the caller shows; otherwise the result is empty. Throws EFileError when the file
    // exists but cannot be read.
    std::string Load(const std::filesystem::path& file);
    // The same from the file's bytes already read.
    std::string LoadFromBytes(ConstBytes bytes);

    // Sets the version to 5 and replaces the file atomically. Throws EFileError.
    void Save(const std::filesystem::path& file);

    // The object images, to be read and written with the record accessors.
    Bytes Page() { return image(DefaultsRec::PageImage, kHeaderSize); }
    Bytes Text() { return image(DefaultsRec::TextImage, kTextMaxSize); }
    Bytes Frame() { return image(DefaultsRec::FrameImage, kFrameSize); }
    Bytes Line() { return image(DefaultsRec::LineImage, kLineSize); }
    Bytes Ellipse() { return image(DefaultsRec::EllipseImage, kEllipseSize); }
    Bytes Field() { return image(DefaultsRec::FieldImage, kFieldSize); }

private:
    Bytes image(std::size_t offset, std::int32_t size) { return Bytes(Record).subspan(offset, std::size_t(size)); }
};

} // namespace kovet
