// The designer's way of opening a file, on arbitrary bytes: the raw version test chooses
// between the record-list encodings and the legacy conversion; then both dumps of the result.
#include "document/OpenForm.h"
#include "kovet/FormInfo.h"
#include "kovet/FormJson.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool hasControlBytesOtherThanNewline(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\n'; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    using namespace kovet::cli;
    TKVT form;
    FormEncoding encoding;
    try {
        encoding = OpenForm({data, size}, form);
    } catch (const Exception&) {
        return 0;
    }
    const TKVTFile& file = form.KVTFile();

    // JSON keeps every control character escaped, and reads back with one object per record.
    const std::string json = FormToJson(encoding, file);
    if (hasControlBytesOtherThanNewline(json)) __builtin_trap();
    const QJsonDocument parsed = QJsonDocument::fromJson(QByteArray::fromStdString(json));
    if (parsed["records"].toArray().size() != std::max(file.Count(), 0)) __builtin_trap();

    // The summary shows one line per record after the column titles.
    const std::string text = FormToText(encoding, file);
    if (hasControlBytesOtherThanNewline(text)) __builtin_trap();
    const std::size_t titles = text.find("Index ");
    if (titles == std::string::npos) __builtin_trap();
    if (std::count(text.begin() + std::ptrdiff_t(titles), text.end(), '\n') != file.Count() + 1) __builtin_trap();
    return 0;
}
