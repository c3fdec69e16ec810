#pragma once

#include "Exception.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kovet {

class EDynArrayException : public Exception {
public:
    using Exception::Exception;
};
class EDynArrayCreateError : public EDynArrayException {
public:
    using EDynArrayException::EDynArrayException;
};
class EDynArrayIndexBounds : public EDynArrayException {
public:
    using EDynArrayException::EDynArrayException;
};
class EDynArrayResources : public EDynArrayException {
public:
    using EDynArrayException::EDynArrayException;
};
class EDynArrayAddError : public EDynArrayException {
public:
    using EDynArrayException::EDynArrayException;
};
class EDynArrayDelError : public EDynArrayException {
public:
    using EDynArrayException::EDynArrayException;
};
class EDynArrayShiftError : public EDynArrayException {
public:
    using EDynArrayException::EDynArrayException;
};
class EDynArraySwapError : public EDynArrayException {
public:
    using EDynArrayException::EDynArrayException;
};
class EDynArraySortError : public EDynArrayException {
public:
    using EDynArrayException::EDynArrayException;
};

class EDynHugeException : public Exception {
public:
    using Exception::Exception;
};
class EDynHugeCreateError : public EDynHugeException {
public:
    using EDynHugeException::EDynHugeException;
};
class EDynHugeMemError : public EDynHugeException {
public:
    using EDynHugeException::EDynHugeException;
};
class EDynHugeIndexError : public EDynHugeException {
public:
    using EDynHugeException::EDynHugeException;
};
class EDynHugeSortError : public EDynHugeException {
public:
    using EDynHugeException::EDynHugeException;
};

// Key kinds for Sort, read at a byte offset inside each item. All orders are ascending.
enum class TSortType : std::uint8_t {
    ShortString = 0, // length byte + characters, ASCII case folded
    PChar = 1,       // pointer to a zero-terminated string, ASCII case folded
    Byte = 2,
    Char = 3,
    ShortInt = 4,
    Word = 5,
    SmallInt = 6,
    Integer = 7,
    Single = 8,
    Double = 9,
    DateTime = 10,
    Extended = 11, // 80-bit x87 extended
    Boolean = 12,
    LongInt = 13,
};

// Fixed-size items packed in one block, addressed by index. Growth is exact: the block
// always holds count x item size bytes.
class TsvDynArray {
public:
    explicit TsvDynArray(std::int32_t itemSize);

    std::int32_t ItemSize() const { return itemSize_; }
    std::int32_t Count() const { return std::int32_t(data_.size() / std::size_t(itemSize_)); }
    std::int32_t ByteSize() const { return std::int32_t(data_.size()); }

    void Clear();
    // Each returns the data block; pointers into it are invalid after the next change.
    std::uint8_t* Add(const void* item);
    std::uint8_t* Insert(std::int32_t index, const void* item);
    std::uint8_t* Delete(std::int32_t index);
    void Move(std::int32_t fromIndex, std::int32_t toIndex);
    void Swap(std::int32_t index1, std::int32_t index2);
    void Sort(std::int32_t keyOffset, std::uint8_t sortType);
    std::uint8_t* Items(std::int32_t index);

private:
    std::int32_t itemSize_;
    std::vector<std::uint8_t> data_;
};

// Fixed-size items packed in an in-memory stream: item I lies at byte I x item size.
class TsvDynHuge {
public:
    explicit TsvDynHuge(std::int32_t itemSize);

    std::int32_t ItemSize() const { return itemSize_; }
    std::int32_t Count() const { return std::int32_t(data_.size() / std::size_t(itemSize_)); }

    void Clear();
    void Add(const void* item);
    void Delete(std::int32_t index);
    std::uint8_t* Items(std::int32_t index);
    void Swap(std::int32_t index1, std::int32_t index2);
    void Sort(std::int32_t keyOffset, std::uint8_t sortType);

private:
    std::int32_t itemSize_;
    std::vector<std::uint8_t> data_;
};

} // namespace kovet
