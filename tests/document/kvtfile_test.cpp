#include "document/KVTFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
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

using Raw = std::vector<std::uint8_t>;

Raw record(std::int32_t type, std::int32_t size, std::int32_t id = 0) {
    Raw r(std::size_t(size), 0);
    ItemHeader::Stamp.set(r, ItemHeader::StampValue);
    ItemHeader::ID.set(r, id);
    ItemHeader::ItemType.set(r, type);
    ItemHeader::ItemSize.set(r, size);
    return r;
}

Raw header(std::uint8_t version = 5, std::uint8_t paper = kvtLetter, std::uint8_t orientation = kvtPortrait) {
    const THeaderBytes d = DefaultHeader();
    Raw h(d.begin(), d.end());
    ItemHeader::Stamp.set(h, ItemHeader::StampValue);
    ItemHeader::ID.set(h, 1);
    HeaderRec::Version.set(h, version);
    HeaderRec::PaperSize.set(h, paper);
    HeaderRec::Orientation.set(h, orientation);
    return h;
}

Raw field(std::string_view name, std::int16_t tabOrder, std::int32_t id) {
    Raw f = record(kvtFieldType, kFieldSize, id);
    FieldRec::Name.set(f, name);
    FieldRec::TabOrder.set(f, tabOrder);
    return f;
}

Raw cat(std::initializer_list<Raw> parts) {
    Raw all;
    for (const Raw& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

void load(TKVT& form, const Raw& bytes) {
    TMemoryStream s(bytes);
    form.LoadFromStream(s);
}

// A form whose fields carry the given names and tab orders, loaded from bytes.
void loadFields(TKVT& form, std::initializer_list<std::pair<const char*, std::int16_t>> fields) {
    Raw bytes = header();
    std::int32_t id = 2;
    for (const auto& [name, tab] : fields)
        bytes = cat({bytes, field(name, tab, id++)});
    load(form, bytes);
}

struct ChangeCounter {
    int count = 0;
    TKVT* sender = nullptr;
    void attach(TKVT& form) {
        form.OnChange = [this](TKVT& s) {
            ++count;
            sender = &s;
        };
    }
};

} // namespace

// ---- the record list of a form ----

TEST(FormFile, OneWrapperPerRecordType) {
    TKVTFile file;
    const std::pair<TCustomRecordListObject*, std::pair<int, int>> wrappers[] = {
        {&file.Header, {10, 266}}, {&file.Frames, {20, 50}},  {&file.Lines, {30, 50}},    {&file.Ellipses, {40, 50}},
        {&file.Texts, {50, 335}},  {&file.Fields, {60, 135}}, {&file.Logos, {70, 65047}},
    };
    for (const auto& [w, expected] : wrappers) {
        EXPECT_EQ(&w->List(), &file);
        EXPECT_EQ(w->ItemType(), expected.first);
        EXPECT_EQ(w->DefaultSize(), expected.second);
        EXPECT_EQ(std::int32_t(w->AddEmpty().size()), expected.second);
        EXPECT_EQ(w->Count(), 1);
    }
    EXPECT_EQ(file.Count(), 7);
}

TEST(FormFile, FieldsByIndexFollowListOrder) {
    TKVTFile file;
    Raw a = field("A", 0, 0), b = field("B", 0, 0), t = record(kvtTextType, 80);
    file.Header.AddEmpty();
    file.Fields.Add(a);
    file.Texts.Add(t);
    file.Fields.Add(b);
    EXPECT_EQ(FieldRec::Name.get(file.Fields.Fields(0)), "A");
    EXPECT_EQ(FieldRec::Name.get(file.Fields.Fields(1)), "B");
    ExpectRaises<ERecListException>([&] { file.Fields.Fields(2); }, "Index not found (type=60)");
}

// ---- a new form and its header ----

TEST(NewForm, HoldsTheDefaultLetterHeaderByteForByte) {
    TKVT form;
    ASSERT_EQ(form.KVTFile().Count(), 1);
    Raw expected(266, 0);
    const std::uint8_t head[] = {0xA9, 0x80, 0x5F, 0x6D, 1, 0, 0, 0, 0x0A, 0, 0, 0, 0x0A, 0x01, 0, 0, 0, 0, 0, 0};
    std::copy(std::begin(head), std::end(head), expected.begin());
    const std::uint8_t page[] = {0x30, 0x03, 0x20, 0x04, 0xEE, 0xBB, 0xBB, 0xDA, 5, 1, 1, 0, 1, 3, 0xFF, 0xFF, 0xFF, 0};
    std::copy(std::begin(page), std::end(page), expected.begin() + 32);
    EXPECT_EQ(form.KVTData(), expected);
    const auto h = form.GetHeader();
    EXPECT_EQ(Raw(h.begin(), h.end()), expected);
    const auto rect = form.PageRect();
    EXPECT_EQ(rect.Left, 0);
    EXPECT_EQ(rect.Top, 0);
    EXPECT_EQ(rect.Right, 816);
    EXPECT_EQ(rect.Bottom, 1056);
    EXPECT_TRUE(form.Shading);
    EXPECT_FALSE(form.Designing);
    EXPECT_EQ(form.DashColor, 0xC0C0C0u);
}

TEST(NewForm, ResetIsSilentAndClearNotifies) {
    TKVT form;
    ChangeCounter changes;
    changes.attach(form);
    form.KVTFile().Frames.AddEmpty();
    form.Reset();
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(form.KVTFile().Count(), 1);
    form.KVTFile().Frames.AddEmpty();
    form.Clear();
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(changes.sender, &form);
    EXPECT_EQ(form.KVTData(), TKVT().KVTData());
}

TEST(NewForm, IsEmptyBelow257BytesAndGetsADefaultHeaderWhenAsked) {
    TKVT form;
    TKVTFile& file = form.KVTFile();
    file.Clear();
    EXPECT_TRUE(form.IsEmpty());
    Raw r = record(1, 256);
    file.Add(r);
    EXPECT_TRUE(form.IsEmpty());
    EXPECT_EQ(form.PageRect().Right, 816); // reset to the default header
    EXPECT_EQ(file.Count(), 1);
    EXPECT_EQ(ItemHeader::ItemType.get(file.Items(0)), kvtHeaderType);

    // 257 bytes are not empty: record 0 is copied as it is, however short it is.
    file.Clear();
    Raw frame = record(kvtFrameType, 50);
    ObjectRec::Left.set(frame, 77);
    file.Add(frame);
    Raw rest = record(1, 207);
    file.Add(rest);
    EXPECT_FALSE(form.IsEmpty());
    const auto h = form.GetHeader();
    EXPECT_EQ(ItemHeader::ItemType.get(h), kvtFrameType);
    EXPECT_EQ(ObjectRec::Left.get(h), 77);
    EXPECT_EQ(h[50], 0);
    EXPECT_EQ(file.Count(), 2);
}

// ---- loading a form ----

TEST(FormLoad, ReplacesTheRecordsAndNotifies) {
    TKVT form;
    ChangeCounter changes;
    changes.attach(form);
    Raw text = record(kvtTextType, 85, 7);
    TextRec::Text.set(text, "Hello");
    load(form, cat({header(), text}));
    EXPECT_EQ(changes.count, 1);
    ASSERT_EQ(form.KVTFile().Count(), 2);
    EXPECT_EQ(TextRec::Text.get(form.KVTFile().Texts.Items(0)), "Hello");
    EXPECT_EQ(ItemHeader::ID.get(form.KVTFile().Items(1)), 7);
}

TEST(FormLoad, EmptyStreamKeepsTheRecordsAndNotifies) {
    TKVT form;
    form.KVTFile().Frames.AddEmpty();
    const Raw before = form.KVTData();
    ChangeCounter changes;
    changes.attach(form);
    load(form, {});
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(form.KVTData(), before);
}

TEST(FormLoad, StreamWithoutRecordsLeavesAnEmptyFormSilently) {
    TKVT form;
    ChangeCounter changes;
    changes.attach(form);
    load(form, Raw(5, 0x33)); // too short for any record
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(form.KVTFile().Count(), 0);
    EXPECT_TRUE(form.IsEmpty());
    EXPECT_EQ(form.GetHeader()[40], 5);
}

TEST(FormLoad, RefusedFormsLeaveNoRecordsAndDoNotNotify) {
    Raw badSignature = header();
    HeaderRec::Signature.set(badSignature, 0xDABBBBEF);
    Raw frameFirst = cat({record(kvtFrameType, 50, 1), header()});
    Raw notAHeader = header();
    ItemHeader::ItemType.set(notAHeader, kvtFrameType);
    const struct {
        Raw bytes;
        const char* message;
    } cases[] = {
        {cat({record(kvtFrameType, 50), record(kvtFrameType, 50), record(kvtTextType, 100)}),
         "Invalid KVT Header Size"},
        {cat({record(kvtFrameType, 50), record(kvtTextType, 215)}), "Invalid KVT Header Size"}, // 265 bytes
        {badSignature, "Unknown KVT file format"},
        {frameFirst, "Unknown KVT file format"}, // record 0 too short to be a header
        {notAHeader, "Unknown KVT file format"},
        {header(3), "Obsolete KVT Version.. convert with Kovet"},
        {header(0), "Obsolete KVT Version.. convert with Kovet"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TKVT form;
        ChangeCounter changes;
        changes.attach(form);
        ExpectRaises<EKVTException>([&] { load(form, c.bytes); }, c.message);
        EXPECT_EQ(form.KVTFile().Count(), 0);
        EXPECT_EQ(changes.count, 0);
        const auto h = form.GetHeader(); // a default header again
        EXPECT_EQ(HeaderRec::PageHeight.get(h), 1056);
        EXPECT_EQ(form.KVTFile().Count(), 1);
    }
}

TEST(FormLoad, AcceptsVersionFourAndALongerHeader) {
    TKVT form;
    load(form, header(4));
    EXPECT_EQ(form.GetHeader()[40], 4);
    Raw longer = header();
    longer.resize(300);
    ItemHeader::ItemSize.set(longer, 300);
    load(form, longer);
    EXPECT_EQ(form.KVTFile().Items(0).size(), 300u);
}

TEST(FormLoad, RecordListErrorsPassThroughAndKeepWhatWasRead) {
    TKVT form;
    ChangeCounter changes;
    changes.attach(form);
    Raw badStamp = record(kvtFrameType, 50);
    ItemHeader::Stamp.set(badStamp, 1);
    ExpectRaises<ERecListException>([&] { load(form, cat({header(), badStamp})); }, "Load: invalid Itemstamp");
    EXPECT_EQ(form.KVTFile().Count(), 1);
    EXPECT_EQ(changes.count, 0);
}

TEST(FormLoad, ImpossibleItemSizeIsRefusedButACutRecordLoads) {
    TKVT form;
    Raw huge = record(kvtFrameType, 40);
    ItemHeader::ItemSize.set(huge, std::numeric_limits<std::int32_t>::max());
    ExpectRaises<ERecListException>([&] { load(form, huge); }, "Load: invalid Itemsize");
    EXPECT_EQ(form.KVTFile().Count(), 0);
    ExpectRaises<ERecListException>([&] { load(form, cat({header(), huge})); }, "Load: invalid Itemsize");
    EXPECT_EQ(form.KVTFile().Count(), 1);
    ItemHeader::ItemSize.set(huge, kLogoMaxSize + 1);
    ExpectRaises<ERecListException>([&] { load(form, cat({header(), huge})); }, "Load: invalid Itemsize");

    // The largest logo, cut short: it loads with its missing bytes zero.
    Raw logo = record(kvtLogoType, 100);
    ItemHeader::ItemSize.set(logo, kLogoMaxSize);
    LogoRec::DataSize.set(logo, kMaxLogoData);
    LogoRec::PictureType.set(logo, ptBitmap);
    logo[99] = 0x42;
    load(form, cat({header(), logo}));
    ASSERT_EQ(form.KVTFile().Count(), 2);
    const Bytes stored = form.KVTFile().Logos.Items(0);
    ASSERT_EQ(stored.size(), std::size_t(kLogoMaxSize));
    EXPECT_EQ(stored[99], 0x42);
    EXPECT_EQ(stored[100], 0);
    EXPECT_EQ(stored[kLogoMaxSize - 1], 0);
    EXPECT_EQ(LogoRec::Data(stored).size(), std::size_t(kMaxLogoData));
}

TEST(FormLoad, BrokenStringsAreReadOnlyWithinTheirRecords) {
    TKVT form;
    Raw text = record(kvtTextType, 85);
    std::fill(text.begin() + 20, text.end(), 'x');
    text[79] = 250; // claims 250 characters, five are present
    Raw shortField = record(kvtFieldType, 70);
    FieldRec::Name.set(shortField, "Abc");
    Raw wideName = field("", 0, 3);
    std::fill(wideName.begin() + 67, wideName.begin() + 107, 'N');
    wideName[66] = 255; // beyond the 40-character capacity
    load(form, cat({header(), text, shortField, wideName}));
    EXPECT_EQ(TextRec::Text.get(form.KVTFile().Texts.Items(0)), "xxxxx");
    EXPECT_TRUE(form.FieldExists("ABC"));
    EXPECT_TRUE(form.FieldExists(std::string(40, 'n')));
    EXPECT_EQ(form.NextTabOrder(), 1);
}

TEST(FormLoad, PageSizeIsRecomputedFromPaperAndOrientation) {
    TKVT form;
    Raw h = header(5, kvtA4, kvtLandScape);
    HeaderRec::PageWidth.set(h, 100);
    HeaderRec::PageHeight.set(h, 100);
    load(form, h);
    const Bytes stored = form.KVTFile().Items(0);
    EXPECT_EQ(HeaderRec::PageWidth.get(stored), 1122);
    EXPECT_EQ(HeaderRec::PageHeight.get(stored), 792);
    EXPECT_EQ(form.PageRect().Right, 1122);
    EXPECT_EQ(form.PageRect().Bottom, 792);

    load(form, header(5, kvtLegal, kvtPortrait));
    EXPECT_EQ(form.PageRect().Bottom, 1344);

    // A paper code outside the table keeps the stored size.
    Raw odd = header(5, 9, kvtPortrait);
    HeaderRec::PageWidth.set(odd, 500);
    HeaderRec::PageHeight.set(odd, 600);
    load(form, odd);
    EXPECT_EQ(form.PageRect().Right, 500);
    EXPECT_EQ(form.PageRect().Bottom, 600);
}

namespace {

// The old encoding of a current record: a 10-byte header, then the body.
Raw narrowed(const Raw& current, std::uint16_t stamp = 0x6FED) {
    Raw old(current.size() - 10, 0);
    writeLE<std::uint16_t>(old, 0, stamp);
    writeLE<std::int16_t>(old, 2, std::int16_t(ItemHeader::ID.get(current)));
    writeLE<std::int16_t>(old, 4, std::int16_t(ItemHeader::ItemType.get(current)));
    writeLE<std::int16_t>(old, 6, std::int16_t(current.size() - 10));
    std::copy(current.begin() + 20, current.end(), old.begin() + 10);
    return old;
}

} // namespace

TEST(FormLoad, OldEncodingIsWidenedToTheCurrentLayout) {
    Raw text = record(kvtTextType, 84, 2);
    TextRec::Text.set(text, "Memo");
    const Raw current = cat({header(), text, field("Total", 3, 3)});
    const Raw old = cat({narrowed(header()), narrowed(text), narrowed(field("Total", 3, 3))});
    ASSERT_EQ(old[30], 5); // the header's Version byte in the old encoding
    TKVT form;
    load(form, old);
    EXPECT_EQ(form.KVTData(), current);

    // An old file whose stamps are foreign is still read as the old encoding.
    const Raw foreign = cat({narrowed(header(), 0x1234), narrowed(text, 0)});
    TKVT other;
    load(other, foreign);
    EXPECT_EQ(other.KVTData(), cat({header(), text}));

    // With the old stamp first, every later stamp is checked.
    ExpectRaises<ERecListException>(
        [&] {
            load(other, cat({narrowed(header()), narrowed(text, 0)}));
        },
        "Old Load: invalid Itemstamp");
    EXPECT_EQ(other.KVTFile().Count(), 1);
}

// ---- questions about fields ----

TEST(FormFields, FieldExistsIgnoresAsciiCase) {
    TKVT form;
    EXPECT_FALSE(form.FieldExists("Name"));
    loadFields(form, {{"Name", 0}, {"Caf\xE9", 1}});
    EXPECT_TRUE(form.FieldExists("NAME"));
    EXPECT_TRUE(form.FieldExists("name"));
    EXPECT_FALSE(form.FieldExists("Nam"));
    EXPECT_FALSE(form.FieldExists("Names"));
    EXPECT_TRUE(form.FieldExists("CAF\xE9"));
    EXPECT_FALSE(form.FieldExists("CAF\xC9")); // only ASCII letters fold
}

TEST(FormFields, NewFieldNameTakesTheFirstFreeNumber) {
    TKVT form;
    std::string name = "Customer";
    form.NewFieldName(name);
    EXPECT_EQ(name, "Field1");
    loadFields(form, {{"Field1", 0}, {"FIELD2", 1}});
    form.NewFieldName(name);
    EXPECT_EQ(name, "Field3");
    loadFields(form, {{"field1", 0}, {"Field3", 1}, {"Field02", 2}});
    form.NewFieldName(name);
    EXPECT_EQ(name, "Field2");
}

TEST(FormFields, NextTabOrderIsOneMoreThanTheLargest) {
    TKVT form;
    EXPECT_EQ(form.NextTabOrder(), 0);
    loadFields(form, {{"A", 0}, {"B", 5}, {"C", 2}});
    EXPECT_EQ(form.NextTabOrder(), 6);
    loadFields(form, {{"A", -3}, {"B", -1}});
    EXPECT_EQ(form.NextTabOrder(), 0);
    loadFields(form, {{"A", -1}, {"B", 0}});
    EXPECT_EQ(form.NextTabOrder(), 1);
    loadFields(form, {{"A", 32767}});
    EXPECT_EQ(form.NextTabOrder(), 32768);
}

TEST(FormFields, CountSpacesCountsBlanksOnly) {
    EXPECT_EQ(TKVT::CountSpaces(""), 0);
    EXPECT_EQ(TKVT::CountSpaces("a b  c"), 3);
    EXPECT_EQ(TKVT::CountSpaces("   "), 3);
    EXPECT_EQ(TKVT::CountSpaces("\t\xA0"), 0);
}

// ---- copying and embedding ----

namespace {

Raw sampleForm() {
    Raw frame = record(kvtFrameType, 50, 9);
    FrameRec::Roundness.set(frame, 12);
    frame[45] = 0x99;                      // reserved bytes travel unchanged
    Raw text = record(kvtTextType, 90, 4); // longer than its text needs
    TextRec::Text.set(text, "Hi");
    Raw logo = record(kvtLogoType, 47 + 3, 5);
    LogoRec::DataSize.set(logo, 3);
    ItemHeader::Reserved.set(logo, -7);
    return cat({header(), frame, text, field("Total", 2, 2), logo});
}

} // namespace

TEST(FormEmbedding, KVTDataRoundTripsByteForByte) {
    const Raw bytes = sampleForm();
    TKVT form;
    form.SetKVTData(bytes);
    EXPECT_EQ(form.KVTData(), bytes);
    TMemoryStream s;
    form.SaveToStream(s);
    EXPECT_EQ(s.Bytes(), bytes);
    TKVT copy;
    copy.SetKVTData(form.KVTData());
    EXPECT_EQ(copy.KVTData(), bytes);
}

TEST(FormEmbedding, AssignCopiesIDsAndOrderAndNotifies) {
    TKVT source;
    source.SetKVTData(sampleForm());
    TKVT target;
    target.KVTFile().Lines.AddEmpty();
    ChangeCounter changes;
    changes.attach(target);
    target.Assign(source);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(target.KVTData(), source.KVTData());
    EXPECT_EQ(target.KVTFile().IndexOfID(5), 4);
    EXPECT_EQ(target.KVTFile().Lines.Count(), 0);
    EXPECT_EQ(target.KVTFile().NextID(), 10);
}

TEST(FormEmbedding, SaveToFileWritesTheSameBytesAndReplacesTheOldFile) {
    std::string pattern = (fs::temp_directory_path() / "kvtfile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    const fs::path target = dir / "form.kvt";
    {
        std::ofstream out(target, std::ios::binary);
        out << std::string(5000, 'x');
    }
    TKVT form;
    form.SetKVTData(sampleForm());
    form.SaveToFile(target);
    std::ifstream in(target, std::ios::binary);
    EXPECT_EQ(Raw(std::istreambuf_iterator<char>(in), {}), sampleForm());
    EXPECT_THROW(form.SaveToFile(dir), EFileError);
    fs::remove_all(dir);
}
