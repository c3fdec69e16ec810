// The Delphi form reader on arbitrary bytes: it converts or refuses with "Invalid stream
// format", and the forms it finds lie within the bytes given.
#include "convert/DfmReader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    const ConstBytes bytes(data, size);
    try {
        const std::string text = ObjectResourceToText(bytes);
        if (text.empty() || text.back() != '\n') __builtin_trap();
    } catch (const EInvalidStreamFormat& error) {
        if (std::strcmp(error.what(), "Invalid stream format") != 0) __builtin_trap();
        return 0;
    }
    for (const EmbeddedForm& form : FindEmbeddedForms(bytes)) {
        if (form.Data.data() < data || form.Data.data() + form.Data.size() > data + size) __builtin_trap();
    }
    return 0;
}
