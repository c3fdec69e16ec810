#pragma once

// `kovet info`: a readable summary of a form, the page first and then one line per record.

#include "document/OpenForm.h"

#include <string>

namespace kovet::cli {

std::string FormToText(FormEncoding encoding, const TKVTFile& list);

} // namespace kovet::cli
