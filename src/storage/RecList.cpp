#include "RecList.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace kovet {
namespace {

std::int32_t itemType(ConstBytes rec) {
    return ItemHeader::ItemType.get(rec);
}
std::int32_t itemSize(ConstBytes rec) {
    return ItemHeader::ItemSize.get(rec);
}

std::string listIndexError(std::int32_t index) {
    return "List index out of bounds (" + std::to_string(index) + ")";
}

} // namespace

TCustomRecordList::Record TCustomRecordList::allocate(std::size_t size) {
    Record record;
    record.own = std::make_unique<std::uint8_t[]>(size); // zero-filled
    record.data = record.own.get();
    record.size = size;
    return record;
}

template <typename Expected> TCustomRecordList::Record TCustomRecordList::carve(std::size_t size, Expected expected) {
    if (size > blockLeft_) {
        const std::size_t blockSize = std::max(size, std::size_t(std::max<std::int64_t>(expected(), 0)));
        blocks_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(blockSize));
        blockFree_ = blocks_.back().get();
        blockLeft_ = blockSize;
    }
    Record record;
    record.data = blockFree_;
    record.size = size;
    blockFree_ += size;
    blockLeft_ -= size;
    return record;
}

void TCustomRecordList::checkIndex(std::int32_t index, const char* message) const {
    if (index < 0 || index >= Count()) throw ERecListException(message);
}

void TCustomRecordList::append(Record&& record) {
    records_.push_back(std::move(record));
    ++layout_;
}

std::int64_t TCustomRecordList::TotalSize() const {
    std::int64_t total = 0;
    for (const Record& r : records_)
        total += std::int64_t(r.size);
    return total;
}

Bytes TCustomRecordList::Items(std::int32_t index) {
    if (index < 0 || index >= Count()) {
        throw ERecListException("Index out of bounds (" + std::to_string(index) + ")");
    }
    return records_[std::size_t(index)].bytes();
}

ConstBytes TCustomRecordList::Items(std::int32_t index) const {
    return const_cast<TCustomRecordList*>(this)->Items(index);
}

Bytes TCustomRecordList::First() {
    if (records_.empty()) throw ERecListException(listIndexError(0));
    return records_.front().bytes();
}

std::int32_t TCustomRecordList::NextID() const {
    if (runNextID_) return *runNextID_;
    if (records_.empty()) return 1;
    std::int32_t largest = std::numeric_limits<std::int32_t>::min();
    for (const Record& r : records_)
        largest = std::max(largest, ItemHeader::ID.get(r.bytes()));
    // IDs keep their low 32 bits, as they would in the original's 32-bit arithmetic.
    return std::int32_t(std::uint32_t(largest) + 1u);
}

void TCustomRecordList::Clear() {
    records_.clear();
    if (runNextID_) runNextID_ = 1;
    blocks_.clear();
    blockFree_ = nullptr;
    blockLeft_ = 0;
    ++layout_;
}

Bytes TCustomRecordList::Add(ConstBytes rec) {
    if (itemType(rec) <= 0) throw ERecListException("Add: invalid Itemtype");
    const std::int32_t size = itemSize(rec);
    if (size < ItemHeader::Size) throw ERecListException("Add: invalid Itemsize");
    Record copy = allocate(std::size_t(size));
    std::memcpy(copy.data, rec.data(), std::min(rec.size(), copy.size));
    ItemHeader::Stamp.set(copy.bytes(), ItemHeader::StampValue);
    ItemHeader::ID.set(copy.bytes(), NextID());
    if (runNextID_) runNextID_ = std::int32_t(std::uint32_t(*runNextID_) + 1u);
    append(std::move(copy));
    return records_.back().bytes();
}

void TCustomRecordList::Update(Bytes rec, std::int32_t index) {
    checkIndex(index, "Update: index out of bounds");
    if (itemType(rec) <= 0) throw ERecListException("Update: invalid Itemtype");
    const std::int32_t size = itemSize(rec);
    if (size < ItemHeader::Size) throw ERecListException("Update: invalid Itemsize");
    Record& stored = records_[std::size_t(index)];
    ItemHeader::Stamp.set(rec, ItemHeader::StampValue);
    // Callers may hand back the stored record itself, perhaps with a new size or type
    // written into it: keep its bytes before a resize frees them, and let the typed
    // wrappers look again, as a comparison of the two types would see no change.
    std::vector<std::uint8_t> held;
    ConstBytes source = rec;
    if (rec.data() < stored.data + stored.size && stored.data < rec.data() + rec.size()) {
        held.assign(rec.begin(), rec.end());
        source = held;
        ++layout_;
    } else if (itemType(stored.bytes()) != itemType(rec)) {
        ++layout_;
    }
    if (stored.size != std::size_t(size)) Resize(index, size);
    const std::size_t copied = std::min(source.size(), stored.size);
    std::memcpy(stored.data, source.data(), copied);
    std::memset(stored.data + copied, 0, stored.size - copied);
}

void TCustomRecordList::Delete(std::int32_t index) {
    checkIndex(index, "Delete: index out of bounds");
    records_.erase(records_.begin() + index);
    ++layout_;
}

void TCustomRecordList::Resize(std::int32_t index, std::int32_t newSize) {
    checkIndex(index, "Resize: index out of bounds");
    if (newSize < ItemHeader::Size) throw ERecListException("Resize: invalid size");
    Record& stored = records_[std::size_t(index)];
    Record resized = allocate(std::size_t(newSize));
    std::memcpy(resized.data, stored.data, std::min(stored.size, resized.size));
    ItemHeader::ItemSize.set(resized.bytes(), newSize);
    stored = std::move(resized);
}

void TCustomRecordList::SaveToFile(const std::filesystem::path& fileName) const {
    TMemoryStream stream;
    stream.Reserve(std::size_t(TotalSize()));
    SaveToStream(stream);
    WriteFileAtomically(fileName, stream.Bytes());
}

void TCustomRecordList::SaveToStream(TStream& stream) const {
    for (const Record& r : records_)
        stream.Write(r.data, r.size);
}

namespace {

// Reads records through the stream's own interface.
class StreamSource {
public:
    explicit StreamSource(TStream& stream) : stream_(stream) {}
    std::size_t read(void* buffer, std::size_t count) { return stream_.Read(buffer, count); }
    std::int64_t remaining() const { return stream_.Remaining(); }
    void unread(std::size_t count) { stream_.Seek(-std::int64_t(count), TStream::Origin::Current); }

private:
    TStream& stream_;
};

// Reads records straight from the bytes of a memory-backed stream, without a virtual call
// per read, and leaves the stream's position where the reading stopped.
class BytesSource {
public:
    BytesSource(TStream& stream, ConstBytes bytes) : stream_(stream), bytes_(bytes) {}
    ~BytesSource() { stream_.Seek(std::int64_t(pos_), TStream::Origin::Current); }
    BytesSource(const BytesSource&) = delete;
    BytesSource& operator=(const BytesSource&) = delete;

    std::size_t read(void* buffer, std::size_t count) {
        const std::size_t n = std::min(count, bytes_.size() - pos_);
        if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    std::int64_t remaining() const { return std::int64_t(bytes_.size() - pos_); }
    void unread(std::size_t count) { pos_ -= std::min(count, pos_); }

private:
    TStream& stream_;
    ConstBytes bytes_;
    std::size_t pos_ = 0;
};

// Reads the bytes after the item header. A short read is no error: the missing bytes are zero.
template <typename Source> void readBody(Source& source, Bytes record) {
    const std::size_t body = record.size() - ItemHeader::Size;
    const std::size_t got = source.read(record.data() + ItemHeader::Size, body);
    if (got < body) std::memset(record.data() + ItemHeader::Size + got, 0, body - got);
}

} // namespace

void TCustomRecordList::LoadFromStream(TStream& stream) {
    Clear();
    bool handOver = false;
    if (ConstBytes rest; stream.Contiguous(rest)) {
        BytesSource source(stream, rest);
        handOver = loadCurrent(source);
    } else {
        StreamSource source(stream);
        handOver = loadCurrent(source);
    }
    if (handOver) LoadOldFromStream(stream, false);
}

template <typename Source> bool TCustomRecordList::loadCurrent(Source& source) {
    std::uint8_t header[ItemHeader::Size];
    bool first = true;
    while (source.read(header, sizeof header) == sizeof header) {
        const ConstBytes h(header);
        if (first && readLE<std::uint16_t>(h, 0) == OldItemHeader::StampValue) {
            source.unread(sizeof header);
            return true;
        }
        first = false;
        if (itemType(h) <= 0) throw ERecListException("Load: invalid Itemtype");
        const std::int32_t size = itemSize(h);
        if (size < ItemHeader::Size) throw ERecListException("Load: invalid Itemsize");
        if (ItemHeader::Stamp.get(h) != ItemHeader::StampValue) throw ERecListException("Load: invalid Itemstamp");
        // A size the stream cannot hold is refused before anything is allocated for it.
        if (size > largestItemSize_ && size - ItemHeader::Size > source.remaining())
            throw ERecListException("Load: invalid Itemsize");
        // Records of one stream share blocks sized to what the stream still holds.
        Record record = carve(std::size_t(size), [&] { return source.remaining() + ItemHeader::Size; });
        std::memcpy(record.data, header, sizeof header);
        readBody(source, record.bytes());
        append(std::move(record));
    }
    return false;
}

void TCustomRecordList::LoadOldFromStream(TStream& stream, bool skipStampCheck) {
    Clear();
    if (ConstBytes rest; stream.Contiguous(rest)) {
        BytesSource source(stream, rest);
        loadOld(source, skipStampCheck);
    } else {
        StreamSource source(stream);
        loadOld(source, skipStampCheck);
    }
}

template <typename Source> void TCustomRecordList::loadOld(Source& source, bool skipStampCheck) {
    std::uint8_t header[OldItemHeader::Size];
    while (source.read(header, sizeof header) == sizeof header) {
        const ConstBytes h(header);
        const std::int16_t stamp = readLE<std::int16_t>(h, 0);
        const std::int16_t id = readLE<std::int16_t>(h, 2);
        const std::int16_t type = readLE<std::int16_t>(h, 4);
        const std::int16_t size = readLE<std::int16_t>(h, 6);
        const std::int16_t reserved = readLE<std::int16_t>(h, 8);
        if (type <= 0) throw ERecListException("Old Load: invalid Itemtype");
        if (size < ItemHeader::Size) throw ERecListException("Old Load: invalid Itemsize");
        if (!skipStampCheck && std::uint16_t(stamp) != OldItemHeader::StampValue) {
            throw ERecListException("Old Load: invalid Itemstamp");
        }
        // Widening adds at most half of each old record (10 bytes to 20 or more).
        Record record = carve(std::size_t(size) + OldItemHeader::Size, [&] {
            const std::int64_t left = source.remaining();
            return left + left / 2 + ItemHeader::Size;
        });
        const Bytes r = record.bytes();
        ItemHeader::Stamp.set(r, ItemHeader::StampValue);
        ItemHeader::ID.set(r, id);
        ItemHeader::ItemType.set(r, type);
        ItemHeader::ItemSize.set(r, std::int32_t(size) + OldItemHeader::Size);
        ItemHeader::Reserved.set(r, reserved);
        readBody(source, r);
        append(std::move(record));
    }
}

int TCustomRecordList::StreamFormat(TStream& stream) {
    std::uint8_t header[ItemHeader::Size];
    const std::size_t got = stream.Read(header, sizeof header);
    if (got == 0) return sfNothing;
    stream.Seek(-std::int64_t(got), TStream::Origin::Current);
    const ConstBytes h(header, got);
    if (got < std::size_t(OldItemHeader::Size)) return sfUnknown;
    if (readLE<std::uint16_t>(h, 0) == OldItemHeader::StampValue) return sfOld;
    if (got < std::size_t(ItemHeader::Size)) return sfUnknown;
    if (itemType(h) <= 0 || itemSize(h) < ItemHeader::Size) return sfUnknown;
    return ItemHeader::Stamp.get(h) != ItemHeader::StampValue ? sfBadStamp : sfCurrent;
}

std::int64_t TCustomRecordList::CopyToBuffer(Bytes buffer) const {
    std::size_t total = 0;
    for (const Record& r : records_) {
        if (r.size <= buffer.size() - total) {
            std::memcpy(buffer.data() + total, r.data, r.size);
            total += r.size;
        }
    }
    return std::int64_t(total);
}

void TCustomRecordList::Assign(const TCustomRecordList& source) {
    if (&source == this) return;
    Clear();
    const std::int64_t total = source.TotalSize();
    records_.reserve(source.records_.size());
    for (const Record& r : source.records_) {
        Record c = carve(r.size, [total] { return total; });
        std::memcpy(c.data, r.data, r.size);
        records_.push_back(std::move(c));
    }
    ++layout_;
}

Bytes TCustomRecordList::FindByID(std::int32_t id) {
    const std::int32_t index = IndexOfID(id);
    return index < 0 ? Bytes{} : records_[std::size_t(index)].bytes();
}

std::int32_t TCustomRecordList::IndexOfID(std::int32_t id) const {
    const auto idAt = [&](std::size_t i) { return ItemHeader::ID.get(records_[i].bytes()); };
    // Where the ID was when the index was built, if a record with that ID is still there.
    if (const auto cached = idIndex_.find(id); cached != idIndex_.end() && !idsRepeat_ &&
                                               std::size_t(cached->second) < records_.size() &&
                                               idAt(std::size_t(cached->second)) == id)
        return cached->second;
    idIndex_.clear();
    idsRepeat_ = false;
    for (std::size_t i = 0; i < records_.size(); ++i)
        idsRepeat_ |= !idIndex_.try_emplace(idAt(i), std::int32_t(i)).second;
    if (idsRepeat_) {
        // A file may hold an ID twice; the first record of it is the one, wherever it moves.
        for (std::size_t i = 0; i < records_.size(); ++i)
            if (idAt(i) == id) return std::int32_t(i);
        return -1;
    }
    const auto found = idIndex_.find(id);
    return found == idIndex_.end() ? -1 : found->second;
}

void TCustomRecordList::Exchange(std::int32_t index1, std::int32_t index2) {
    for (const std::int32_t i : {index1, index2}) {
        if (i < 0 || i >= Count()) throw ERecListException(listIndexError(i));
    }
    if (index1 == index2) return;
    Record& a = records_[std::size_t(index1)];
    Record& b = records_[std::size_t(index2)];
    if (itemType(a.bytes()) != itemType(b.bytes())) ++layout_;
    std::swap(a, b);
}

void TCustomRecordList::Move(std::int32_t curIndex, std::int32_t newIndex) {
    for (const std::int32_t i : {curIndex, newIndex}) {
        if (i < 0 || i >= Count()) throw ERecListException(listIndexError(i));
    }
    if (curIndex == newIndex) return;
    const auto from = records_.begin() + curIndex;
    const auto to = records_.begin() + newIndex;
    if (curIndex < newIndex) {
        std::rotate(from, from + 1, to + 1);
    } else {
        std::rotate(to, from, from + 1);
    }
    ++layout_;
}

// ---- typed wrapper ----

TCustomRecordListObject::TCustomRecordListObject(TCustomRecordList& list, std::int32_t itemType,
                                                 std::int32_t defaultSize)
    : list_(list), itemType_(itemType), defaultSize_(defaultSize) {}

const std::vector<std::int32_t>& TCustomRecordListObject::positions() const {
    if (positionsLayout_ != list_.Layout()) {
        positions_.clear();
        for (std::int32_t i = 0; i < list_.Count(); ++i) {
            if (itemType(list_.records_[std::size_t(i)].bytes()) == itemType_) positions_.push_back(i);
        }
        positionsLayout_ = list_.Layout();
    }
    return positions_;
}

std::int32_t TCustomRecordListObject::IndexOf(std::int32_t n) const {
    if (list_.Count() == 0) throw ERecListException("Record list is empty");
    const auto& p = positions();
    return (n >= 0 && std::size_t(n) < p.size()) ? p[std::size_t(n)] : -1;
}

std::int32_t TCustomRecordListObject::Count() const {
    return std::int32_t(positions().size());
}

Bytes TCustomRecordListObject::Items(std::int32_t n) {
    const std::int32_t index = IndexOf(n);
    if (index < 0) throw ERecListException("Index not found (type=" + std::to_string(itemType_) + ")");
    return list_.Items(index);
}

Bytes TCustomRecordListObject::AddEmpty() {
    std::vector<std::uint8_t> rec(std::size_t(std::max(defaultSize_, 0)));
    return Add(rec);
}

Bytes TCustomRecordListObject::Add(Bytes rec) {
    if (ItemHeader::ItemSize.get(rec) == 0) ItemHeader::ItemSize.set(rec, defaultSize_);
    if (ItemHeader::ItemType.get(rec) == 0) ItemHeader::ItemType.set(rec, itemType_);
    const Bytes stored = list_.Add(rec);
    if (itemType(stored) != itemType_) {
        ItemHeader::ItemType.set(stored, itemType_);
        ++list_.layout_;
    }
    return stored;
}

void TCustomRecordListObject::Update(Bytes rec, std::int32_t n) {
    list_.Update(rec, IndexOf(n));
}

void TCustomRecordListObject::Delete(std::int32_t n) {
    list_.Delete(IndexOf(n));
}

void TCustomRecordListObject::Resize(std::int32_t n, std::int32_t newSize) {
    list_.Resize(IndexOf(n), newSize);
}

std::int32_t TCustomRecordListObject::Clear() {
    std::erase_if(list_.records_,
                  [this](const TCustomRecordList::Record& r) { return itemType(r.bytes()) == itemType_; });
    ++list_.layout_;
    return list_.Count();
}

void TCustomRecordListObject::Sort() {
    if (!OnSort) return;
    const std::int32_t passes = Count();
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        for (std::int32_t n = 0; n + 1 < passes; ++n) {
            bool swap = false;
            const std::int32_t a = IndexOf(n);
            const std::int32_t b = IndexOf(n + 1);
            OnSort(*this, list_.Items(a), list_.Items(b), swap);
            if (swap) list_.Exchange(a, b);
        }
    }
}

TAppendRun::TAppendRun(TCustomRecordList& list) : list_(list), outer_(!list.runNextID_) {
    if (outer_) list_.runNextID_ = list_.NextID();
}

TAppendRun::~TAppendRun() {
    if (outer_) list_.runNextID_.reset();
}

} // namespace kovet
