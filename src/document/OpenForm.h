#pragma once

// Reading a form file the way the designer and the run-time widget open it: the raw bytes
// decide between the record-list encodings and the legacy layout, without the form object's
// own checks.

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

// Replaces the records of `form` with the form in `file`. A file in either record-list
// encoding is loaded as its records stand (no header checks, no page-size recomputation);
// any other non-empty file is read as a legacy form and converted. Throws Exception with
// the message for the user: "File is empty", or the record list's load error, after
// which `form` holds no records.
FormEncoding OpenForm(ConstBytes file, TKVT& form);

// The same for a file on disk; EFileError when it cannot be read.
FormEncoding OpenFormFile(const std::filesystem::path& path, TKVT& form);

} // namespace kovet
