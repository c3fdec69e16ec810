#pragma once

// Reading a form file the way the run-time widget and the command-line tool open it: the raw
// bytes decide between the record-list encodings and the legacy layout, as the designer's
// version test does, without the form object's own checks; bytes that are no form in either
// (a text file, a picture) are refused instead of being converted into an empty page.

#include "document/KVTFile.h"

#include <filesystem>
#include <string_view>

namespace kovet {

enum class FormEncoding {
    Current,   // 20-byte item headers
    OldHeader, // 10-byte item headers, widened on reading
    Legacy,    // a form of format version below 4, converted on reading
};

// "current", "old-header" or "legacy".
std::string_view EncodingName(FormEncoding encoding);

// The records of a file that passes the designer's version test (IsCurrentFormFile), as
// StreamFormat classifies it: a current list, an old one with its stamps checked, or an old
// one read without the stamp check. A load error clears the list and goes on to the caller.
FormEncoding LoadFormRecords(ConstBytes file, TKVTFile& list);

// Thrown for bytes that are no form file in any encoding.
class ENotAFormFile : public Exception {
public:
    ENotAFormFile() : Exception("not a form file") {}
};

// Replaces the records of `form` with the form in `file`. A file that passes the version test
// is a record list when its first item header carries either encoding's stamp, or is the
// unstamped older encoding's page header; it is loaded as its records stand (no header
// checks, no page-size recomputation). Any other file is converted when it is a plausible
// legacy form (IsPlausibleLegacyForm). Throws Exception with the message for the user:
// "File is empty" or ENotAFormFile, which leave `form` as it was, or the record list's
// load error, after which `form` holds no records.
FormEncoding OpenForm(ConstBytes file, TKVT& form);

// The same for a file on disk; EFileError when it cannot be read.
FormEncoding OpenFormFile(const std::filesystem::path& path, TKVT& form);

} // namespace kovet
