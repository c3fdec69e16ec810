#pragma once

// Forms of format versions before 4: a 99-byte page header, 25-byte object records and a
// table of text lines the objects refer to by number.

#include "KVTFile.h"

#include "storage/Dynarray.h"
#include "storage/RecordField.h"
#include "storage/Stream.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kovet {

inline constexpr std::size_t kOldHeaderSize = 99;
inline constexpr std::int32_t kOldObjectSize = 25;

namespace OldHeaderRec {
inline constexpr I16Field Count{"Count", 0};
inline constexpr U8Field PaperSize{"PaperSize", 2};
inline constexpr U8Field BorderThickness{"BorderThickness", 3};
inline constexpr U8Field BorderStyle{"BorderStyle", 4};
inline constexpr I16Field PageWidth{"PageWidth", 5};
inline constexpr I16Field PageHeight{"PageHeight", 7};
inline constexpr U8Field Version{"Version", 9};
inline constexpr U8Field Revision{"Revision", 10};
inline constexpr U8Field Orientation{"Orientation", 11};
} // namespace OldHeaderRec

// Legacy object record; which of the fields apply depends on ObjType.
namespace OldObjectRec {
enum : std::uint8_t { otText = 2, otFrame = 3, otLine = 4, otFrame5 = 5, otField = 6, otEllipse = 7, otFrame8 = 8 };
inline constexpr U8Field ObjType{"ObjType", 0};
inline constexpr I16Field Left{"Left", 1};
inline constexpr I16Field Top{"Top", 3};
inline constexpr I16Field Width{"Width", 5};
inline constexpr I16Field Height{"Height", 7};
// text (2) and field (6)
inline constexpr I16Field TextString{"TextString", 9}; // text: the text; field: the field name
inline constexpr I16Field FontString{"FontString", 11};
inline constexpr U8Field FontStyle{"FontStyle", 13};
inline constexpr U8Field FontSize{"FontSize", 14};
inline constexpr U8Field FontColor{"FontColor", 15};
inline constexpr U8Field TextAngle{"TextAngle", 16};
inline constexpr I16Field TextFontHeight{"TextFontHeight", 17};
inline constexpr U8Field FieldFormat{"FieldFormat", 17};
inline constexpr I16Field FieldFontHeight{"FieldFontHeight", 18};
// frame (3, 5, 8) and ellipse (7)
inline constexpr U8Field OuterStyle{"OuterStyle", 9};
inline constexpr U8Field InnerStyle{"InnerStyle", 10};
inline constexpr U8Field InnerColor{"InnerColor", 11};
inline constexpr U8Field OuterColor{"OuterColor", 12};
inline constexpr U8Field Thickness{"Thickness", 13};
inline constexpr I16Field Roundness{"Roundness", 14};
// line (4)
inline constexpr U8Field LineStyle{"LineStyle", 9};
inline constexpr U8Field LineAngle{"LineAngle", 10};
inline constexpr U8Field LineColor{"LineColor", 11};
inline constexpr U8Field LineThickness{"LineThickness", 12};
} // namespace OldObjectRec

class TOldKVT {
public:
    using TNotifyEvent = std::function<void(TOldKVT& sender)>;

    TOldKVT();

    std::array<std::uint8_t, kOldHeaderSize> Header{};
    TsvDynArray Objects;              // 25-byte object records
    std::vector<std::string> Strings; // the string table, Windows-1252 bytes
    TNotifyEvent OnChange;

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

    // The "KVTData" property of old embedded forms.
    std::vector<std::uint8_t> KVTData();
    void SetKVTData(std::span<const std::uint8_t> bytes);

    // Line N of the string table, or "ERROR " followed by N.
    std::string GetString(std::int32_t n) const;
    // The colour a legacy colour number stands for.
    static std::uint32_t GetColor(std::uint8_t number);
    // Legacy page size by paper index (differs from the current paper table).
    static void LegacyPageSize(std::uint8_t paperSize, std::int16_t& width, std::int16_t& height);
};

// Reports a message and a percentage while a conversion runs.
using TProgressEvent = std::function<void(std::string_view message, std::int32_t percent)>;

// Replaces the records of `target` by the converted legacy form. OnChange of the target is
// not fired. Records added before an exception stay.
void ConvertOldKVT(const TOldKVT& source, TKVT& target, const TProgressEvent& progress = {});

// The designer's test on a whole file: true when the bytes hold a current form (version 4
// or above in either item-header encoding), false for a legacy form.
bool IsCurrentFormFile(ConstBytes file);

// Whether bytes that fail that test look like a legacy form rather than any other file: a
// whole header with a legacy version (3 or below), orientation and border style, and as many object records as it
// counts, each of a type the legacy layout knows (up to 8), within the file. The legacy layout has no signature; every
// form its writer made passes.
bool IsPlausibleLegacyForm(ConstBytes file);

} // namespace kovet
