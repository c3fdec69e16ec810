#pragma once

// A strict little JSON reader for checking the tool's output: it rejects anything outside
// the JSON grammar (so NaN, trailing commas or raw control characters fail the test) and
// keeps numbers as written, so that tests can compare them digit for digit.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace minijson {

struct Value {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    std::string text; // a number as written, or a decoded string
    bool boolean = false;
    std::vector<Value> items;
    std::vector<std::pair<std::string, Value>> members; // in document order

    const Value& operator[](std::string_view key) const {
        for (const auto& [name, value] : members) {
            if (name == key) return value;
        }
        throw std::runtime_error("no member " + std::string(key));
    }
    bool has(std::string_view key) const {
        for (const auto& member : members) {
            if (member.first == key) return true;
        }
        return false;
    }
};

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    Value document() {
        Value v = value();
        skipSpace();
        if (pos_ != s_.size()) fail("text after the value");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(pos_));
    }
    void skipSpace() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) {
            ++pos_;
        }
    }
    char peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
    void expect(char c) {
        if (peek() != c) fail(std::string("expected ") + c);
        ++pos_;
    }
    bool literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    Value value() {
        skipSpace();
        Value v;
        const char c = peek();
        if (c == '{') {
            v.kind = Value::Kind::Object;
            ++pos_;
            skipSpace();
            if (peek() == '}') return ++pos_, v;
            for (;;) {
                skipSpace();
                std::string key = string();
                skipSpace();
                expect(':');
                v.members.emplace_back(std::move(key), value());
                skipSpace();
                if (peek() == '}') return ++pos_, v;
                expect(',');
            }
        }
        if (c == '[') {
            v.kind = Value::Kind::Array;
            ++pos_;
            skipSpace();
            if (peek() == ']') return ++pos_, v;
            for (;;) {
                v.items.push_back(value());
                skipSpace();
                if (peek() == ']') return ++pos_, v;
                expect(',');
            }
        }
        if (c == '"') {
            v.kind = Value::Kind::String;
            v.text = string();
            return v;
        }
        if (literal("null")) return v;
        if (literal("true") || literal("false")) {
            v.kind = Value::Kind::Bool;
            v.boolean = s_[pos_ - 4] == 't';
            return v;
        }
        v.kind = Value::Kind::Number;
        v.text = number();
        return v;
    }

    static bool digit(char c) { return c >= '0' && c <= '9'; }

    std::string number() {
        const std::size_t start = pos_;
        if (peek() == '-') ++pos_;
        if (peek() == '0') {
            ++pos_;
        } else if (digit(peek())) {
            while (digit(peek()))
                ++pos_;
        } else {
            fail("bad value");
        }
        if (peek() == '.') {
            ++pos_;
            if (!digit(peek())) fail("bad fraction");
            while (digit(peek()))
                ++pos_;
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-') ++pos_;
            if (!digit(peek())) fail("bad exponent");
            while (digit(peek()))
                ++pos_;
        }
        return std::string(s_.substr(start, pos_ - start));
    }

    unsigned hex4() {
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = peek();
            ++pos_;
            v <<= 4;
            if (digit(c)) {
                v |= unsigned(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                v |= unsigned(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                v |= unsigned(c - 'A' + 10);
            } else {
                fail("bad \\u escape");
            }
        }
        return v;
    }

    static void appendUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }

    std::string string() {
        expect('"');
        std::string out;
        for (;;) {
            if (pos_ >= s_.size()) fail("unterminated string");
            const char c = s_[pos_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) fail("raw control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = peek();
            ++pos_;
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                std::uint32_t cp = hex4();
                if (cp >= 0xD800 && cp < 0xDC00 && literal("\\u"))
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (hex4() - 0xDC00);
                appendUtf8(out, cp);
                break;
            }
            default: fail("bad escape");
            }
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

inline Value Parse(std::string_view text) {
    return Parser(text).document();
}

} // namespace minijson
