#include "document/OpenForm.h"

#include "document/OldKvt.h"
#include "storage/Stream.h"

namespace kovet {
namespace {

// A record list begins with an item header stamped for its encoding; the older encoding was
// also written without its stamp, and such a file still begins with the page header, whose
// record fits the file.
bool beginsAsRecordList(ConstBytes file) {
    TBytesStream stream(file);
    const int format = TCustomRecordList::StreamFormat(stream);
    if (format == sfCurrent || format == sfOld) return true;
    const std::int16_t type = readLE<std::int16_t>(file, 4), size = readLE<std::int16_t>(file, 6);
    return file.size() >= std::size_t(OldItemHeader::Size) && type == kvtHeaderType && size >= ItemHeader::Size &&
           std::size_t(size) + OldItemHeader::Size <= file.size();
}

} // namespace

FormEncoding LoadFormRecords(ConstBytes file, TKVTFile& list) {
    TBytesStream stream(file);
    const int format = TCustomRecordList::StreamFormat(stream);
    try {
        switch (format) {
        case sfCurrent: list.LoadFromStream(stream); return FormEncoding::Current;
        case sfOld: list.LoadOldFromStream(stream, false); return FormEncoding::OldHeader;
        default: list.LoadOldFromStream(stream, true); return FormEncoding::OldHeader;
        }
    } catch (...) {
        list.Clear();
        throw;
    }
}

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
    if (IsCurrentFormFile(file)) {
        if (!beginsAsRecordList(file)) throw ENotAFormFile();
        return LoadFormRecords(file, form.KVTFile());
    }
    if (!IsPlausibleLegacyForm(file)) throw ENotAFormFile();

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
