#include "Dynarray.h"

#include "KeySort.h"

#include <cstring>
#include <new>

namespace kovet {
namespace {

constexpr std::int32_t kMaxItemSize = 65519;

bool validItemSize(std::int32_t itemSize) {
    return itemSize > 0 && itemSize <= kMaxItemSize;
}

bool inside(std::int32_t index, std::int32_t count) {
    return index >= 0 && index < count;
}

template <typename SortError>
void sortOrThrow(std::vector<std::uint8_t>& data, std::int32_t itemSize, std::int32_t keyOffset,
                 std::uint8_t sortType) {
    switch (SortPackedItems(data, std::size_t(itemSize), keyOffset, sortType)) {
    case KeySortError::None: return;
    case KeySortError::BadOffset: throw SortError("Dynamic Array: Error sorting array.");
    case KeySortError::BadType: throw SortError("Dynamic Array: Invalid sort type");
    }
}

void swapItems(std::vector<std::uint8_t>& data, std::int32_t itemSize, std::int32_t index1, std::int32_t index2) {
    std::uint8_t* a = data.data() + std::size_t(index1) * std::size_t(itemSize);
    std::uint8_t* b = data.data() + std::size_t(index2) * std::size_t(itemSize);
    std::swap_ranges(a, a + itemSize, b);
}

} // namespace

TsvDynArray::TsvDynArray(std::int32_t itemSize) : itemSize_(itemSize) {
    if (!validItemSize(itemSize)) throw EDynArrayCreateError("Dynamic Array: Invalid Item Size");
}

void TsvDynArray::Clear() {
    data_.clear();
    data_.shrink_to_fit();
}

std::uint8_t* TsvDynArray::Add(const void* item) {
    return Insert(Count(), item);
}

std::uint8_t* TsvDynArray::Insert(std::int32_t index, const void* item) {
    const std::int32_t count = Count();
    if (count == 0) index = 0;
    if (index < 0 || index > count) throw EDynArrayIndexBounds("Dynamic Array: Index out of Bounds.");
    try {
        const auto* bytes = static_cast<const std::uint8_t*>(item);
        data_.insert(data_.begin() + std::ptrdiff_t(index) * itemSize_, bytes, bytes + itemSize_);
    } catch (const std::bad_alloc&) {
        throw EDynArrayResources("Dynamic Array: Out of resources during Add.");
    }
    return data_.data();
}

std::uint8_t* TsvDynArray::Delete(std::int32_t index) {
    const std::int32_t count = Count();
    if (count == 0) throw EDynArrayDelError("Dynamic Array: Unable to delete element.");
    if (index < 0) throw EDynArrayIndexBounds("Dynamic Array: Index out of Bounds.");
    if (index >= count) index = count - 1;
    const auto first = data_.begin() + std::ptrdiff_t(index) * itemSize_;
    data_.erase(first, first + itemSize_);
    return data_.empty() ? nullptr : data_.data();
}

void TsvDynArray::Move(std::int32_t fromIndex, std::int32_t toIndex) {
    const std::int32_t count = Count();
    if (count == 0) throw EDynArrayShiftError("Dynamic Array: Unable to move element.");
    if (!inside(fromIndex, count) || !inside(toIndex, count) || fromIndex == toIndex) {
        throw EDynArrayIndexBounds("Dynamic Array: Index out of Bounds.");
    }
    const std::vector<std::uint8_t> item(data_.begin() + std::ptrdiff_t(fromIndex) * itemSize_,
                                         data_.begin() + std::ptrdiff_t(fromIndex + 1) * itemSize_);
    Delete(fromIndex);
    Insert(toIndex, item.data());
}

void TsvDynArray::Swap(std::int32_t index1, std::int32_t index2) {
    const std::int32_t count = Count();
    if (count == 0) throw EDynArraySwapError("Dynamic Array: Unable to swap elements.");
    if (!inside(index1, count) || !inside(index2, count) || index1 == index2) {
        throw EDynArrayIndexBounds("Dynamic Array: Index out of Bounds.");
    }
    swapItems(data_, itemSize_, index1, index2);
}

void TsvDynArray::Sort(std::int32_t keyOffset, std::uint8_t sortType) {
    sortOrThrow<EDynArraySortError>(data_, itemSize_, keyOffset, sortType);
}

std::uint8_t* TsvDynArray::Items(std::int32_t index) {
    if (!inside(index, Count())) throw EDynArrayIndexBounds("Dynamic Array: Index out of bounds.");
    return data_.data() + std::size_t(index) * std::size_t(itemSize_);
}

TsvDynHuge::TsvDynHuge(std::int32_t itemSize) : itemSize_(itemSize) {
    if (!validItemSize(itemSize)) throw EDynHugeCreateError("Dynamic Array: Invalid Item Size");
}

void TsvDynHuge::Clear() {
    data_ = {};
}

void TsvDynHuge::Add(const void* item) {
    try {
        const auto* bytes = static_cast<const std::uint8_t*>(item);
        data_.insert(data_.end(), bytes, bytes + itemSize_);
    } catch (const std::bad_alloc&) {
        throw EDynHugeMemError("Dynamic Array: Out of resources during Add.");
    }
}

void TsvDynHuge::Delete(std::int32_t index) {
    if (!inside(index, Count())) throw EDynHugeIndexError("Dynamic Array: Index out of bounds in Delete.");
    const auto first = data_.begin() + std::ptrdiff_t(index) * itemSize_;
    data_.erase(first, first + itemSize_);
}

std::uint8_t* TsvDynHuge::Items(std::int32_t index) {
    if (!inside(index, Count())) throw EDynHugeIndexError("Dynamic Array: Index out of bounds in Insert.");
    return data_.data() + std::size_t(index) * std::size_t(itemSize_);
}

void TsvDynHuge::Swap(std::int32_t index1, std::int32_t index2) {
    const std::int32_t count = Count();
    if (count == 0) throw EDynHugeIndexError("Dynamic Array: Count must be > 1");
    if (!inside(index1, count) || !inside(index2, count) || index1 == index2) {
        throw EDynHugeIndexError("Dynamic Array: Index out of Bounds.");
    }
    swapItems(data_, itemSize_, index1, index2);
}

void TsvDynHuge::Sort(std::int32_t keyOffset, std::uint8_t sortType) {
    sortOrThrow<EDynHugeSortError>(data_, itemSize_, keyOffset, sortType);
}

} // namespace kovet
