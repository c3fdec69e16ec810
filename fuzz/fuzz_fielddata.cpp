// Field data lines from arbitrary bytes loaded into fields of every format (with a shared
// name and a check box group), saved, and loaded back: the second save must equal the first.
#include "display/FieldData.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovet;
    std::vector<std::unique_ptr<TKVTField>> owned;
    std::vector<TKVTField*> fields;
    TKVTLabelSiblings siblings;
    for (std::uint8_t format = 0; format <= kLastFieldFormat + 1; ++format) {
        auto field = std::make_unique<TKVTField>();
        field->Name = "F" + std::to_string(format % 16); // formats 16 ... 21 share names
        field->SetFormat(TKVTFieldFormat(format));
        field->SetOptions(LabOption(rloAutoRound) | LabOption(rloShowZero));
        field->SetDigits(std::int16_t(format % 4));
        field->GroupIndex = 1;
        field->Siblings = &siblings;
        siblings.push_back(field.get());
        fields.push_back(field.get());
        owned.push_back(std::move(field));
    }
    const std::vector<std::string> lines =
        SplitFieldDataText(std::string_view(reinterpret_cast<const char*>(data), size));
    LoadFieldStrings(fields, lines);
    const std::vector<std::string> saved = SaveFieldStrings(fields, true);
    LoadFieldStrings(fields, saved);
    if (SaveFieldStrings(fields, true) != saved) __builtin_trap();
    return 0;
}
