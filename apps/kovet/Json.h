#pragma once

// The two pieces of JSON text the dump needs that are easy to get wrong.

#include <string>
#include <string_view>

namespace kovet::cli {

// A JSON string literal, quotes included, for UTF-8 text: quotes, backslashes and the
// control characters U+0000..U+001F are escaped; everything else is copied as it is.
std::string JsonString(std::string_view utf8);

// The shortest decimal that reads back as the same float. NaN and the infinities have no
// JSON number, so they are written as null.
std::string JsonFloat(float value);

} // namespace kovet::cli
