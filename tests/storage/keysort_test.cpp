#include "storage/Bytes.h"
#include "storage/Dynarray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <typeinfo>
#include <vector>

using namespace kovet;

namespace {

template <typename E, typename F> void ExpectRaises(F&& f, const std::string& message) {
    try {
        f();
        ADD_FAILURE() << "nothing raised, expected \"" << message << "\"";
    } catch (const E& e) {
        EXPECT_EQ(typeid(e), typeid(E)) << typeid(e).name();
        EXPECT_EQ(std::string(e.what()), message);
    }
}

// Items of 24 bytes: a tag letter at byte 0 (a, b, c... in insertion order) and the key at
// kKeyAt, so a sort that moves only the key, or reads it at the wrong width, shows up.
constexpr std::int32_t kItem = 24;
constexpr std::int32_t kKeyAt = 2;

using Raw = std::vector<std::uint8_t>;

template <typename T> Raw key(T value) {
    Raw k(sizeof(T));
    writeLE<T>(k, 0, value);
    return k;
}

// An x87 extended value from its fields, independent of the host's long double.
Raw extended(bool negative, std::uint16_t exponent, std::uint64_t mantissa) {
    Raw k(10);
    writeLE<std::uint64_t>(k, 0, mantissa);
    writeLE<std::uint16_t>(k, 8, std::uint16_t(exponent | (negative ? 0x8000 : 0)));
    return k;
}

Raw shortString(std::string_view s) {
    Raw k(s.size() + 1);
    k[0] = std::uint8_t(s.size());
    std::copy(s.begin(), s.end(), k.begin() + 1);
    return k;
}

template <typename A> struct SortError;
template <> struct SortError<TsvDynArray> { using type = EDynArraySortError; };
template <> struct SortError<TsvDynHuge> { using type = EDynHugeSortError; };

template <typename A> class KeySort : public ::testing::Test {
protected:
    using Error = typename SortError<A>::type;

    A array{kItem};

    void add(const Raw& k, std::int32_t at = kKeyAt) {
        Raw it(kItem, 0);
        it[0] = std::uint8_t('a' + array.Count());
        std::memcpy(it.data() + at, k.data(), std::min<std::size_t>(k.size(), std::size_t(kItem - at)));
        array.Add(it.data());
    }

    std::string sorted(const std::vector<Raw>& keys, std::uint8_t type, std::int32_t at = kKeyAt) {
        for (const Raw& k : keys)
            add(k, at);
        array.Sort(at, type);
        return order();
    }

    std::string order() {
        std::string s;
        for (std::int32_t i = 0; i < array.Count(); ++i)
            s += char(array.Items(i)[0]);
        return s;
    }
};

using Containers = ::testing::Types<TsvDynArray, TsvDynHuge>;
TYPED_TEST_SUITE(KeySort, Containers);

} // namespace

TYPED_TEST(KeySort, ShortStringsIgnoreCaseAndKeepEqualKeysInOrder) {
    // Letters fold to upper case, so "_" (between "Z" and "a") sorts after every letter.
    EXPECT_EQ(this->sorted({shortString("b"), shortString("A"), shortString("a"), shortString("_"), shortString("ab"),
                            shortString(""), shortString("B")},
                           0),
              "fbceagd");
}

TYPED_TEST(KeySort, ShortStringLengthIsBoundedByTheItem) {
    // Length bytes of 200 with only three characters left in the item: both keys are "zzz"
    // as far as the item goes, so they are equal and keep their order.
    Raw k = shortString("zzz");
    k[0] = 200;
    EXPECT_EQ(this->sorted({k, k}, 0, kItem - 4), "ab");
}

TYPED_TEST(KeySort, PCharKeysCompareTheStringsPointedTo) {
    const std::string beta = "beta", upper = "Alpha", lower = "alpha", empty;
    auto pointer = [](const std::string& s) {
        const char* p = s.c_str();
        Raw k(sizeof p);
        std::memcpy(k.data(), &p, sizeof p);
        return k;
    };
    Raw null(sizeof(const char*), 0);
    EXPECT_EQ(this->sorted({pointer(beta), pointer(upper), pointer(lower), null, pointer(empty)}, 1, 8), "debca");
}

TYPED_TEST(KeySort, UnsignedBytesCharsAndBooleans) {
    for (const std::uint8_t type : {2, 3, 12}) {
        this->array.Clear();
        EXPECT_EQ(this->sorted({key<std::uint8_t>(200), key<std::uint8_t>(5), key<std::uint8_t>(0)}, type), "cba")
            << int(type);
    }
}

TYPED_TEST(KeySort, SignedBytes) {
    EXPECT_EQ(this->sorted({key<std::int8_t>(-1), key<std::int8_t>(5), key<std::int8_t>(-128)}, 4), "cab");
}

TYPED_TEST(KeySort, UnsignedWords) {
    EXPECT_EQ(this->sorted({key<std::uint16_t>(0xFFFF), key<std::uint16_t>(1), key<std::uint16_t>(0x8000),
                            key<std::uint16_t>(0x100)},
                           5),
              "bdca");
}

TYPED_TEST(KeySort, SignedWords) {
    EXPECT_EQ(
        this->sorted({key<std::int16_t>(-1), key<std::int16_t>(5), key<std::int16_t>(0), key<std::int16_t>(0x100)}, 6),
        "acbd");
}

TYPED_TEST(KeySort, SignedLongsUseAllFourBytes) {
    for (const std::uint8_t type : {7, 13}) {
        this->array.Clear();
        EXPECT_EQ(this->sorted({key<std::int32_t>(0x10000), key<std::int32_t>(1),
                                key<std::int32_t>(std::numeric_limits<std::int32_t>::max()),
                                key<std::int32_t>(std::numeric_limits<std::int32_t>::min()), key<std::int32_t>(-2)},
                               type),
                  "debac")
            << int(type);
    }
}

TYPED_TEST(KeySort, SinglesCompareAsFloats) {
    // As integers -1.5 would sort after -2.5.
    EXPECT_EQ(this->sorted({key<float>(-1.5f), key<float>(2.25f), key<float>(-2.5f), key<float>(0.0f)}, 8), "cadb");
}

TYPED_TEST(KeySort, DoublesAndDateTimesUseAllEightBytes) {
    // 1.0, 2.0 and 4.0 have identical low words: a narrower read would see equal keys.
    for (const std::uint8_t type : {9, 10}) {
        this->array.Clear();
        EXPECT_EQ(
            this->sorted({key<double>(4.0), key<double>(1.0), key<double>(-2.0), key<double>(2.0), key<double>(1e300)},
                         type),
            "cbdae")
            << int(type);
    }
}

TYPED_TEST(KeySort, ExtendedKeysKeepTheirFullRangeAndPrecision) {
    const std::uint64_t one = 0x8000000000000000ull;
    // Each pair below is equal once narrowed to a double, and stands in the wrong order.
    EXPECT_EQ(this->sorted(
                  {
                      extended(false, 16383, one | 1),         // a: 1 + 2^-63
                      extended(false, 16383, one),             // b: 1
                      extended(false, 0x7FFF, one),            // c: +infinity
                      extended(false, 20000, one),             // d: far above double's range
                      extended(false, 0, 1),                   // e: smallest denormal
                      extended(false, 0, 0),                   // f: zero
                      extended(true, 16384, one | (one >> 1)), // g: -3
                      extended(true, 0x7FFF, one),             // h: -infinity
                      extended(false, 16384, one),             // i: 2
                  },
                  11),
              "hgfebaidc");
}

TYPED_TEST(KeySort, NaNKeysAreNeverSwapped) {
    // A NaN is neither greater nor smaller than anything: each pass walks past it.
    const Raw nanF = key<float>(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(this->sorted({key<float>(2), key<float>(1), nanF, key<float>(4), key<float>(3)}, 8), "baced");
    this->array.Clear();
    // Nothing ever crosses a NaN: the 9 before it stays first, though 5 and 8 are smaller.
    EXPECT_EQ(this->sorted({key<float>(9), nanF, key<float>(5), key<float>(8)}, 8), "abcd");
    this->array.Clear();
    const Raw nanD = key<double>(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(this->sorted({nanD, key<double>(3), key<double>(1), key<double>(2)}, 9), "acdb");
    this->array.Clear();
    const Raw nanX = extended(false, 0x7FFF, 0xC000000000000000ull);
    const Raw two = extended(false, 16384, 0x8000000000000000ull);
    const Raw one = extended(false, 16383, 0x8000000000000000ull);
    EXPECT_EQ(this->sorted({two, one, nanX, two, one}, 11), "baced");
}

TYPED_TEST(KeySort, InvalidSortTypeNeedsTwoItemsToBeNoticed) {
    using Error = typename TestFixture::Error;
    this->array.Sort(kKeyAt, 14); // empty
    this->add(key<std::uint8_t>(2));
    this->array.Sort(kKeyAt, 14);
    this->array.Sort(kKeyAt, 255);
    this->add(key<std::uint8_t>(1));
    for (const std::uint8_t bad : {14, 255}) {
        ExpectRaises<Error>([&] { this->array.Sort(kKeyAt, bad); }, "Dynamic Array: Invalid sort type");
    }
    EXPECT_EQ(this->order(), "ab");
}

TYPED_TEST(KeySort, KeyOffsetOutsideTheItemIsCheckedFirst) {
    using Error = typename TestFixture::Error;
    // Checked even on an empty array, and before the sort type.
    ExpectRaises<Error>([&] { this->array.Sort(-1, 2); }, "Dynamic Array: Error sorting array.");
    this->add(key<std::uint8_t>(2));
    this->add(key<std::uint8_t>(1));
    ExpectRaises<Error>([&] { this->array.Sort(kItem, 2); }, "Dynamic Array: Error sorting array.");
    ExpectRaises<Error>([&] { this->array.Sort(kItem, 14); }, "Dynamic Array: Error sorting array.");
    EXPECT_EQ(this->order(), "ab");
    this->array.Sort(kItem - 1, 2); // the last byte is a valid key position
    EXPECT_EQ(this->order(), "ab");
    this->array.Sort(kItem - 1, 11); // a key sticking out of the item is never read past it
    EXPECT_EQ(this->order(), "ab");
}
