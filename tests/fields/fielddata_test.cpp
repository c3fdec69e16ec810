// Field data lines and ".kvf" files: saving, loading and the lines that are not plain values.
#include "display/FieldData.h"
#include "display/FieldFormat.h"

#include "storage/Exception.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace kovet {
namespace {

class FieldSet {
public:
    TKVTField& Add(std::string name, TKVTFieldFormat format, bool readOnly = false) {
        auto field = std::make_unique<TKVTField>();
        field->Name = std::move(name);
        field->SetFormat(format);
        field->ReadOnly = readOnly;
        field->Siblings = &siblings_;
        siblings_.push_back(field.get());
        pointers_.push_back(field.get());
        owned_.push_back(std::move(field));
        return *owned_.back();
    }
    std::span<TKVTField* const> All() const { return pointers_; }
    TKVTField& operator[](std::size_t i) { return *owned_[i]; }

private:
    std::vector<std::unique_ptr<TKVTField>> owned_;
    std::vector<TKVTField*> pointers_;
    TKVTLabelSiblings siblings_;
};

const std::string M = "\x01";

// One field of most kinds, filled in.
void AddSample(FieldSet& set) {
    set.Add("Amount", lfoDollar).SetValue(1234.5);
    set.Add("Share", lfoPercent).SetValue(0.125);
    set.Add("Born", lfoFullDate).SetValue(EncodeDate(1999, 12, 31).value());
    set.Add("Month", lfoShortDate).SetValue(EncodeDate(2005, 7, 1).value());
    set.Add("At", lfoTime).SetValue(EncodeTime(14, 5, 0, 0));
    set.Add("Agree", lfoCheckbox).SetChecked(true);
    set.Add("Decline", lfoCheckbox);
    set.Add("Notes", lfoMemo).SetLines({"first", "", "third"});
    set.Add("Empty", lfoMemo);
    set.Add("Phone", lfoPhone).SetStringValue("(555)123-4567");
    set.Add("City", lfoComboBox).SetStringValue("Z\u00FCrich");
    set.Add("NoDate", lfoDate);
}

class FieldDataTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    std::filesystem::path TempFile(const char* name) {
        const auto path = std::filesystem::temp_directory_path() /
                          (std::string("fields_test_") + std::to_string(::getpid()) + "_" + name);
        temps_.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const auto& path : temps_)
            std::filesystem::remove(path);
    }

private:
    std::vector<std::filesystem::path> temps_;
};

TEST_F(FieldDataTest, SavesOneMarkerAndTheValueLinesPerField) {
    FieldSet set;
    AddSample(set);
    const std::vector<std::string> expected = {
        M + "Amount", "1234.5",      M + "Share",  "0.125",     M + "Born",  "12/31/1999",  M + "Month",
        "07/05",      M + "At",      "02:05pm",    M + "Agree", "X",         M + "Decline", " ",
        M + "Notes",  "first",       "",           "third",     M + "Empty", M + "Phone",   "(555)123-4567",
        M + "City",   "Z\u00FCrich", M + "NoDate", "",
    };
    EXPECT_EQ(SaveFieldStrings(set.All(), false), expected);
}

TEST_F(FieldDataTest, LoadingSavedLinesRestoresEveryValue) {
    FieldSet saved;
    AddSample(saved);
    FieldSet loaded;
    AddSample(loaded);
    for (TKVTField* field : loaded.All()) {
        field->SetValue(0);
        field->SetStringValue("stale");
        field->SetChecked(!field->Checked());
        field->SetLines({"a", "b", "c", "d", "e"});
    }
    const std::vector<std::string> lines = SaveFieldStrings(saved.All(), false);
    LoadFieldStrings(loaded.All(), lines);
    for (std::size_t i = 0; i < saved.All().size(); ++i) {
        TKVTField& a = saved[i];
        TKVTField& b = loaded[i];
        if (a.Format() == lfoMemo) {
            EXPECT_EQ(b.Lines(), a.Lines()) << a.Name;
        } else {
            EXPECT_EQ(b.DisplayText(), a.DisplayText()) << a.Name;
        }
        if (a.Format() == lfoCheckbox) {
            EXPECT_EQ(b.Checked(), a.Checked()) << a.Name;
        }
    }
    EXPECT_EQ(loaded[1].Value(), 0.125);
    EXPECT_EQ(loaded[7].Lines().size(), 3u); // five lines before, three after
    EXPECT_TRUE(loaded[8].Lines().empty());
    EXPECT_EQ(SaveFieldStrings(loaded.All(), false), lines);
}

TEST_F(FieldDataTest, ReadOnlyFieldsOnlyOnRequest) {
    FieldSet set;
    set.Add("Edit", lfoText).SetStringValue("e");
    set.Add("Fixed", lfoText, true).SetStringValue("f");
    EXPECT_EQ(SaveFieldStrings(set.All(), false), (std::vector<std::string>{M + "Edit", "e"}));
    EXPECT_EQ(SaveFieldStrings(set.All(), true), (std::vector<std::string>{M + "Edit", "e", M + "Fixed", "f"}));
}

TEST_F(FieldDataTest, CheckboxTakesOnlyCapitalX) {
    FieldSet set;
    TKVTField& box = set.Add("Box", lfoCheckbox);
    const std::pair<const char*, bool> cases[] = {{"X", true},  {"x", false},  {"X", true},
                                                  {" ", false}, {"X ", false}, {"", false}};
    for (const auto& [line, checked] : cases) {
        const std::vector<std::string> lines = {M + "box", line};
        LoadFieldStrings(set.All(), lines);
        EXPECT_EQ(box.Checked(), checked) << '"' << line << '"';
    }
}

TEST_F(FieldDataTest, LoadingChecksWithTheGroupRule) {
    FieldSet set;
    TKVTField& a = set.Add("A", lfoCheckbox);
    TKVTField& b = set.Add("B", lfoCheckbox);
    a.GroupIndex = b.GroupIndex = 3;
    a.SetChecked(true);
    const std::vector<std::string> lines = {M + "B", "X"};
    LoadFieldStrings(set.All(), lines);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
}

// Applied once at the end of a load, the group rule leaves what checking one by one leaves:
// the group's last box checked by the load, boxes of other groups and of none untouched.
TEST_F(FieldDataTest, GroupsEndAsIfCheckedOneByOne) {
    FieldSet set;
    for (const char* name : {"A1", "A2", "A3", "B1", "B2", "Free1", "Free2"})
        set.Add(name, lfoCheckbox);
    for (std::size_t i = 0; i < 3; ++i)
        set[i].GroupIndex = 1;
    set[3].GroupIndex = set[4].GroupIndex = 2;
    set[0].SetChecked(true);
    set[3].SetChecked(true);
    const std::vector<std::string> lines = {M + "A3",    "X", M + "A2",    "X", M + "A3", " ",
                                            M + "Free1", "X", M + "Free2", "X", M + "B2", " "};
    EXPECT_TRUE(LoadFieldStrings(set.All(), lines).empty());
    const std::vector<bool> expected = {false, true, false, true, false, true, true};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(set[i].Checked(), expected[i]) << set[i].Name;
}

TEST_F(FieldDataTest, ValuesAreCutToWhatTheirFieldsHoldAndNamed) {
    FieldSet set;
    TKVTField& limited = set.Add("Code", lfoText);
    limited.MaxLength = 5;
    TKVTField& open = set.Add("Remark", lfoComboBox);
    TKVTField& memo = set.Add("Notes", lfoMemo);
    const std::string longLine(kMaxFieldText + 10, 'x');
    std::vector<std::string> lines = {M + "Code", "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", M + "Remark", longLine,
                                      M + "Notes"};
    for (std::size_t i = 0; i < kMaxMemoText / 1000 + 5; ++i)
        lines.push_back(std::string(999, 'm'));
    const std::vector<std::string> notes = LoadFieldStrings(set.All(), lines);
    EXPECT_EQ(limited.StringValue(), "\u00e9\u00e9\u00e9\u00e9\u00e9") << "five characters, not five bytes";
    EXPECT_EQ(open.StringValue().size(), kMaxFieldText);
    std::size_t memoLength = 0;
    for (const std::string& line : memo.Lines())
        memoLength += line.size();
    EXPECT_EQ(memoLength, kMaxMemoText);
    EXPECT_EQ(notes, (std::vector<std::string>{"Code: the value was cut to 5 characters",
                                               "Remark: the value was cut to 4096 characters",
                                               "Notes: the value was cut to 65536 characters"}));
}

TEST_F(FieldDataTest, MarkersAndStrayLines) {
    FieldSet set;
    TKVTField& first = set.Add("Total", lfoText);
    TKVTField& second = set.Add("TOTAL", lfoText);
    TKVTField& count = set.Add("Count", lfoInteger);
    TKVTField& notes = set.Add("Notes", lfoMemo);
    count.SetValue(5);
    const std::vector<std::string> lines = {
        "before any marker",   M + "total", "one", "two", // the later of two same names; a later line overrides
        M + "Missing",         "lost",                    // names no field
        M + "Count",           "x12",                     // unparsable: 0
        M + "Notes",           "a",         M,     "after a bare marker", // ends the memo's lines, selects nothing
        "Notes" + M + "Count", "3", // a 1 anywhere makes a marker: "otes\x01Count" names no field
    };
    LoadFieldStrings(set.All(), lines);
    EXPECT_EQ(first.StringValue(), "");
    EXPECT_EQ(second.StringValue(), "two");
    EXPECT_EQ(count.Value(), 0);
    EXPECT_EQ(notes.Lines(), (std::vector<std::string>{"a"}));
}

TEST_F(FieldDataTest, ManyFieldsAreFoundByNameInAnyCaseAndOrder) {
    // Field i is named "Name<i>"; every third name comes back further on in capitals, and that
    // later field is the one a marker of either spelling fills.
    FieldSet set;
    constexpr std::size_t kNames = 700;
    std::vector<TKVTField*> first(kNames), last(kNames);
    for (std::size_t i = 0; i < kNames; ++i)
        first[i] = last[i] = &set.Add("Name" + std::to_string(i), lfoText);
    for (std::size_t i = 0; i < kNames; i += 3)
        last[i] = &set.Add("NAME" + std::to_string(i), lfoText);
    std::vector<std::string> lines;
    for (std::size_t i = kNames; i-- > 0;) {
        lines.push_back(M + (i % 2 ? "name" : "NaMe") + std::to_string(i));
        lines.push_back("value " + std::to_string(i));
        lines.push_back(M + "Name" + std::to_string(i + kNames)); // no such field
        lines.push_back("lost");
    }
    LoadFieldStrings(set.All(), lines);
    for (std::size_t i = 0; i < kNames; ++i) {
        EXPECT_EQ(last[i]->StringValue(), "value " + std::to_string(i));
        if (first[i] != last[i]) {
            EXPECT_EQ(first[i]->StringValue(), "") << i;
        }
    }
}

TEST_F(FieldDataTest, NumbersDatesAndTimesParseOrLoadAsZero) {
    FieldSet set;
    TKVTField& real = set.Add("Real", lfoReal);
    TKVTField& date = set.Add("Date", lfoDate);
    TKVTField& month = set.Add("Month", lfoShortDate);
    TKVTField& time = set.Add("Time", lfoMTime);
    const std::vector<std::string> good = {M + "Real",  " 2.5E1 ",    M + "Date", "12/31/1999",
                                           M + "Month", "12/31/1999", M + "Time", "23:59:59"};
    LoadFieldStrings(set.All(), good);
    EXPECT_EQ(real.Value(), 25);
    EXPECT_EQ(date.Value(), EncodeDate(1999, 12, 31).value());
    EXPECT_EQ(month.Value(), EncodeDate(1999, 12, 31).value()); // not "MM/YY": read as a date
    EXPECT_DOUBLE_EQ(time.Value(), EncodeTime(23, 59, 59, 0));
    const std::vector<std::string> bad = {M + "Real",  "1,5",   M + "Date", "13/45/99",
                                          M + "Month", "13/05", M + "Time", "25:00"};
    LoadFieldStrings(set.All(), bad);
    for (TKVTField* field : set.All())
        EXPECT_EQ(field->Value(), 0) << field->Name;
}

TEST_F(FieldDataTest, ValuesNeverBreakTheLineStructure) {
    FieldSet set;
    set.Add("Text", lfoText).SetStringValue("line one\r\nline " + M + "two");
    set.Add("Memo", lfoMemo).SetLines({M + "Text", "a\nb"});
    set.Add("After", lfoText).SetStringValue("kept");
    const std::vector<std::string> lines = SaveFieldStrings(set.All(), false);
    EXPECT_EQ(lines, (std::vector<std::string>{M + "Text", "line one  line two", M + "Memo", "Text", "a b", M + "After",
                                               "kept"}));
    FieldSet loaded;
    TKVTField& text = loaded.Add("Text", lfoText);
    TKVTField& after = loaded.Add("After", lfoText);
    LoadFieldStrings(loaded.All(), lines);
    EXPECT_EQ(text.StringValue(), "line one  line two");
    EXPECT_EQ(after.StringValue(), "kept");
}

TEST_F(FieldDataTest, FileRoundTripInWindows1252) {
    const auto path = TempFile("roundtrip.kvf");
    FieldSet set;
    AddSample(set);
    set.Add("Price", lfoText).SetStringValue("\u20AC5 \u0394"); // the Greek letter has no code
    const std::vector<std::string> lines = SaveFieldStrings(set.All(), false);
    WriteFieldDataFile(path, lines);

    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, 17), "\x01"
                                   "Amount\r\n1234.5\r\n");
    EXPECT_NE(bytes.find("Z\xFCrich\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\x80"
                         "5 ?\r\n"),
              std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    std::vector<std::string> expected = lines;
    expected.back() = "\u20AC5 ?";
    EXPECT_EQ(ReadFieldDataFile(path), expected);
}

TEST_F(FieldDataTest, ReadsAnyLineBreaks) {
    const auto path = TempFile("breaks.kvf");
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"\x01"
         "A\nx\n",
         {M + "A", "x"}},
        {"\x01"
         "A\rx",
         {M + "A", "x"}},
        {"a\r\r\nb\n\nc", {"a", "", "b", "", "c"}},
        {"caf\xE9\r\n", {"caf\u00E9"}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}}, // a NUL is an ordinary character
        {"\n", {""}},
        {"", {}},
    };
    for (const auto& [bytes, lines] : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
        EXPECT_EQ(ReadFieldDataFile(path), lines);
    }
}

TEST_F(FieldDataTest, MissingFileRaisesAFileError) {
    const auto path = TempFile("missing.kvf");
    EXPECT_THROW(ReadFieldDataFile(path), EFileError);
    EXPECT_THROW(WriteFieldDataFile(path / "below-a-file", {}), EFileError);
}

} // namespace
} // namespace kovet
