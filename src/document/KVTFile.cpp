#include "KVTFile.h"

#include "storage/Text1252.h"

#include <algorithm>
#include <unordered_set>

namespace kovet {

TKVTFile::TKVTFile()
    : Header(*this), Frames(*this), Lines(*this), Ellipses(*this), Texts(*this), Fields(*this), Logos(*this) {
    SetLargestItemSize(kLogoMaxSize);
}

THeaderBytes DefaultHeader() {
    THeaderBytes h{};
    const Bytes b(h);
    ItemHeader::ItemType.set(b, kvtHeaderType);
    ItemHeader::ItemSize.set(b, kHeaderSize);
    HeaderRec::PageWidth.set(b, 816);
    HeaderRec::PageHeight.set(b, 1056);
    HeaderRec::Signature.set(b, HeaderRec::SignatureValue);
    HeaderRec::Version.set(b, HeaderRec::CurrentVersion);
    HeaderRec::SubVersion.set(b, 1);
    HeaderRec::PaperSize.set(b, kvtLetter);
    HeaderRec::Orientation.set(b, kvtPortrait);
    HeaderRec::BorderThickness.set(b, 1);
    HeaderRec::BorderStyle.set(b, psClear);
    HeaderRec::PageColor.set(b, 0xFFFFFF);
    return h;
}

TKVT::TKVT() : file_(std::make_unique<TKVTFile>()) {
    Reset();
}

TKVT::~TKVT() = default;

void TKVT::changed() {
    if (OnChange) OnChange(*this);
}

void TKVT::Reset() {
    file_->Clear();
    THeaderBytes h = DefaultHeader();
    file_->Header.Add(h);
}

void TKVT::Clear() {
    Reset();
    changed();
}

bool TKVT::IsEmpty() const {
    return file_->TotalSize() < 257;
}

void TKVT::GetHeader(THeaderBytes& header) {
    if (IsEmpty()) Reset();
    header.fill(0);
    const ConstBytes first = file_->First();
    std::copy_n(first.begin(), std::min(first.size(), header.size()), header.begin());
}

THeaderBytes TKVT::GetHeader() {
    THeaderBytes h;
    GetHeader(h);
    return h;
}

TRect TKVT::PageRect() {
    const THeaderBytes h = GetHeader();
    return {0, 0, HeaderRec::PageWidth.get(h), HeaderRec::PageHeight.get(h)};
}

float TKVT::ScaleFor(const TRect& rect) {
    const std::int16_t pageWidth = HeaderRec::PageWidth.get(GetHeader());
    if (pageWidth <= 0) return 1.0f;
    return float(rect.Right - rect.Left) / float(pageWidth);
}

void TKVT::Assign(const TKVT& source) {
    if (&source == this) return;
    file_->Assign(source.KVTFile());
    changed();
}

void TKVT::LoadFromStream(TStream& stream) {
    switch (TCustomRecordList::StreamFormat(stream)) {
    case sfNothing: break;
    case sfCurrent: file_->LoadFromStream(stream); break;
    case sfOld: file_->LoadOldFromStream(stream, false); break;
    default: file_->LoadOldFromStream(stream, true); break;
    }

    const std::int64_t total = file_->TotalSize();
    if (total == 0) return;
    auto refuse = [this](const char* message) {
        file_->Clear();
        throw EKVTException(message);
    };
    if (total < kHeaderSize) refuse("Invalid KVT Header Size");
    const Bytes header = file_->First();
    // Only a whole header record is examined, so the checks never read past record 0.
    if (header.size() < std::size_t(kHeaderSize) || ItemHeader::ItemType.get(header) != kvtHeaderType ||
        HeaderRec::Signature.get(header) != HeaderRec::SignatureValue) {
        refuse("Unknown KVT file format");
    }
    if (HeaderRec::Version.get(header) < HeaderRec::OldestVersion) refuse("Obsolete KVT Version.. convert with Kovet");

    std::int16_t width = 0, height = 0;
    if (PaperPageSize(HeaderRec::PaperSize.get(header), HeaderRec::Orientation.get(header), width, height)) {
        HeaderRec::PageWidth.set(header, width);
        HeaderRec::PageHeight.set(header, height);
    }
    changed();
}

void TKVT::SaveToStream(TStream& stream) const {
    file_->SaveToStream(stream);
}

void TKVT::SaveToFile(const std::filesystem::path& fileName) const {
    file_->SaveToFile(fileName);
}

std::vector<std::uint8_t> TKVT::KVTData() const {
    TMemoryStream stream;
    SaveToStream(stream);
    return stream.TakeBytes();
}

void TKVT::SetKVTData(std::span<const std::uint8_t> bytes) {
    TBytesStream stream(bytes);
    LoadFromStream(stream);
}

bool TKVT::FieldExists(std::string_view name) const {
    TRecObj_KVTField& fields = file_->Fields;
    for (std::int32_t i = 0, n = fields.Count(); i < n; ++i) {
        if (SameText(FieldRec::Name.get(fields.Items(i)), name)) return true;
    }
    return false;
}

void TKVT::NewFieldName(std::string& name) const {
    // One pass over the fields, then probe "Field1", "Field2", ...: at most one more
    // candidate than there are fields.
    std::unordered_set<std::string> taken;
    TRecObj_KVTField& fields = file_->Fields;
    for (std::int32_t i = 0, n = fields.Count(); i < n; ++i)
        taken.insert(AsciiUpper(FieldRec::Name.get(fields.Items(i))));
    for (std::uint64_t n = 1;; ++n) {
        std::string candidate = "Field" + std::to_string(n);
        if (!taken.contains(AsciiUpper(candidate))) {
            name = std::move(candidate);
            return;
        }
    }
}

std::int32_t TKVT::NextTabOrder() const {
    std::int32_t next = 0;
    TRecObj_KVTField& fields = file_->Fields;
    for (std::int32_t i = 0, n = fields.Count(); i < n; ++i) {
        const std::int32_t tab = FieldRec::TabOrder.get(fields.Items(i));
        if (tab >= next) next = tab + 1;
    }
    return next;
}

std::int32_t TKVT::CountSpaces(std::string_view s) {
    return std::int32_t(std::count(s.begin(), s.end(), ' '));
}

} // namespace kovet
