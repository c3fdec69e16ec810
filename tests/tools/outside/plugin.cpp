// Uses the widget from a shared library, as a plug-in for another program would.
#include <Kovet/KVTImage.h>
#include <Kovet/SvgExport.h>

#include <filesystem>
#include <memory>

extern "C" int formplugin_fields(const char* form) {
    auto image = std::make_unique<kovet::TKVTImage>();
    image->LoadFromFile(form);
    return image->FieldCount();
}

// Writes the form as a fillable PDF form, and reads a filled-in one back; the number of
// values that were wrong.
extern "C" int formplugin_roundtrip(const char* form, const char* pdf) {
    auto image = std::make_unique<kovet::TKVTImage>();
    image->LoadFromFile(form);
    image->ExportFillablePdf(pdf);
    return int(image->LoadPdfFormData(std::filesystem::path(pdf)).size());
}
