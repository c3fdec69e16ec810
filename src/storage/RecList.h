#pragma once

#include "Exception.h"
#include "RecordField.h"
#include "Stream.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kovet {

class ERecListException : public Exception {
public:
    using Exception::Exception;
};

// The 20-byte header at the start of every record.
namespace ItemHeader {
inline constexpr std::int32_t Size = 20;
inline constexpr std::uint32_t StampValue = 0x6D5F80A9;
inline constexpr U32Field Stamp{"Stamp", 0};
inline constexpr I32Field ID{"ID", 4};
inline constexpr I32Field ItemType{"ItemType", 8};
inline constexpr I32Field ItemSize{"ItemSize", 12};
inline constexpr I32Field Reserved{"Reserved", 16};
} // namespace ItemHeader

// The 10-byte header of the older stream encoding.
namespace OldItemHeader {
inline constexpr std::int32_t Size = 10;
inline constexpr std::uint16_t StampValue = 0x6FED;
} // namespace OldItemHeader

// What StreamFormat finds at a stream's position.
enum StreamFormatCode : int {
    sfNothing = -1, // no byte to read
    sfCurrent = 0,  // 20-byte item headers
    sfOld = 1,      // 10-byte item headers
    sfBadStamp = 2, // plausible current header with a foreign stamp
    sfUnknown = 3,  // too short or implausible
};

// An ordered list of variable-size typed records; its stream is the records back to back.
class TCustomRecordListObject;

class TCustomRecordList {
public:
    TCustomRecordList() = default;
    virtual ~TCustomRecordList() = default;
    TCustomRecordList(const TCustomRecordList&) = delete;
    TCustomRecordList& operator=(const TCustomRecordList&) = delete;

    std::int32_t Count() const { return std::int32_t(records_.size()); }
    std::int64_t TotalSize() const;
    Bytes Items(std::int32_t index);
    ConstBytes Items(std::int32_t index) const;
    Bytes First();
    std::int32_t NextID() const;

    void Clear();
    Bytes Add(ConstBytes rec);
    void Update(Bytes rec, std::int32_t index);
    void Delete(std::int32_t index);
    void Resize(std::int32_t index, std::int32_t newSize);

    void SaveToFile(const std::filesystem::path& fileName) const;
    void SaveToStream(TStream& stream) const;
    void LoadFromStream(TStream& stream);
    void LoadOldFromStream(TStream& stream, bool skipStampCheck);
    static int StreamFormat(TStream& stream);

    std::int64_t CopyToBuffer(Bytes buffer) const;
    void Assign(const TCustomRecordList& source);
    Bytes FindByID(std::int32_t id); // empty when there is none
    // The position of the first record with that ID, or -1. An index of the IDs, checked
    // against the record at the place it names and rebuilt when that is wrong, keeps lookups
    // of a whole selection from scanning the list once per object.
    std::int32_t IndexOfID(std::int32_t id) const;
    void Exchange(std::int32_t index1, std::int32_t index2);
    void Move(std::int32_t curIndex, std::int32_t newIndex);

    // Changes whenever the set of positions holding each record type may have changed.
    // Typed wrappers key their caches on it; a record's ItemType must therefore only be
    // changed through Update, never by writing into its bytes.
    std::uint64_t Layout() const { return layout_; }

protected:
    // Loading refuses a record claiming more than this many bytes when the stream cannot
    // hold it either, instead of allocating what the claim says. Lists that know their
    // record types set their own limit; others allow 1 MiB, so that a cut-short stream of
    // ordinary records still loads while a damaged size of gigabytes is refused.
    void SetLargestItemSize(std::int32_t size) { largestItemSize_ = size; }

private:
    friend class TCustomRecordListObject;
    friend class TAppendRun;

    // A record's bytes live either in a block of its own or, for records that arrived
    // together (a load, an assign), packed in one of the list's shared blocks.
    struct Record {
        std::uint8_t* data = nullptr;
        std::size_t size = 0;
        std::unique_ptr<std::uint8_t[]> own;
        Bytes bytes() const { return {data, size}; }
    };
    static Record allocate(std::size_t size);
    // Uninitialised room for a record in the current shared block, or in a new one of at
    // least expected() bytes.
    template <typename Expected> Record carve(std::size_t size, Expected expected);
    // The loops of the two stream formats; loadCurrent returns true when the data turns
    // out to be in the older format and is to be read again from its start.
    template <typename Source> bool loadCurrent(Source& source);
    template <typename Source> void loadOld(Source& source, bool skipStampCheck);
    void checkIndex(std::int32_t index, const char* message) const;
    void append(Record&& record);

    std::vector<Record> records_;
    std::vector<std::unique_ptr<std::uint8_t[]>> blocks_;
    std::uint8_t* blockFree_ = nullptr;
    std::size_t blockLeft_ = 0;
    std::uint64_t layout_ = 0;
    std::int32_t largestItemSize_ = 1 << 20;
    mutable std::unordered_map<std::int32_t, std::int32_t> idIndex_;
    mutable bool idsRepeat_ = false;
    // While an append run lives: the ID the next added record gets.
    std::optional<std::int32_t> runNextID_;
};

// Many records appended in one go (an import): while the run lives, the list hands out IDs
// counting on from the largest it held when the run began, so that n appends cost n steps
// instead of n scans of the list. IDs must not be written through Items meanwhile.
class TAppendRun {
public:
    explicit TAppendRun(TCustomRecordList& list);
    ~TAppendRun();
    TAppendRun(const TAppendRun&) = delete;
    TAppendRun& operator=(const TAppendRun&) = delete;

private:
    TCustomRecordList& list_;
    bool outer_;
};

// Access to the records of one type as if they formed a list of their own.
class TCustomRecordListObject {
public:
    using TSortEvent =
        std::function<void(TCustomRecordListObject& sender, ConstBytes rec1, ConstBytes rec2, bool& swap)>;

    TCustomRecordListObject(TCustomRecordList& list, std::int32_t itemType, std::int32_t defaultSize);
    virtual ~TCustomRecordListObject() = default;
    TCustomRecordListObject(const TCustomRecordListObject&) = delete;
    TCustomRecordListObject& operator=(const TCustomRecordListObject&) = delete;

    std::int32_t ItemType() const { return itemType_; }
    std::int32_t DefaultSize() const { return defaultSize_; }
    TCustomRecordList& List() const { return list_; }

    std::int32_t IndexOf(std::int32_t n) const;
    std::int32_t Count() const;
    Bytes Items(std::int32_t n);

    virtual Bytes AddEmpty();
    virtual Bytes Add(Bytes rec);
    virtual void Update(Bytes rec, std::int32_t n);
    virtual void Delete(std::int32_t n);
    virtual void Resize(std::int32_t n, std::int32_t newSize);
    virtual std::int32_t Clear();
    virtual void Sort();

    TSortEvent OnSort;

private:
    const std::vector<std::int32_t>& positions() const;

    TCustomRecordList& list_;
    std::int32_t itemType_;
    std::int32_t defaultSize_;
    mutable std::vector<std::int32_t> positions_;
    mutable std::uint64_t positionsLayout_ = std::numeric_limits<std::uint64_t>::max();
};

} // namespace kovet
