#pragma once

// A plain text file as text objects: one per line, in the default text font, stacked down the
// left of the page from the top until the page is full.

#include "document/Defaults.h"
#include "document/KVTFile.h"
#include "platform/Canvas.h"
#include "storage/Bytes.h"

#include <string>
#include <vector>

namespace kovet {

// The lines of a text file: ended by CR LF, LF or CR; a last line without an end counts.
std::vector<std::string> TextFileLines(ConstBytes bytes);

void ImportTextLines(TKVT& form, TKVTDefaults& defaults, ConstBytes fileBytes, TextMetrics& metrics);

} // namespace kovet
