#pragma once

// Delphi binary form files (.dfm): the resource header, the "TPF0" object stream, and the
// textual form notation that Delphi and Free Pascal make of it.
//
// File layout, little-endian: 0xFF; the resource type 10 as a 16-bit word; the resource name
// up to a zero byte; 6 bytes of flags and size, not looked at; "TPF0"; the root object. An
// object is an optional prefix byte 0xF0 + flags (bit 0 inherited, bit 1 a position value
// follows, bit 2 inline), its class name and its name (a length byte and the characters each),
// its properties (a name and a value each) up to a zero byte and its children up to a zero
// byte. Whatever follows the root object is ignored.
//
// Every read is checked against the data; a length read from the data is believed only as
// far as the data holds that many bytes; lists, collections and child objects nest at most
// kMaxDfmDepth levels. Anything else — a text .dfm, a file that does not start with 0xFF, 10,
// 0, a stream that is cut off or holds an unknown value type — throws EInvalidStreamFormat.

#include "storage/Bytes.h"
#include "storage/Exception.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovet {

// what() is "Invalid stream format", whatever was wrong.
class EInvalidStreamFormat : public Exception {
public:
    EInvalidStreamFormat() : Exception("Invalid stream format") {}
};

inline constexpr int kMaxDfmDepth = 64;
// The most text ObjectResourceToText makes (beyond: Exception), far above what a form of the
// largest file the tools read (64 MiB) makes without hostile nesting.
inline constexpr std::size_t kMaxDfmText = std::size_t(512) << 20;

// The value types of the object stream, by their codes.
enum class DfmValueType : std::uint8_t {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5, // 80-bit float
    String = 6,   // length byte and characters
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12, // 32-bit length and characters
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16, // 64-bit integer, 10,000 units to 1
    Date = 17,     // 64-bit float, days since 30 December 1899
    WString = 18,  // 32-bit count and UTF-16 code units
    Int64 = 19,
};

struct DfmProperty;
struct DfmCollectionItem;

// One value. Text, Data and Members view the bytes that were read, which must outlive it.
struct DfmValue {
    DfmValueType Type = DfmValueType::Null;
    // Int8 to Int64 and Currency (in its units).
    std::int64_t Integer = 0;
    // String, LString, Ident: the characters as stored.
    std::string_view Text;
    // Binary: the bytes. Extended, Single, Date: the float's bytes. WString: UTF-16LE units.
    ConstBytes Data;
    // Set: the identifiers.
    std::vector<std::string_view> Members;
    // List: the values.
    std::vector<DfmValue> Items;
    // Collection: the items.
    std::vector<DfmCollectionItem> Collection;
};

struct DfmProperty {
    // A nested property's whole path: "Font.Name".
    std::string_view Name;
    DfmValue Value;
};

struct DfmCollectionItem {
    // The order value written before the item, if any.
    std::optional<std::int64_t> Order;
    std::vector<DfmProperty> Properties;
};

struct DfmObject {
    bool Inherited = false;
    bool Inline = false;
    std::optional<std::int64_t> Position;
    std::string_view ClassName, Name;
    std::vector<DfmProperty> Properties;
    std::vector<DfmObject> Children;
};

// The root object of a binary form file. The result views `data`.
DfmObject ReadDfmFile(ConstBytes data);

// The textual notation of a binary form file, as Free Pascal's ObjectResourceToText writes
// it, lines ended by "\n":
//   object Name: TClass            ("inherited" or "inline" in place of "object"; without
//     Prop = value                  a name "object TClass"; a position as "TClass[3]")
//     Font.Name = 'Segoe UI'        two more blanks for each level
//     object Child: TChild ... end
//   end
// Integers in decimal; strings quoted with '' for a quote and #n for a character below 32 or
// above 126 (a byte of a narrow string, a UTF-16 code unit of a wide one); identifiers, True,
// False, nil and Null bare; sets "[a, b]"; lists "(" with one value per line and ")";
// collections "<" with "item" (or "item[order]") lines, properties and "end" and ">";
// binary data "{", 32 bytes of upper-case hex a line, "}"; an 80-bit float as Pascal's Str
// writes it (" 1.50000000000000000000E+0000", "-Inf", "Nan"); a single, a date and a currency
// as values Pascal's notation marks by type: the float as Str writes it followed by "s" or
// "d", the currency's units followed by "c" (12.34 is "123400c"). Free Pascal itself stops at
// these three. Throws EInvalidStreamFormat as ReadDfmFile does, and Exception when the text
// would be larger than `maxText` bytes.
std::string ObjectResourceToText(ConstBytes data, std::size_t maxText = kMaxDfmText);

// A binary property "KVTData" — a form stored in a host form, holding the bytes of a .kvt
// file — and the name of the component holding it.
struct EmbeddedForm {
    std::string Component;
    ConstBytes Data;
};

// Every binary property whose name, or the last part of whose dotted path, is "KVTData" in
// any letter case (as the streaming system matches names), in the order of the stream;
// properties of collection items count for the component holding the collection. The results
// view `data`. Throws EInvalidStreamFormat as ReadDfmFile.
std::vector<EmbeddedForm> FindEmbeddedForms(ConstBytes data);

} // namespace kovet
