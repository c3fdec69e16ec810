#pragma once

// JSON text for the pieces of the dumps that are not whole documents.

#include <string>
#include <string_view>

namespace kovet::cli {

// A JSON string literal, quotes included, for UTF-8 text, escaped as Qt's JSON writer does.
std::string JsonString(std::string_view utf8);

// The shortest decimal that reads back as the same float. NaN and the infinities have no
// JSON number, so they are written as null.
std::string JsonFloat(float value);

} // namespace kovet::cli
