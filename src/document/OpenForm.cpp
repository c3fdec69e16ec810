#include "document/OpenForm.h"

#include "document/OldKvt.h"
#include "storage/Stream.h"

namespace kovet {
namespace {

FormEncoding loadRecordList(ConstBytes file, TKVTFile& list) {
    TBytesStream stream(file);
    try {
        switch (TCustomRecordList::StreamFormat(stream)) {
        case sfCurrent: list.LoadFromStream(stream); return FormEncoding::Current;
        case sfOld: list.LoadOldFromStream(stream, false); return FormEncoding::OldHeader;
        default: list.LoadOldFromStream(stream, true); return FormEncoding::OldHeader;
        }
    } catch (...) {
        list.Clear();
        throw;
    }
}

} // namespace

std::string_view EncodingName(FormEncoding encoding) {
    switch (encoding) {
    case FormEncoding::Current: return "current";
    case FormEncoding::OldHeader: return "old-header";
    case FormEncoding::Legacy: return "legacy";
    }
    return "unknown";
}

FormEncoding OpenForm(ConstBytes file, TKVT& form) {
    if (file.empty()) throw Exception("File is empty");
    if (IsCurrentFormFile(file)) return loadRecordList(file, form.KVTFile());

    TOldKVT legacy;
    TBytesStream stream(file);
    legacy.LoadFromStream(stream);
    ConvertOldKVT(legacy, form);
    return FormEncoding::Legacy;
}

FormEncoding OpenFormFile(const std::filesystem::path& path, TKVT& form) {
    return OpenForm(ReadWholeFile(path), form);
}

} // namespace kovet
