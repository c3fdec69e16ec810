#pragma once

// `kovet info --json`: one JSON object holding the encoding and every record with every
// named field of its layout.

#include "document/OpenForm.h"

#include <string>

namespace kovet::cli {

// {"format": ..., "records": [...]}, indented as Qt's JSON writer indents, members of an
// object in the order of their names, ending in a newline. Integers
// keep the width and sign of their field (colours, Stamp and Signature unsigned 32-bit);
// strings are decoded from Windows-1252; a logo adds "DataSHA256" of its picture bytes.
// Fields that lie past the end of a short record read as zero, as the accessors give them.
std::string FormToJson(FormEncoding encoding, const TKVTFile& list);

} // namespace kovet::cli
