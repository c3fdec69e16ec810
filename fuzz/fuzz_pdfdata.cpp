// A filled-in PDF form from arbitrary bytes: the reader may refuse it, with its own exception,
// but must neither crash nor hand back a field without a name.
#include "display/PdfFormData.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    try {
        for (const TPdfFieldValue& value : ReadPdfFormValues(data, size))
            if (value.Name.empty()) __builtin_trap();
    } catch (const Exception&) {
    }
    return 0;
}
