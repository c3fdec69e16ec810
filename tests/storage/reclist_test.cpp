#include "storage/RecList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <typeinfo>
#include <vector>

using namespace kovet;
namespace fs = std::filesystem;

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
#define EXPECT_RAISES(statement, message)                                                                              \
    do {                                                                                                               \
        SCOPED_TRACE(#statement);                                                                                      \
        ExpectRaises<ERecListException>([&] { statement; }, message);                                                  \
    } while (0)

using Raw = std::vector<std::uint8_t>;

// A record whose body bytes are `fill`, `fill` + 1, ... so that shifted copies show.
Raw rec(std::int32_t type, std::int32_t size, std::uint8_t fill = 0, std::int32_t id = 0,
        std::uint32_t stamp = ItemHeader::StampValue) {
    Raw r(std::size_t(std::max(size, 20)), 0);
    ItemHeader::Stamp.set(r, stamp);
    ItemHeader::ID.set(r, id);
    ItemHeader::ItemType.set(r, type);
    ItemHeader::ItemSize.set(r, size);
    for (std::size_t i = 20; i < r.size(); ++i)
        r[i] = std::uint8_t(fill + i - 20);
    return r;
}

// An old-encoding record: 10-byte header, then size - 10 body bytes.
Raw oldRec(std::int16_t type, std::int16_t size, std::uint8_t fill = 0, std::int16_t id = 1, std::int16_t reserved = 0,
           std::uint16_t stamp = 0x6FED) {
    Raw r(std::size_t(std::max<int>(size, 10)), 0);
    writeLE<std::uint16_t>(r, 0, stamp);
    writeLE<std::int16_t>(r, 2, id);
    writeLE<std::int16_t>(r, 4, type);
    writeLE<std::int16_t>(r, 6, size);
    writeLE<std::int16_t>(r, 8, reserved);
    for (std::size_t i = 10; i < r.size(); ++i)
        r[i] = std::uint8_t(fill + i - 10);
    return r;
}

Raw cat(std::initializer_list<Raw> parts) {
    Raw all;
    for (const Raw& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Raw bytesOf(ConstBytes b) {
    return Raw(b.begin(), b.end());
}

Raw saved(const TCustomRecordList& list) {
    TMemoryStream s;
    list.SaveToStream(s);
    return s.Bytes();
}

void load(TCustomRecordList& list, const Raw& bytes) {
    TMemoryStream s(bytes);
    list.LoadFromStream(s);
}

// Record i's first body byte, as a letter tag.
std::string tags(TCustomRecordList& list) {
    std::string s;
    for (std::int32_t i = 0; i < list.Count(); ++i)
        s += char(list.Items(i)[20]);
    return s;
}

std::int32_t idOf(ConstBytes r) {
    return ItemHeader::ID.get(r);
}

} // namespace

// ---- adding, reading and removing records ----

TEST(RecordListAdd, ChecksTypeBeforeSize) {
    TCustomRecordList list;
    EXPECT_RAISES(list.Add(rec(0, 19)), "Add: invalid Itemtype");
    EXPECT_RAISES(list.Add(rec(-1, 50)), "Add: invalid Itemtype");
    EXPECT_RAISES(list.Add(rec(5, 19)), "Add: invalid Itemsize");
    EXPECT_RAISES(list.Add(rec(5, -20)), "Add: invalid Itemsize");
    EXPECT_EQ(list.Count(), 0);
    list.Add(rec(5, 20));
    EXPECT_EQ(list.Count(), 1);
}

TEST(RecordListAdd, StoresAStampedCopyWithTheNextID) {
    TCustomRecordList list;
    Raw mine = rec(7, 30, 1, 55, 0);
    ItemHeader::Reserved.set(mine, -3);
    const Bytes stored = list.Add(mine);
    ASSERT_EQ(stored.size(), 30u);
    EXPECT_NE(stored.data(), mine.data());
    EXPECT_EQ(ItemHeader::Stamp.get(stored), ItemHeader::StampValue);
    EXPECT_EQ(idOf(stored), 1);
    EXPECT_EQ(ItemHeader::Reserved.get(stored), -3);
    EXPECT_TRUE(std::equal(stored.begin() + 20, stored.end(), mine.begin() + 20));
    // The caller's record is only read.
    EXPECT_EQ(ItemHeader::Stamp.get(mine), 0u);
    EXPECT_EQ(idOf(mine), 55);
    mine[25] = 0xEE;
    EXPECT_NE(list.Items(0)[25], 0xEE);
    EXPECT_EQ(list.TotalSize(), 30);
}

TEST(RecordListItems, OutsideTheListNamesTheIndex) {
    TCustomRecordList list;
    ExpectRaises<ERecListException>([&] { list.First(); }, "List index out of bounds (0)");
    list.Add(rec(1, 20));
    list.Add(rec(1, 24));
    EXPECT_RAISES(list.Items(2), "Index out of bounds (2)");
    EXPECT_RAISES(list.Items(-1), "Index out of bounds (-1)");
    EXPECT_EQ(list.First().data(), list.Items(0).data());
    EXPECT_EQ(list.Items(1).size(), 24u);
}

TEST(RecordListDelete, RemovesOneRecordOrRaises) {
    TCustomRecordList list;
    list.Add(rec(1, 21, 'a'));
    list.Add(rec(1, 22, 'b'));
    list.Add(rec(1, 23, 'c'));
    EXPECT_RAISES(list.Delete(3), "Delete: index out of bounds");
    EXPECT_RAISES(list.Delete(-1), "Delete: index out of bounds");
    list.Delete(1);
    EXPECT_EQ(tags(list), "ac");
    EXPECT_EQ(list.TotalSize(), 44);
}

TEST(RecordListNextID, IsOneMoreThanTheLargestPresent) {
    TCustomRecordList list;
    EXPECT_EQ(list.NextID(), 1);
    for (int i = 0; i < 3; ++i)
        list.Add(rec(1, 20));
    EXPECT_EQ(idOf(list.Items(2)), 3);
    list.Delete(2);
    EXPECT_EQ(list.NextID(), 3); // the deleted largest ID is handed out again
    EXPECT_EQ(idOf(list.Add(rec(1, 20))), 3);
    list.Delete(0);
    EXPECT_EQ(list.NextID(), 4);

    load(list, cat({rec(1, 20, 0, 7), rec(1, 20, 0, 3)}));
    EXPECT_EQ(list.NextID(), 8);
    load(list, cat({rec(1, 20, 0, -5), rec(1, 20, 0, -9)}));
    EXPECT_EQ(list.NextID(), -4);
}

TEST(RecordListNextID, AnAppendRunHandsOutTheSameIDsAsSingleAdds) {
    TCustomRecordList list;
    load(list, cat({rec(1, 20, 0, 7), rec(1, 20, 0, 3)}));
    {
        const TAppendRun run(list);
        const TAppendRun nested(list);
        EXPECT_EQ(idOf(list.Add(rec(1, 20))), 8);
        EXPECT_EQ(idOf(list.Add(rec(1, 20))), 9);
        list.Clear();
        EXPECT_EQ(idOf(list.Add(rec(1, 20))), 1);
    }
    EXPECT_EQ(idOf(list.Add(rec(1, 20))), 2);
    // Outside a run the list is asked again: an ID written into a record counts.
    ItemHeader::ID.set(list.Items(0), 40);
    EXPECT_EQ(list.NextID(), 41);
}

TEST(RecordListNextID, WrapsAtTheLargestIntegerInsteadOfOverflowing) {
    TCustomRecordList list;
    load(list, rec(1, 20, 0, std::numeric_limits<std::int32_t>::max()));
    EXPECT_EQ(list.NextID(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(idOf(list.Add(rec(1, 20))), std::numeric_limits<std::int32_t>::min());
}

// ---- updating and resizing in place ----

TEST(RecordListUpdate, ChecksIndexThenTypeThenSizeAndChangesNothingOnFailure) {
    TCustomRecordList list;
    list.Add(rec(3, 30, 'a'));
    const Raw before = saved(list);
    Raw bad = rec(0, 10);
    EXPECT_RAISES(list.Update(bad, 1), "Update: index out of bounds");
    EXPECT_RAISES(list.Update(bad, -1), "Update: index out of bounds");
    EXPECT_RAISES(list.Update(bad, 0), "Update: invalid Itemtype");
    Raw small = rec(3, 19);
    EXPECT_RAISES(list.Update(small, 0), "Update: invalid Itemsize");
    EXPECT_EQ(saved(list), before);
}

TEST(RecordListUpdate, TakesTheWholeHeaderAndResizesFirst) {
    TCustomRecordList list;
    list.Add(rec(3, 30, 'a'));
    list.Add(rec(3, 30, 'b'));
    Raw mine = rec(9, 50, 'x', 77, 0);
    list.Update(mine, 0);
    EXPECT_EQ(ItemHeader::Stamp.get(mine), ItemHeader::StampValue); // set in the caller's record
    const Bytes stored = list.Items(0);
    EXPECT_EQ(stored.size(), 50u);
    EXPECT_EQ(bytesOf(stored), mine);
    EXPECT_EQ(idOf(stored), 77);
    EXPECT_EQ(ItemHeader::ItemType.get(stored), 9);
    EXPECT_EQ(list.TotalSize(), 80);

    Raw shorter = rec(4, 21, 'y', 5);
    list.Update(shorter, 1);
    EXPECT_EQ(list.Items(1).size(), 21u);
    EXPECT_EQ(tags(list), "xy");
}

TEST(RecordListUpdate, AcceptsTheStoredRecordItself) {
    TCustomRecordList list;
    list.Add(rec(3, 30, 'a'));
    list.Add(rec(3, 30, 'b'));
    const Raw before = bytesOf(list.Items(0));
    list.Update(list.Items(0), 0);
    EXPECT_EQ(bytesOf(list.Items(0)), before);

    // A caller that edits the stored record's size in place and hands the same bytes back.
    Bytes same = list.Items(1);
    ItemHeader::ItemSize.set(same, 40);
    list.Update(same, 1);
    const Bytes grown = list.Items(1);
    ASSERT_EQ(grown.size(), 40u);
    EXPECT_EQ(ItemHeader::ItemSize.get(grown), 40);
    EXPECT_EQ(grown[20], 'b');
    EXPECT_EQ(grown[29], 'b' + 9);
}

TEST(RecordListResize, KeepsContentAndSetsItemSize) {
    TCustomRecordList list;
    list.Add(rec(3, 30, 'a'));
    EXPECT_RAISES(list.Resize(1, 40), "Resize: index out of bounds");
    EXPECT_RAISES(list.Resize(-1, 40), "Resize: index out of bounds");
    EXPECT_RAISES(list.Resize(0, 19), "Resize: invalid size");
    EXPECT_EQ(list.Items(0).size(), 30u);

    const Raw before = bytesOf(list.Items(0));
    list.Resize(0, 60);
    Bytes r = list.Items(0);
    ASSERT_EQ(r.size(), 60u);
    EXPECT_EQ(ItemHeader::ItemSize.get(r), 60);
    EXPECT_TRUE(std::equal(before.begin() + 16, before.end(), r.begin() + 16));
    EXPECT_EQ(list.TotalSize(), 60);
    list.Resize(0, 22);
    r = list.Items(0);
    ASSERT_EQ(r.size(), 22u);
    EXPECT_EQ(r[21], before[21]);
    EXPECT_EQ(idOf(r), 1);
}

// ---- stream format ----

TEST(RecordListStreamFormat, ClassifiesWithoutMovingThePosition) {
    struct Case {
        Raw bytes;
        int expected;
    };
    Raw oldShort = oldRec(5, 30);
    oldShort.resize(12);
    Raw badStamp = rec(5, 30, 0, 1, 0x12345678);
    badStamp.resize(20);
    const std::vector<Case> cases = {
        {{}, -1},           {Raw(9, 1), 3},
        {oldRec(5, 30), 1}, {Raw{0xED, 0x6F, 0, 0, 0, 0, 0, 0, 0, 0}, 1}, // old stamp decides before anything else
        {oldShort, 1},      {Raw(12, 1), 3},
        {Raw(19, 0xFF), 3}, {rec(0, 30), 3},
        {rec(5, 19), 3},    {badStamp, 2},
        {rec(5, 20), 0},    {rec(5, 30), 0},
    };
    for (const Case& c : cases) {
        Raw bytes = cat({Raw{9, 9, 9}, c.bytes});
        TMemoryStream s(bytes);
        s.Seek(3, TStream::Origin::Begin);
        EXPECT_EQ(TCustomRecordList::StreamFormat(s), c.expected) << c.bytes.size();
        EXPECT_EQ(s.Position(), 3);
    }
}

// ---- saving and loading ----

TEST(RecordListStream, RoundTripKeepsEveryByteAndTheOrder) {
    TCustomRecordList list;
    list.Add(rec(3, 21, 'a'));
    list.Add(rec(8, 45, 'b'));
    list.Add(rec(3, 31, 'c'));
    ItemHeader::Reserved.set(list.Items(1), 1234);
    const Raw bytes = saved(list);
    ASSERT_EQ(std::int64_t(bytes.size()), list.TotalSize());
    EXPECT_EQ(bytes, cat({bytesOf(list.Items(0)), bytesOf(list.Items(1)), bytesOf(list.Items(2))}));

    TCustomRecordList copy;
    copy.Add(rec(1, 99));
    load(copy, bytes);
    EXPECT_EQ(saved(copy), bytes);
    EXPECT_EQ(tags(copy), "abc");
    EXPECT_EQ(ItemHeader::Reserved.get(copy.Items(1)), 1234);
}

TEST(RecordListLoad, EmptyStreamGivesAnEmptyList) {
    TCustomRecordList list;
    list.Add(rec(1, 20));
    load(list, {});
    EXPECT_EQ(list.Count(), 0);
}

TEST(RecordListLoad, CutShortBodyIsZeroFilled) {
    TCustomRecordList list;
    Raw bytes = cat({rec(3, 24, 'a'), rec(3, 40, 'b')});
    bytes.resize(bytes.size() - 15); // five body bytes of the second record remain
    load(list, bytes);
    ASSERT_EQ(list.Count(), 2);
    const Bytes cut = list.Items(1);
    ASSERT_EQ(cut.size(), 40u);
    EXPECT_EQ(ItemHeader::ItemSize.get(cut), 40);
    EXPECT_EQ(cut[24], 'b' + 4);
    for (std::size_t i = 25; i < 40; ++i)
        EXPECT_EQ(cut[i], 0) << i;
}

TEST(RecordListLoad, CutHeaderAndTrailingBytesAreDropped) {
    TCustomRecordList list;
    Raw bytes = cat({rec(3, 24, 'a'), rec(3, 40, 'b')});
    bytes.resize(24 + 19);
    load(list, bytes);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(tags(list), "a");
}

TEST(RecordListLoad, ChecksTypeThenSizeThenStampAndKeepsWhatWasRead) {
    struct Case {
        Raw bad;
        const char* message;
    };
    std::vector<Case> cases = {
        {rec(0, 10, 0, 1, 0x11111111), "Load: invalid Itemtype"},
        {rec(-4, 30), "Load: invalid Itemtype"},
        {rec(2, 19, 0, 1, 0x11111111), "Load: invalid Itemsize"},
        {rec(2, 30, 0, 1, 0x11111111), "Load: invalid Itemstamp"},
    };
    // The stamp is judged before a size the stream cannot hold.
    Raw absurd = rec(2, 30, 0, 1, 0x11111111);
    ItemHeader::ItemSize.set(absurd, std::numeric_limits<std::int32_t>::max());
    cases.push_back({absurd, "Load: invalid Itemstamp"});
    for (const Case& c : cases) {
        TCustomRecordList list;
        Raw bad = c.bad;
        bad.resize(30);
        EXPECT_RAISES(load(list, cat({rec(3, 24, 'a'), bad})), c.message);
        EXPECT_EQ(tags(list), "a");
    }
}

TEST(RecordListLoad, HugeItemSizeBeyondTheStreamIsRefusedWithoutAllocating) {
    TCustomRecordList list;
    Raw bytes = rec(3, 40, 'a');
    ItemHeader::ItemSize.set(bytes, std::numeric_limits<std::int32_t>::max());
    EXPECT_RAISES(load(list, bytes), "Load: invalid Itemsize");
    EXPECT_EQ(list.Count(), 0);

    // A large record whose bytes are all there still loads.
    Raw large = rec(3, 3 << 20, 'b');
    load(list, large);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.TotalSize(), 3 << 20);
    // A cut-short record of modest size loads zero-filled.
    Raw cut = rec(3, 5000, 'c');
    cut.resize(100);
    load(list, cut);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0).size(), 5000u);
    EXPECT_EQ(list.Items(0)[4999], 0);
}

TEST(RecordListLoad, OldStampInTheFirstWordHandsOverToTheOldLoader) {
    TCustomRecordList list;
    load(list, cat({oldRec(5, 30, 'a'), oldRec(6, 25, 'b')}));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0).size(), 40u);
    EXPECT_EQ(list.Items(1).size(), 35u);
    EXPECT_EQ(tags(list), "ab");
    // The old loader checks stamps when it is reached this way.
    EXPECT_RAISES(load(list, cat({oldRec(5, 30), oldRec(6, 25, 0, 2, 0, 0x1234)})), "Old Load: invalid Itemstamp");
    EXPECT_EQ(list.Count(), 1);
}

TEST(RecordListLoad, OldRecordAfterACurrentOneIsRejected) {
    TCustomRecordList list;
    // Read with a 20-byte header, the old record's reserved word and first body bytes
    // become a positive type, the next four body bytes a valid size, and its stamp fails.
    Raw old = oldRec(5, 30);
    writeLE<std::uint16_t>(old, 10, 1);
    writeLE<std::int32_t>(old, 12, 50);
    EXPECT_RAISES(load(list, cat({rec(3, 24, 'a'), old})), "Load: invalid Itemstamp");
    EXPECT_EQ(list.Count(), 1);
    std::fill(old.begin() + 10, old.end(), 0);
    EXPECT_RAISES(load(list, cat({rec(3, 24, 'a'), old})), "Load: invalid Itemtype");
}

TEST(RecordListLoadOld, WidensEachRecordByTenBytesWithSignExtension) {
    TCustomRecordList list;
    TMemoryStream s(cat({oldRec(5, 30, 'a', -2, -1), oldRec(0x7FFF, 0x7FFF, 'b', 0x7FFF, 0x1234)}));
    list.LoadOldFromStream(s, false);
    ASSERT_EQ(list.Count(), 2);
    const Bytes r = list.Items(0);
    ASSERT_EQ(r.size(), 40u);
    EXPECT_EQ(ItemHeader::Stamp.get(r), ItemHeader::StampValue);
    EXPECT_EQ(idOf(r), -2);
    EXPECT_EQ(ItemHeader::ItemType.get(r), 5);
    EXPECT_EQ(ItemHeader::ItemSize.get(r), 40);
    EXPECT_EQ(ItemHeader::Reserved.get(r), -1);
    for (std::size_t i = 20; i < 40; ++i)
        EXPECT_EQ(r[i], std::uint8_t('a' + i - 20)) << i;
    const Bytes big = list.Items(1);
    EXPECT_EQ(big.size(), 0x7FFFu + 10);
    EXPECT_EQ(ItemHeader::Reserved.get(big), 0x1234);
    EXPECT_EQ(big[20], 'b');
}

TEST(RecordListLoadOld, CutShortBodyIsZeroFilledAndCutHeaderDropped) {
    TCustomRecordList list;
    Raw bytes = cat({oldRec(5, 30, 'a'), oldRec(5, 30, 'b')});
    bytes.resize(30 + 15);
    TMemoryStream s(bytes);
    list.LoadOldFromStream(s, false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1)[24], 'b' + 4);
    EXPECT_EQ(list.Items(1)[25], 0);
    EXPECT_EQ(list.Items(1)[39], 0);

    bytes.resize(30 + 9);
    TMemoryStream t(bytes);
    list.LoadOldFromStream(t, false);
    EXPECT_EQ(list.Count(), 1);
}

TEST(RecordListLoadOld, ChecksTypeThenSizeThenStampUnlessSkipped) {
    struct Case {
        Raw bad;
        const char* message;
    };
    const std::vector<Case> cases = {
        {oldRec(0, 10, 0, 1, 0, 1), "Old Load: invalid Itemtype"},       {oldRec(-3, 30), "Old Load: invalid Itemtype"},
        {oldRec(5, 19, 0, 1, 0, 1), "Old Load: invalid Itemsize"},       {oldRec(5, -30), "Old Load: invalid Itemsize"},
        {oldRec(5, 30, 0, 1, 0, 0x6FEE), "Old Load: invalid Itemstamp"},
    };
    for (const Case& c : cases) {
        TCustomRecordList list;
        TMemoryStream s(cat({oldRec(5, 20, 'a'), c.bad}));
        EXPECT_RAISES(list.LoadOldFromStream(s, false), c.message);
        EXPECT_EQ(tags(list), "a");
    }
    TCustomRecordList list;
    TMemoryStream s(cat({oldRec(5, 20, 'a', 1, 0, 0), oldRec(5, 30, 'b', 1, 0, 0xFFFF)}));
    list.LoadOldFromStream(s, true);
    EXPECT_EQ(tags(list), "ab");
}

// ---- copies ----

TEST(RecordListCopyToBuffer, SkipsRecordsThatDoNotFit) {
    TCustomRecordList list;
    list.Add(rec(1, 50, 'a'));
    list.Add(rec(1, 30, 'b'));
    list.Add(rec(1, 40, 'c'));
    auto copy = [&](std::size_t size, Raw& buffer) {
        buffer.assign(size + 8, 0xEE);
        return list.CopyToBuffer(Bytes(buffer.data(), size));
    };
    Raw buffer;
    EXPECT_EQ(copy(45, buffer), 30); // only the second record fits
    EXPECT_EQ(Raw(buffer.begin(), buffer.begin() + 30), bytesOf(list.Items(1)));
    EXPECT_EQ(buffer[30], 0xEE);
    EXPECT_EQ(copy(90, buffer), 80); // first and second
    EXPECT_EQ(Raw(buffer.begin() + 50, buffer.begin() + 80), bytesOf(list.Items(1)));
    EXPECT_EQ(copy(120, buffer), 120);
    EXPECT_EQ(Raw(buffer.begin(), buffer.begin() + 120), saved(list));
    EXPECT_EQ(buffer[120], 0xEE);
    EXPECT_EQ(copy(0, buffer), 0);
}

TEST(RecordListAssign, CopiesRecordsIDsAndOrder) {
    TCustomRecordList source;
    load(source, cat({rec(4, 22, 'a', 9), rec(2, 33, 'b', 3), rec(4, 21, 'c', 9)}));
    TCustomRecordList target;
    target.Add(rec(1, 60, 'z'));
    target.Assign(source);
    EXPECT_EQ(saved(target), saved(source));
    target.Items(0)[20] = 'q';
    EXPECT_EQ(tags(source), "abc");
    target.Assign(target);
    EXPECT_EQ(tags(target), "qbc");
    TCustomRecordList empty;
    target.Assign(empty);
    EXPECT_EQ(target.Count(), 0);
}

// ---- finding and reordering ----

TEST(RecordListFind, ByIDGivesTheFirstMatch) {
    TCustomRecordList list;
    load(list, cat({rec(4, 22, 'a', 9), rec(2, 33, 'b', 3), rec(4, 21, 'c', 3)}));
    EXPECT_EQ(list.IndexOfID(3), 1);
    EXPECT_EQ(list.FindByID(3).data(), list.Items(1).data());
    EXPECT_EQ(list.IndexOfID(9), 0);
    EXPECT_EQ(list.IndexOfID(4), -1);
    EXPECT_TRUE(list.FindByID(4).empty());
}

TEST(RecordListReorder, ExchangeAndMove) {
    TCustomRecordList list;
    for (const char c : std::string("abcde"))
        list.Add(rec(1, 21 + (c - 'a'), std::uint8_t(c)));
    list.Exchange(0, 3);
    EXPECT_EQ(tags(list), "dbcae");
    list.Exchange(2, 2);
    list.Move(1, 4);
    EXPECT_EQ(tags(list), "dcaeb");
    list.Move(4, 0);
    EXPECT_EQ(tags(list), "bdcae");
    list.Move(3, 3);
    EXPECT_EQ(tags(list), "bdcae");
    EXPECT_EQ(list.Items(0).size(), 22u);
    ExpectRaises<ERecListException>([&] { list.Exchange(0, 5); }, "List index out of bounds (5)");
    ExpectRaises<ERecListException>([&] { list.Move(-1, 2); }, "List index out of bounds (-1)");
    EXPECT_EQ(tags(list), "bdcae");
}

// ---- saving to a file ----

namespace {

class RecordListFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "reclist-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        list.Add(rec(1, 30, 'a'));
        list.Add(rec(2, 40, 'b'));
    }
    void TearDown() override { fs::remove_all(dir); }

    static Raw readFile(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return Raw(std::istreambuf_iterator<char>(in), {});
    }
    static void writeFile(const fs::path& p, const Raw& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    TCustomRecordList list;
};

} // namespace

TEST_F(RecordListFile, ReplacesALongerFileCompletely) {
    const fs::path target = dir / "form.kvt";
    writeFile(target, Raw(1000, 0xFF));
    list.SaveToFile(target);
    EXPECT_EQ(readFile(target), saved(list));
    EXPECT_EQ(entries(), std::vector<std::string>{"form.kvt"});
}

TEST_F(RecordListFile, NewFileFollowsTheUmask) {
    const fs::path target = dir / "new.kvt";
    const mode_t mask = ::umask(022);
    list.SaveToFile(target);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(RecordListFile, FailedSaveLeavesWhatWasThere) {
    const fs::path folder = dir / "form.kvt";
    fs::create_directory(folder);
    EXPECT_THROW(list.SaveToFile(folder), EFileError);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_THROW(list.SaveToFile(dir / "missing" / "form.kvt"), EFileError);
    EXPECT_EQ(entries(), std::vector<std::string>{"form.kvt"});
}

TEST_F(RecordListFile, WriteErrorHalfwayKeepsTheOldFileWhole) {
    const fs::path target = dir / "form.kvt";
    const Raw old(100, 0x5A);
    writeFile(target, old);
    list.Add(rec(3, 5000, 'c'));
    // The file size limit makes the write fail after 1000 bytes (tests run as root, so
    // permissions cannot be used for this).
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(list.SaveToFile(target), EFileError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(readFile(target), old);
    EXPECT_EQ(entries(), std::vector<std::string>{"form.kvt"});
}

// ---- typed wrapper ----

namespace {

// A list of records tagged by letter: type 6 records a, c, e; type 5 records b, d.
struct Mixed {
    TCustomRecordList list;
    TCustomRecordListObject sixes{list, 6, 30};
    TCustomRecordListObject fives{list, 5, 25};
    Mixed() {
        list.Add(rec(6, 30, 'a'));
        list.Add(rec(5, 25, 'b'));
        list.Add(rec(6, 30, 'c'));
        list.Add(rec(5, 25, 'd'));
        list.Add(rec(6, 30, 'e'));
    }
    std::string typed(TCustomRecordListObject& w) {
        std::string s;
        for (std::int32_t n = 0; n < w.Count(); ++n)
            s += char(w.Items(n)[20]);
        return s;
    }
};

} // namespace

TEST(RecordListObject, EmptyListAndMissingIndexMessages) {
    TCustomRecordList list;
    TCustomRecordListObject fields(list, 60, 135);
    EXPECT_RAISES(fields.IndexOf(0), "Record list is empty");
    EXPECT_RAISES(fields.Items(0), "Record list is empty");
    EXPECT_EQ(fields.Count(), 0);
    list.Add(rec(10, 266));
    EXPECT_EQ(fields.IndexOf(0), -1);
    EXPECT_RAISES(fields.Items(0), "Index not found (type=60)");
    EXPECT_RAISES(fields.Items(-1), "Index not found (type=60)");
    // A missing typed index reaches the list operations as -1.
    Raw r = rec(60, 135);
    EXPECT_RAISES(fields.Update(r, 0), "Update: index out of bounds");
    EXPECT_RAISES(fields.Delete(0), "Delete: index out of bounds");
    EXPECT_RAISES(fields.Resize(0, 40), "Resize: index out of bounds");
}

TEST(RecordListObject, IndexOfCountsOnlyItsOwnType) {
    Mixed m;
    EXPECT_EQ(m.sixes.Count(), 3);
    EXPECT_EQ(m.fives.Count(), 2);
    EXPECT_EQ(m.sixes.IndexOf(1), 2);
    EXPECT_EQ(m.fives.IndexOf(1), 3);
    EXPECT_EQ(m.sixes.IndexOf(3), -1);
    EXPECT_EQ(m.sixes.IndexOf(-1), -1);
    EXPECT_EQ(m.typed(m.sixes), "ace");
    EXPECT_EQ(m.typed(m.fives), "bd");
}

TEST(RecordListObject, AddFillsZeroSizeAndTypeInTheCallersRecord) {
    TCustomRecordList list;
    TCustomRecordListObject w(list, 60, 135);
    Raw mine(135, 0);
    mine[20] = 'x';
    const Bytes stored = w.Add(mine);
    EXPECT_EQ(ItemHeader::ItemSize.get(mine), 135);
    EXPECT_EQ(ItemHeader::ItemType.get(mine), 60);
    EXPECT_EQ(stored.size(), 135u);
    EXPECT_EQ(stored[20], 'x');
    EXPECT_EQ(ItemHeader::Stamp.get(stored), ItemHeader::StampValue);

    // A type of its own in the caller's record is kept there, but the stored copy gets
    // the wrapper's type; a size of its own is kept.
    Raw other = rec(99, 30, 'y');
    const Bytes second = w.Add(other);
    EXPECT_EQ(ItemHeader::ItemType.get(other), 99);
    EXPECT_EQ(ItemHeader::ItemType.get(second), 60);
    EXPECT_EQ(second.size(), 30u);
    EXPECT_EQ(w.Count(), 2);
    EXPECT_EQ(idOf(second), 2);

    Raw negative = rec(-1, 30);
    EXPECT_RAISES(w.Add(negative), "Add: invalid Itemtype");
}

TEST(RecordListObject, AddEmptyUsesTheDefaultSize) {
    TCustomRecordList list;
    TCustomRecordListObject w(list, 50, 335);
    list.Add(rec(10, 266));
    const Bytes r = w.AddEmpty();
    ASSERT_EQ(r.size(), 335u);
    EXPECT_EQ(ItemHeader::ItemType.get(r), 50);
    EXPECT_EQ(ItemHeader::ItemSize.get(r), 335);
    EXPECT_EQ(idOf(r), 2);
    EXPECT_TRUE(std::all_of(r.begin() + 20, r.end(), [](std::uint8_t b) { return b == 0; }));
    TCustomRecordListObject tiny(list, 5, 10);
    EXPECT_RAISES(tiny.AddEmpty(), "Add: invalid Itemsize");
}

TEST(RecordListObject, ClearRemovesOwnTypeAndReturnsWhatIsLeft) {
    Mixed m;
    EXPECT_EQ(m.sixes.Clear(), 2);
    EXPECT_EQ(tags(m.list), "bd");
    EXPECT_EQ(m.sixes.Count(), 0);
    EXPECT_EQ(m.fives.Clear(), 0);
}

TEST(RecordListObject, TypedUpdateDeleteResizeReachTheRightRecord) {
    Mixed m;
    Raw r = rec(6, 44, 'z');
    m.sixes.Update(r, 1);
    EXPECT_EQ(tags(m.list), "abzde");
    EXPECT_EQ(m.list.Items(2).size(), 44u);
    m.sixes.Resize(2, 33);
    EXPECT_EQ(m.list.Items(4).size(), 33u);
    m.fives.Delete(0);
    EXPECT_EQ(tags(m.list), "azde");
}

TEST(RecordListObject, StaysCorrectWhenOtherRecordsChange) {
    Mixed m;
    m.list.Delete(1); // a c d e
    EXPECT_EQ(m.typed(m.sixes), "ace");
    EXPECT_EQ(m.sixes.IndexOf(1), 1);
    m.list.Move(3, 0); // e a c d
    EXPECT_EQ(m.typed(m.sixes), "eac");
    EXPECT_EQ(m.fives.IndexOf(0), 3);
    m.list.Exchange(2, 3); // e a d c
    EXPECT_EQ(m.typed(m.sixes), "eac");
    EXPECT_EQ(m.sixes.IndexOf(2), 3);
    Raw five = rec(5, 25, 'f');
    m.list.Update(five, 0); // f a d c: a six became a five
    EXPECT_EQ(m.typed(m.sixes), "ac");
    EXPECT_EQ(m.typed(m.fives), "fd");
    Raw seventySeven = rec(77, 30, 'g');
    m.sixes.Add(seventySeven);
    EXPECT_EQ(m.typed(m.sixes), "acg");
    m.list.Resize(1, 90);
    EXPECT_EQ(m.typed(m.sixes), "acg");

    TCustomRecordList other;
    other.Add(rec(6, 30, 'x'));
    m.list.Assign(other);
    EXPECT_EQ(m.typed(m.sixes), "x");
    EXPECT_EQ(m.fives.Count(), 0);
    load(m.list, cat({rec(5, 25, 'p'), rec(6, 30, 'q'), rec(6, 30, 'r')}));
    EXPECT_EQ(m.typed(m.sixes), "qr");
    EXPECT_EQ(m.typed(m.fives), "p");
    m.list.Clear();
    EXPECT_EQ(m.sixes.Count(), 0);
}

TEST(RecordListObject, SortMakesCountPassesOfAdjacentPairs) {
    Mixed m;
    // Sixes hold a c e; give them keys 3 1 2 and add a fourth six with key 0.
    m.list.Items(0)[21] = 3;
    m.list.Items(2)[21] = 1;
    m.list.Items(4)[21] = 2;
    Raw fourth = rec(6, 30, 'g');
    fourth[21] = 0;
    m.list.Add(fourth);

    std::string calls;
    int enteredTrue = 0;
    m.sixes.OnSort = [&](TCustomRecordListObject& sender, ConstBytes a, ConstBytes b, bool& swap) {
        EXPECT_EQ(&sender, &m.sixes);
        if (swap) ++enteredTrue;
        calls += char('0' + a[21]);
        calls += char('0' + b[21]);
        calls += ' ';
        swap = a[21] > b[21];
    };
    m.sixes.Sort();
    // Four passes of three comparisons each, with no early exit.
    EXPECT_EQ(calls, "31 32 30 12 20 23 10 12 23 01 12 23 ");
    EXPECT_EQ(enteredTrue, 0);
    EXPECT_EQ(m.typed(m.sixes), "gcea");
    // Fives keep their positions; sixes fill the positions sixes had.
    EXPECT_EQ(tags(m.list), "gbcdea");
}

TEST(RecordListObject, SortWithoutHandlerOrWithOneRecordDoesNothing) {
    Mixed m;
    m.sixes.Sort();
    EXPECT_EQ(tags(m.list), "abcde");
    int calls = 0;
    TCustomRecordListObject lone(m.list, 7, 20);
    m.list.Add(rec(7, 21, 'z'));
    lone.OnSort = [&](TCustomRecordListObject&, ConstBytes, ConstBytes, bool& swap) {
        ++calls;
        swap = true;
    };
    lone.Sort();
    EXPECT_EQ(calls, 0);
    m.fives.OnSort = lone.OnSort;
    m.fives.Sort(); // two records: two passes of one comparison, each swapping
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(tags(m.list), "abcdez");
}
