#include "KeySort.h"

#include "Bytes.h"
#include "Text1252.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace kovet {
namespace {

constexpr std::uint8_t kLastSortType = 13;

int compareFolded(const std::uint8_t* a, std::size_t lenA, const std::uint8_t* b, std::size_t lenB) {
    const std::size_t n = std::min(lenA, lenB);
    for (std::size_t i = 0; i < n; ++i) {
        const int d = int(std::uint8_t(AsciiUpperChar(char(a[i])))) - int(std::uint8_t(AsciiUpperChar(char(b[i]))));
        if (d != 0) return d;
    }
    return lenA < lenB ? -1 : (lenA > lenB ? 1 : 0);
}

// An x87 80-bit extended value; long double holds it exactly on the platforms we build for.
long double readExtended(ConstBytes item, std::size_t offset) {
    const std::uint64_t mantissa = readLE<std::uint64_t>(item, offset);
    const std::uint16_t signExp = readLE<std::uint16_t>(item, offset + 8);
    const int exponent = signExp & 0x7FFF;
    const bool negative = (signExp & 0x8000) != 0;
    long double value;
    if (exponent == 0x7FFF) {
        value = (mantissa << 1) == 0 ? HUGE_VALL : NAN;
    } else {
        value = std::ldexp(static_cast<long double>(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
    }
    return negative ? -value : value;
}

class KeyReader {
public:
    KeyReader(std::size_t itemSize, std::size_t keyOffset, std::uint8_t type)
        : itemSize_(itemSize), offset_(keyOffset), type_(type) {}

    // Compares the keys of two items: negative, zero or positive.
    int compare(const std::uint8_t* a, const std::uint8_t* b) const {
        const ConstBytes ia(a, itemSize_), ib(b, itemSize_);
        switch (type_) {
        case 0: return compareShortStrings(ia, ib);
        case 1: return comparePChars(ia, ib);
        case 2:
        case 3:
        case 12: return three(readLE<std::uint8_t>(ia, offset_), readLE<std::uint8_t>(ib, offset_));
        case 4: return three(readLE<std::int8_t>(ia, offset_), readLE<std::int8_t>(ib, offset_));
        case 5: return three(readLE<std::uint16_t>(ia, offset_), readLE<std::uint16_t>(ib, offset_));
        case 6: return three(readLE<std::int16_t>(ia, offset_), readLE<std::int16_t>(ib, offset_));
        case 7:
        case 13: return three(readLE<std::int32_t>(ia, offset_), readLE<std::int32_t>(ib, offset_));
        case 8: return three(readLE<float>(ia, offset_), readLE<float>(ib, offset_));
        case 9:
        case 10: return three(readLE<double>(ia, offset_), readLE<double>(ib, offset_));
        default: return three(readExtended(ia, offset_), readExtended(ib, offset_));
        }
    }

    bool isNaN(const std::uint8_t* item) const {
        const ConstBytes i(item, itemSize_);
        switch (type_) {
        case 8: return std::isnan(readLE<float>(i, offset_));
        case 9:
        case 10: return std::isnan(readLE<double>(i, offset_));
        case 11: return std::isnan(readExtended(i, offset_));
        default: return false;
        }
    }

private:
    // Unordered values (NaN) compare as equal: never greater, so never swapped.
    template <typename T> static int three(T a, T b) { return a > b ? 1 : (a < b ? -1 : 0); }

    int compareShortStrings(ConstBytes a, ConstBytes b) const {
        auto text = [this](ConstBytes item, std::size_t& len) {
            const std::size_t start = offset_ + 1;
            len = std::min<std::size_t>(readLE<std::uint8_t>(item, offset_),
                                        start < item.size() ? item.size() - start : 0);
            return item.data() + std::min(start, item.size());
        };
        std::size_t la = 0, lb = 0;
        const std::uint8_t* ta = text(a, la);
        const std::uint8_t* tb = text(b, lb);
        return compareFolded(ta, la, tb, lb);
    }

    int comparePChars(ConstBytes a, ConstBytes b) const {
        auto pointer = [this](ConstBytes item) {
            const char* p = nullptr;
            if (offset_ + sizeof p <= item.size()) std::memcpy(&p, item.data() + offset_, sizeof p);
            return p ? p : "";
        };
        const char* pa = pointer(a);
        const char* pb = pointer(b);
        return compareFolded(reinterpret_cast<const std::uint8_t*>(pa), std::strlen(pa),
                             reinterpret_cast<const std::uint8_t*>(pb), std::strlen(pb));
    }

    std::size_t itemSize_;
    std::size_t offset_;
    std::uint8_t type_;
};

void bubbleSort(std::vector<std::uint8_t>& data, std::size_t itemSize, std::size_t count, const KeyReader& keys) {
    std::vector<std::uint8_t> temp(itemSize);
    for (std::size_t pass = 0; pass < count; ++pass) {
        bool swapped = false;
        for (std::size_t j = 0; j + 1 < count; ++j) {
            std::uint8_t* a = data.data() + j * itemSize;
            std::uint8_t* b = a + itemSize;
            if (keys.compare(a, b) > 0) {
                std::memcpy(temp.data(), a, itemSize);
                std::memcpy(a, b, itemSize);
                std::memcpy(b, temp.data(), itemSize);
                swapped = true;
            }
        }
        if (!swapped) break; // later passes could not change anything
    }
}

} // namespace

KeySortError SortPackedItems(std::vector<std::uint8_t>& data, std::size_t itemSize, std::int32_t keyOffset,
                             std::uint8_t sortType) {
    if (keyOffset < 0 || std::size_t(keyOffset) >= itemSize) return KeySortError::BadOffset;
    const std::size_t count = data.size() / itemSize;
    if (count < 2) return KeySortError::None;
    if (sortType > kLastSortType) return KeySortError::BadType;

    const KeyReader keys(itemSize, std::size_t(keyOffset), sortType);
    // NaN keys make the order partial; only the pairwise passes give the exact result then.
    for (std::size_t i = 0; i < count; ++i) {
        if (keys.isNaN(data.data() + i * itemSize)) {
            bubbleSort(data, itemSize, count, keys);
            return KeySortError::None;
        }
    }

    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return keys.compare(data.data() + a * itemSize, data.data() + b * itemSize) < 0;
    });
    std::vector<std::uint8_t> sorted(data.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(sorted.data() + i * itemSize, data.data() + order[i] * itemSize, itemSize);
    }
    data.swap(sorted);
    return KeySortError::None;
}

} // namespace kovet
