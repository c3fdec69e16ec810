#include "storage/Dynarray.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <typeinfo>

using namespace kovet;

namespace {

// The exact class matters, not only the family: callers catch them one by one.
template <typename E, typename F> void ExpectRaises(F&& f, const std::string& message) {
    try {
        f();
        ADD_FAILURE() << "nothing raised, expected \"" << message << "\"";
    } catch (const E& e) {
        EXPECT_EQ(typeid(e), typeid(E)) << typeid(e).name();
        EXPECT_EQ(std::string(e.what()), message);
    }
}
#define EXPECT_RAISES(Type, statement, message)                                                                        \
    do {                                                                                                               \
        SCOPED_TRACE(#statement);                                                                                      \
        ExpectRaises<Type>([&] { statement; }, message);                                                               \
    } while (0)

using Item = std::array<char, 4>;

Item item(char c) {
    return {c, c, c, c};
}

template <typename A> std::string tags(A& a) {
    std::string s;
    for (std::int32_t i = 0; i < a.Count(); ++i)
        s += char(a.Items(i)[0]);
    return s;
}

template <typename A> void fill(A& a, std::string_view s) {
    for (const char c : s)
        a.Add(item(c).data());
}

} // namespace

static_assert(std::is_base_of_v<Exception, EDynArrayException>);
static_assert(std::is_base_of_v<EDynArrayException, EDynArrayCreateError>);
static_assert(std::is_base_of_v<EDynArrayException, EDynArrayIndexBounds>);
static_assert(std::is_base_of_v<EDynArrayException, EDynArrayResources>);
static_assert(std::is_base_of_v<EDynArrayException, EDynArrayAddError>);
static_assert(std::is_base_of_v<EDynArrayException, EDynArrayDelError>);
static_assert(std::is_base_of_v<EDynArrayException, EDynArrayShiftError>);
static_assert(std::is_base_of_v<EDynArrayException, EDynArraySwapError>);
static_assert(std::is_base_of_v<EDynArrayException, EDynArraySortError>);
static_assert(std::is_base_of_v<Exception, EDynHugeException>);
static_assert(!std::is_base_of_v<EDynArrayException, EDynHugeException>);
static_assert(std::is_base_of_v<EDynHugeException, EDynHugeCreateError>);
static_assert(std::is_base_of_v<EDynHugeException, EDynHugeMemError>);
static_assert(std::is_base_of_v<EDynHugeException, EDynHugeIndexError>);
static_assert(std::is_base_of_v<EDynHugeException, EDynHugeSortError>);

TEST(DynArrayCreate, AcceptsOnlyItemSizesFromOneTo65519) {
    for (const std::int32_t bad : {0, -1, 65520, 1 << 30}) {
        EXPECT_RAISES(EDynArrayCreateError, TsvDynArray a(bad), "Dynamic Array: Invalid Item Size");
        EXPECT_RAISES(EDynHugeCreateError, TsvDynHuge h(bad), "Dynamic Array: Invalid Item Size");
    }
    TsvDynArray big(65519);
    EXPECT_EQ(big.ItemSize(), 65519);
    EXPECT_EQ(big.Count(), 0);
    TsvDynHuge one(1);
    EXPECT_EQ(one.ItemSize(), 1);
}

TEST(DynArrayGrowth, ByteSizeFollowsTheCountExactly) {
    TsvDynArray a(4);
    EXPECT_EQ(a.ByteSize(), 0);
    const std::uint8_t* block = a.Add(item('a').data());
    EXPECT_EQ(block, a.Items(0));
    fill(a, "bc");
    EXPECT_EQ(a.Count(), 3);
    EXPECT_EQ(a.ByteSize(), 12);
    EXPECT_EQ(a.Items(2) - a.Items(0), 8);
    a.Delete(0);
    EXPECT_EQ(a.ByteSize(), 8);
    a.Clear();
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.ByteSize(), 0);
    EXPECT_RAISES(EDynArrayIndexBounds, a.Items(0), "Dynamic Array: Index out of bounds.");
}

TEST(DynArrayItems, OutsideTheArrayRaisesLowerCaseBounds) {
    TsvDynArray a(4);
    fill(a, "ab");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Items(-1), "Dynamic Array: Index out of bounds.");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Items(2), "Dynamic Array: Index out of bounds.");
    EXPECT_EQ(a.Items(1)[3], 'b');
}

TEST(DynArrayInsert, PlacesBeforeTheIndexAndAppendsAtCount) {
    TsvDynArray a(4);
    a.Insert(5, item('x').data()); // empty: any index appends
    EXPECT_EQ(tags(a), "x");
    a.Insert(0, item('a').data());
    a.Insert(2, item('z').data());
    a.Insert(1, item('m').data());
    EXPECT_EQ(tags(a), "amxz");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(a.Items(1)), 4), "mmmm");
}

TEST(DynArrayInsert, OutsideZeroToCountRaisesAndLeavesTheArray) {
    TsvDynArray a(4);
    fill(a, "abc");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Insert(4, item('q').data()), "Dynamic Array: Index out of Bounds.");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Insert(-1, item('q').data()), "Dynamic Array: Index out of Bounds.");
    EXPECT_EQ(tags(a), "abc");
    EXPECT_EQ(a.ByteSize(), 12);
}

TEST(DynArrayDelete, ShiftsDownAndClampsToTheLastItem) {
    TsvDynArray a(4);
    EXPECT_RAISES(EDynArrayDelError, a.Delete(0), "Dynamic Array: Unable to delete element.");
    fill(a, "abcde");
    a.Delete(1);
    EXPECT_EQ(tags(a), "acde");
    a.Delete(a.Count() + 3);
    EXPECT_EQ(tags(a), "acd");
    a.Delete(2);
    EXPECT_EQ(tags(a), "ac");
    a.Delete(0);
    a.Delete(0);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_RAISES(EDynArrayDelError, a.Delete(0), "Dynamic Array: Unable to delete element.");
}

TEST(DynArrayMove, TakesOutAndReinserts) {
    TsvDynArray a(4);
    EXPECT_RAISES(EDynArrayShiftError, a.Move(0, 1), "Dynamic Array: Unable to move element.");
    fill(a, "abcd");
    a.Move(0, 2);
    EXPECT_EQ(tags(a), "bcad");
    a.Move(3, 0);
    EXPECT_EQ(tags(a), "dbca");
    a.Move(1, 3);
    EXPECT_EQ(tags(a), "dcab");
}

TEST(DynArrayMove, EqualOrOutsideIndicesRaiseCapitalBounds) {
    TsvDynArray a(4);
    fill(a, "abc");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Move(2, 2), "Dynamic Array: Index out of Bounds.");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Move(-1, 0), "Dynamic Array: Index out of Bounds.");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Move(0, 3), "Dynamic Array: Index out of Bounds.");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Move(3, 0), "Dynamic Array: Index out of Bounds.");
    EXPECT_EQ(tags(a), "abc");
}

TEST(DynArraySwap, ExchangesTwoItemsAndChecksIndices) {
    TsvDynArray a(4);
    EXPECT_RAISES(EDynArraySwapError, a.Swap(0, 1), "Dynamic Array: Unable to swap elements.");
    fill(a, "abc");
    a.Swap(0, 2);
    EXPECT_EQ(tags(a), "cba");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Swap(1, 1), "Dynamic Array: Index out of Bounds.");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Swap(0, 3), "Dynamic Array: Index out of Bounds.");
    EXPECT_RAISES(EDynArrayIndexBounds, a.Swap(-1, 0), "Dynamic Array: Index out of Bounds.");
    EXPECT_EQ(tags(a), "cba");
}

TEST(DynHuge, ItemsArePackedAtIndexTimesItemSize) {
    TsvDynHuge h(4);
    fill(h, "abc");
    EXPECT_EQ(h.Count(), 3);
    EXPECT_EQ(h.Items(1) - h.Items(0), 4);
    EXPECT_EQ(h.Items(2) - h.Items(0), 8);
    EXPECT_EQ(tags(h), "abc");
    h.Clear();
    EXPECT_EQ(h.Count(), 0);
    fill(h, "z");
    EXPECT_EQ(tags(h), "z");
}

TEST(DynHuge, IndexMessagesNameTheOperation) {
    TsvDynHuge h(4);
    EXPECT_RAISES(EDynHugeIndexError, h.Delete(0), "Dynamic Array: Index out of bounds in Delete.");
    EXPECT_RAISES(EDynHugeIndexError, h.Items(0), "Dynamic Array: Index out of bounds in Insert.");
    fill(h, "ab");
    EXPECT_RAISES(EDynHugeIndexError, h.Delete(2), "Dynamic Array: Index out of bounds in Delete.");
    EXPECT_RAISES(EDynHugeIndexError, h.Delete(-1), "Dynamic Array: Index out of bounds in Delete.");
    EXPECT_RAISES(EDynHugeIndexError, h.Items(2), "Dynamic Array: Index out of bounds in Insert.");
    EXPECT_RAISES(EDynHugeIndexError, h.Items(-1), "Dynamic Array: Index out of bounds in Insert.");
    EXPECT_EQ(tags(h), "ab");
}

TEST(DynHuge, DeleteMovesTheTailDown) {
    TsvDynHuge h(4);
    fill(h, "abcd");
    h.Delete(1);
    EXPECT_EQ(tags(h), "acd");
    h.Delete(2);
    EXPECT_EQ(tags(h), "ac");
    h.Delete(0);
    EXPECT_EQ(tags(h), "c");
}

TEST(DynHuge, SwapNeedsItemsAndTwoDifferentIndices) {
    TsvDynHuge h(4);
    EXPECT_RAISES(EDynHugeIndexError, h.Swap(0, 1), "Dynamic Array: Count must be > 1");
    fill(h, "abc");
    h.Swap(2, 0);
    EXPECT_EQ(tags(h), "cba");
    EXPECT_RAISES(EDynHugeIndexError, h.Swap(1, 1), "Dynamic Array: Index out of Bounds.");
    EXPECT_RAISES(EDynHugeIndexError, h.Swap(0, 3), "Dynamic Array: Index out of Bounds.");
    EXPECT_EQ(tags(h), "cba");
}
