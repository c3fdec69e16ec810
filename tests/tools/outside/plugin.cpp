// Uses the widget from a shared library, as a plug-in for another program would.
#include <Kovet/KVTImage.h>
#include <Kovet/SvgExport.h>

#include <memory>

extern "C" int formplugin_fields(const char* form) {
    auto image = std::make_unique<kovet::TKVTImage>();
    image->LoadFromFile(form);
    return image->FieldCount();
}
