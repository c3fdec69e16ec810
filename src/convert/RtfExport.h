#pragma once

// A form for word processors: an RTF document holding one enhanced-metafile picture, in a
// shape of fixed place and size on the page. The picture's size and scale are constants too;
// they do not follow the form's page size.

#include "storage/Bytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kovet {

// The document's lines: eleven fixed lines opening the shape and the picture, the whole
// metafile in upper-case hexadecimal (64 bytes a line, the last one shorter), and a line
// closing the seven groups still open.
std::vector<std::string> RtfDocumentLines(ConstBytes metafile);

// The lines as a file holds them, each ended by CR LF.
std::vector<std::uint8_t> RtfDocument(ConstBytes metafile);

} // namespace kovet
