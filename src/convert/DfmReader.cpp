#include "convert/DfmReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kovet {
namespace {

// The bytes of the stream, read front to back; reading past the end is a format error.
class Cursor {
public:
    explicit Cursor(ConstBytes data) : data_(data) {}

    std::uint8_t Byte() { return Take(1)[0]; }
    std::uint8_t Peek() const {
        if (pos_ >= data_.size()) throw EInvalidStreamFormat();
        return data_[pos_];
    }
    template <typename T> T Number() { return readLE<T>(Take(sizeof(T)), 0); }
    ConstBytes Take(std::uint64_t count) {
        if (count > data_.size() - pos_) throw EInvalidStreamFormat();
        const ConstBytes bytes = data_.subspan(pos_, std::size_t(count));
        pos_ += std::size_t(count);
        return bytes;
    }
    std::string_view ShortString() {
        const ConstBytes chars = Take(Byte());
        return {reinterpret_cast<const char*>(chars.data()), chars.size()};
    }
    void SkipPast(std::uint8_t value) {
        while (Byte() != value) {
        }
    }

private:
    ConstBytes data_;
    std::size_t pos_ = 0;
};

class StreamReader {
public:
    explicit StreamReader(ConstBytes data) : in_(data) {}

    DfmObject File() {
        if (in_.Byte() != 0xFF || in_.Number<std::uint16_t>() != 10) throw EInvalidStreamFormat();
        in_.SkipPast(0);
        in_.Take(6);
        const ConstBytes signature = in_.Take(4);
        if (std::string_view(reinterpret_cast<const char*>(signature.data()), 4) != "TPF0")
            throw EInvalidStreamFormat();
        return Object(0);
    }

private:
    // Entering one more level of lists, collections or child objects.
    static void Nest(int depth) {
        if (depth >= kMaxDfmDepth) throw EInvalidStreamFormat();
    }

    DfmObject Object(int depth) {
        Nest(depth);
        DfmObject object;
        if ((in_.Peek() & 0xF0) == 0xF0) {
            const std::uint8_t flags = in_.Byte();
            object.Inherited = (flags & 1) != 0;
            object.Inline = (flags & 4) != 0;
            if ((flags & 2) != 0) object.Position = Integer(DfmValueType(in_.Byte()));
        }
        object.ClassName = in_.ShortString();
        object.Name = in_.ShortString();
        object.Properties = Properties(depth);
        while (in_.Peek() != 0)
            object.Children.push_back(Object(depth + 1));
        in_.Byte();
        return object;
    }

    std::vector<DfmProperty> Properties(int depth) {
        std::vector<DfmProperty> properties;
        while (in_.Peek() != 0) {
            DfmProperty& property = properties.emplace_back();
            property.Name = in_.ShortString();
            property.Value = Value(DfmValueType(in_.Byte()), depth);
        }
        in_.Byte();
        return properties;
    }

    // An order value or a position: one of the three smaller integer types.
    std::int64_t Integer(DfmValueType type) {
        switch (type) {
        case DfmValueType::Int8: return in_.Number<std::int8_t>();
        case DfmValueType::Int16: return in_.Number<std::int16_t>();
        case DfmValueType::Int32: return in_.Number<std::int32_t>();
        default: throw EInvalidStreamFormat();
        }
    }

    DfmValue Value(DfmValueType type, int depth) {
        DfmValue value;
        value.Type = type;
        switch (type) {
        case DfmValueType::Null:
        case DfmValueType::False:
        case DfmValueType::True:
        case DfmValueType::Nil: break;
        case DfmValueType::List:
            Nest(depth + 1);
            for (std::uint8_t next; (next = in_.Byte()) != 0;)
                value.Items.push_back(Value(DfmValueType(next), depth + 1));
            break;
        case DfmValueType::Int8:
        case DfmValueType::Int16:
        case DfmValueType::Int32: value.Integer = Integer(type); break;
        case DfmValueType::Int64:
        case DfmValueType::Currency: value.Integer = in_.Number<std::int64_t>(); break;
        case DfmValueType::Extended: value.Data = in_.Take(10); break;
        case DfmValueType::Single: value.Data = in_.Take(4); break;
        case DfmValueType::Date: value.Data = in_.Take(8); break;
        case DfmValueType::String:
        case DfmValueType::Ident: value.Text = in_.ShortString(); break;
        case DfmValueType::LString: {
            const ConstBytes chars = in_.Take(in_.Number<std::uint32_t>());
            value.Text = {reinterpret_cast<const char*>(chars.data()), chars.size()};
            break;
        }
        case DfmValueType::WString: value.Data = in_.Take(std::uint64_t(in_.Number<std::uint32_t>()) * 2); break;
        case DfmValueType::Binary: value.Data = in_.Take(in_.Number<std::uint32_t>()); break;
        case DfmValueType::Set:
            for (std::string_view member; !(member = in_.ShortString()).empty();)
                value.Members.push_back(member);
            break;
        case DfmValueType::Collection:
            Nest(depth + 1);
            while (in_.Peek() != 0) {
                DfmCollectionItem& item = value.Collection.emplace_back();
                const auto marker = DfmValueType(in_.Byte());
                if (marker != DfmValueType::List) {
                    item.Order = Integer(marker);
                    if (DfmValueType(in_.Byte()) != DfmValueType::List) throw EInvalidStreamFormat();
                }
                item.Properties = Properties(depth + 1);
            }
            in_.Byte();
            break;
        default: throw EInvalidStreamFormat();
        }
        return value;
    }

    Cursor in_;
};

// Pascal's Str of an extended value: a blank or a minus, 21 significant digits, "E", the
// exponent's sign and four digits; infinities and NaN right-aligned in the same 29 columns.
class FloatText {
public:
    static constexpr std::size_t kWidth = 29;

    static std::string Of(long double value) {
        if (std::isnan(value)) return Padded("Nan");
        if (std::isinf(value)) return Padded(value < 0 ? "-Inf" : "+Inf");
        std::array<char, 64> buffer{};
        const int length = std::snprintf(buffer.data(), buffer.size(), "%.20Le", value);
        const std::string_view printed(buffer.data(), std::size_t(length));
        const std::size_t e = printed.find('e');
        std::string_view digits = printed.substr(0, e);
        std::string text = digits.front() == '-' ? "-" : " ";
        if (digits.front() == '-') digits.remove_prefix(1);
        text += digits;
        const int exponent = std::atoi(printed.data() + e + 1);
        text += exponent < 0 ? "E-" : "E+";
        const std::string magnitude = std::to_string(std::abs(exponent));
        text.append(4 - std::min<std::size_t>(4, magnitude.size()), '0');
        return text + magnitude;
    }

    // The 80-bit layout: 64-bit mantissa with its integer bit, 15-bit biased exponent, sign.
    // Encodings the FPU does not compute with (a cleared integer bit with a non-zero
    // exponent, a pseudo-infinity) come out as NaN, as Pascal shows them.
    static std::string OfExtended(ConstBytes bytes) {
        static_assert(std::numeric_limits<long double>::digits >= 64, "an 80-bit float must fit a long double");
        const auto mantissa = readLE<std::uint64_t>(bytes, 0);
        const auto signAndExponent = readLE<std::uint16_t>(bytes, 8);
        const bool negative = (signAndExponent & 0x8000) != 0;
        const int exponent = signAndExponent & 0x7FFF;
        const bool integerBit = (mantissa >> 63) != 0;
        if (exponent == 0x7FFF) {
            if (mantissa == std::uint64_t(1) << 63) return Padded(negative ? "-Inf" : "+Inf");
            return Padded("Nan");
        }
        if (exponent != 0 && !integerBit) return Padded("Nan");
        const long double magnitude =
            std::ldexp(static_cast<long double>(mantissa), std::max(exponent, 1) - 16383 - 63);
        return Of(negative ? -magnitude : magnitude);
    }

private:
    static std::string Padded(std::string_view text) {
        return std::string(kWidth - text.size(), ' ') + std::string(text);
    }
};

class TextWriter {
public:
    TextWriter(std::string& out, std::size_t limit) : out_(out), limit_(limit) {}

    void Object(const DfmObject& object, const std::string& indent) {
        room();
        out_ += indent;
        out_ += object.Inherited ? "inherited " : object.Inline ? "inline " : "object ";
        if (!object.Name.empty()) {
            out_ += object.Name;
            out_ += ": ";
        }
        out_ += object.ClassName;
        if (object.Position) {
            out_ += '[';
            Decimal(*object.Position);
            out_ += ']';
        }
        out_ += '\n';
        const std::string inner = indent + "  ";
        Properties(object.Properties, inner);
        for (const DfmObject& child : object.Children)
            Object(child, inner);
        out_ += indent;
        out_ += "end\n";
    }

private:
    // Indents make the text of a small stream many times its size: checked before every
    // line, the text exceeds the limit by one value at most.
    void room() const {
        if (out_.size() > limit_)
            throw Exception("The form's text would be larger than " + std::to_string(limit_) + " bytes");
    }

    void Properties(const std::vector<DfmProperty>& properties, const std::string& indent) {
        for (const DfmProperty& property : properties) {
            out_ += indent;
            out_ += property.Name;
            out_ += " = ";
            Value(property.Value, indent);
        }
    }

    // The value and the end of its line; `indent` is that of the line it starts on.
    void Value(const DfmValue& value, const std::string& indent) {
        room();
        switch (value.Type) {
        case DfmValueType::Null: out_ += "Null"; break;
        case DfmValueType::List: List(value, indent); return;
        case DfmValueType::Int8:
        case DfmValueType::Int16:
        case DfmValueType::Int32:
        case DfmValueType::Int64: Decimal(value.Integer); break;
        case DfmValueType::Extended: out_ += FloatText::OfExtended(value.Data); break;
        case DfmValueType::String:
        case DfmValueType::LString: Quoted(value.Text.begin(), value.Text.end()); break;
        case DfmValueType::Ident: out_ += value.Text; break;
        case DfmValueType::False: out_ += "False"; break;
        case DfmValueType::True: out_ += "True"; break;
        case DfmValueType::Binary: Binary(value.Data, indent); return;
        case DfmValueType::Set: Set(value); break;
        case DfmValueType::Nil: out_ += "nil"; break;
        case DfmValueType::Collection: Collection(value, indent); return;
        case DfmValueType::Single:
            out_ += FloatText::Of(std::bit_cast<float>(readLE<std::uint32_t>(value.Data, 0)));
            out_ += 's';
            break;
        case DfmValueType::Currency:
            Decimal(value.Integer);
            out_ += 'c';
            break;
        case DfmValueType::Date:
            out_ += FloatText::Of(std::bit_cast<double>(readLE<std::uint64_t>(value.Data, 0)));
            out_ += 'd';
            break;
        case DfmValueType::WString: WideQuoted(value.Data); break;
        }
        out_ += '\n';
    }

    // Free Pascal's layout, blanks included: an empty list is "(" indent ")".
    void List(const DfmValue& value, const std::string& indent) {
        out_ += '(';
        if (!value.Items.empty()) out_ += '\n';
        const std::string inner = indent + "  ";
        for (const DfmValue& item : value.Items) {
            out_ += inner;
            Value(item, inner);
        }
        out_ += indent;
        out_ += ")\n";
    }

    // Free Pascal's layout, blanks included: "<" and each "end" but the last are followed by
    // the indent before their line ends.
    void Collection(const DfmValue& value, const std::string& indent) {
        out_ += '<';
        const std::string properties = indent + "    ";
        for (const DfmCollectionItem& item : value.Collection) {
            out_ += indent;
            out_ += '\n';
            out_ += indent;
            out_ += "  item";
            if (item.Order) {
                out_ += '[';
                Decimal(*item.Order);
                out_ += ']';
            }
            out_ += '\n';
            Properties(item.Properties, properties);
            out_ += indent;
            out_ += "  end";
        }
        out_ += ">\n";
    }

    void Binary(ConstBytes data, const std::string& indent) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out_ += "{\n";
        for (std::size_t at = 0; at < data.size(); at += 32) {
            room();
            out_ += indent;
            out_ += "  ";
            char line[65];
            std::size_t length = 0;
            for (const std::uint8_t byte : data.subspan(at, std::min<std::size_t>(32, data.size() - at))) {
                line[length++] = kHex[byte >> 4];
                line[length++] = kHex[byte & 15];
            }
            line[length++] = '\n';
            out_.append(line, length);
        }
        out_ += indent;
        out_ += "}\n";
    }

    void Set(const DfmValue& value) {
        out_ += '[';
        for (std::size_t i = 0; i < value.Members.size(); ++i) {
            if (i > 0) out_ += ", ";
            out_ += value.Members[i];
        }
        out_ += ']';
    }

    void WideQuoted(ConstBytes units) {
        std::u16string text(units.size() / 2, u'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = char16_t(readLE<std::uint16_t>(units, 2 * i));
        Quoted(text.begin(), text.end());
    }

    // Printable ASCII between quotes, a quote doubled, every other character as #code
    // outside them; an empty string as ''.
    template <typename It> void Quoted(It first, It last) {
        if (first == last) {
            out_ += "''";
            return;
        }
        bool quoted = false;
        for (; first != last; ++first) {
            const auto code = std::uint32_t(std::make_unsigned_t<std::decay_t<decltype(*first)>>(*first));
            const bool printable = code >= 32 && code < 127;
            if (printable != quoted) {
                out_ += '\'';
                quoted = printable;
            }
            if (!printable) {
                out_ += '#';
                Decimal(code);
            } else {
                if (code == '\'') out_ += '\'';
                out_ += char(code);
            }
        }
        if (quoted) out_ += '\'';
    }

    void Decimal(std::int64_t number) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
        out_.append(buffer, result.ptr);
    }

    std::string& out_;
    std::size_t limit_;
};

bool IsKVTData(std::string_view name) {
    constexpr std::string_view kName = "kvtdata";
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
    if (name.size() != kName.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (char(std::tolower(static_cast<unsigned char>(name[i]))) != kName[i]) return false;
    return true;
}

void CollectEmbedded(const std::vector<DfmProperty>& properties, std::string_view component,
                     std::vector<EmbeddedForm>& found) {
    for (const DfmProperty& property : properties) {
        if (property.Value.Type == DfmValueType::Binary && IsKVTData(property.Name))
            found.push_back({std::string(component), property.Value.Data});
        for (const DfmCollectionItem& item : property.Value.Collection)
            CollectEmbedded(item.Properties, component, found);
    }
}

void CollectEmbedded(const DfmObject& object, std::vector<EmbeddedForm>& found) {
    CollectEmbedded(object.Properties, object.Name, found);
    for (const DfmObject& child : object.Children)
        CollectEmbedded(child, found);
}

} // namespace

DfmObject ReadDfmFile(ConstBytes data) {
    return StreamReader(data).File();
}

std::string ObjectResourceToText(ConstBytes data, std::size_t maxText) {
    const DfmObject root = ReadDfmFile(data);
    std::string text;
    // The text of a form is mostly the characters read, plus indents; binary data doubles.
    text.reserve(std::min(2 * data.size(), maxText));
    TextWriter(text, maxText).Object(root, "");
    return text;
}

std::vector<EmbeddedForm> FindEmbeddedForms(ConstBytes data) {
    std::vector<EmbeddedForm> found;
    CollectEmbedded(ReadDfmFile(data), found);
    return found;
}

} // namespace kovet
