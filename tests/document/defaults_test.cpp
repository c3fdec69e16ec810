#include "document/Defaults.h"

#include "storage/Exception.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace kovet;
namespace fs = std::filesystem;

namespace {

using Image = std::array<std::uint8_t, kDefaultsSize>;

void Put(Image& b, std::size_t at, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        b[at + i] = std::uint8_t(value >> (8 * i));
}

void PutString(Image& b, std::size_t at, const char* text) {
    b[at] = std::uint8_t(std::strlen(text));
    std::memcpy(&b[at + 1], text, std::strlen(text));
}

// The built-in record written out at absolute file offsets, independent of the record
// accessors, so that a wrong offset in either shows.
Image BuiltIn() {
    Image b{};
    b[42] = 1;
    b[45] = 3;
    Put(b, 46, 0xFFFFFF, 4);
    b[295] = 10;
    PutString(b, 296, "Arial");
    Put(b, 321, 13, 2);
    b[332] = 1;
    PutString(b, 345, "Text");
    Put(b, 625, 100, 2);
    Put(b, 627, 100, 2);
    Put(b, 631, 0xAAFFFF, 4);
    b[639] = 1;
    Put(b, 675, 100, 2);
    Put(b, 677, 10, 2);
    b[688] = 1;
    Put(b, 725, 100, 2);
    Put(b, 727, 100, 2);
    Put(b, 735, 0xAAFFFF, 4);
    b[739] = 1;
    b[753] = 1;
    b[783] = 11;
    PutString(b, 784, "Courier New");
    Put(b, 809, std::uint16_t(-15), 2);
    PutString(b, 820, "Field");
    b[863] = 8;
    b[864] = 2;
    Put(b, 868, 255, 2);
    b[874] = 1;
    b[875] = 1;
    b[879] = 1;
    b[880] = 1;
    Put(b, 881, 0xFFFFFF, 4);
    b[889] = 5;
    float scale = 0.33f;
    std::memcpy(&b[893], &scale, 4);
    return b;
}

::testing::AssertionResult SameImage(const Image& actual, const Image& expected) {
    for (std::size_t i = 0; i < kDefaultsSize; ++i) {
        if (actual[i] != expected[i]) {
            return ::testing::AssertionFailure()
                   << "byte " << i << " is " << int(actual[i]) << ", expected " << int(expected[i]);
        }
    }
    return ::testing::AssertionSuccess();
}

class DefaultsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("kovet_defaults_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path file() const { return folder_ / kDefaultsFileName; }

    void Write(const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(file(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    std::vector<std::uint8_t> Read() const {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path folder_;
};

} // namespace

TEST(DefaultsReset, BuiltInValuesLieAtTheirFileOffsets) {
    TKVTDefaults d;
    EXPECT_TRUE(SameImage(d.Record, BuiltIn()));
}

TEST(DefaultsReset, ResetUndoesEveryChange) {
    TKVTDefaults d;
    d.Record.fill(0x5A);
    d.Reset();
    EXPECT_TRUE(SameImage(d.Record, BuiltIn()));
}

TEST(DefaultsLoadBytes, AShortFileFillsOnlyItsOwnBytes) {
    std::vector<std::uint8_t> bytes(900);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7 + 1);
    bytes[889] = 5;
    const float scale = 0.5f;
    std::memcpy(&bytes[893], &scale, 4);

    TKVTDefaults d;
    EXPECT_EQ(d.LoadFromBytes(bytes), "");
    Image expected{};
    std::copy(bytes.begin(), bytes.end(), expected.begin());
    EXPECT_TRUE(SameImage(d.Record, expected));
    EXPECT_EQ(DefaultsRec::WordScale.get(d.Record), 0.5f);
}

TEST(DefaultsLoadBytes, ALongerFileIsReadOnlyAsFarAsTheRecord) {
    std::vector<std::uint8_t> bytes(2000, 0x11);
    bytes[889] = 5;
    TKVTDefaults d;
    EXPECT_EQ(d.LoadFromBytes(bytes), "");
    Image expected;
    expected.fill(0x11);
    expected[889] = 5;
    EXPECT_TRUE(SameImage(d.Record, expected));
}

TEST(DefaultsLoadBytes, AnotherVersionResetsWithTheMessage) {
    for (const std::size_t size : {std::size_t(0), std::size_t(889), kDefaultsSize}) {
        std::vector<std::uint8_t> bytes(size, 0x22);
        if (size > 889) bytes[889] = 4;
        TKVTDefaults d;
        EXPECT_EQ(d.LoadFromBytes(bytes), "Defaults have been reset due to newer record version") << size;
        EXPECT_TRUE(SameImage(d.Record, BuiltIn())) << size;
    }
}

TEST_F(DefaultsFile, AMissingFileResetsQuietlyAndCreatesNothing) {
    TKVTDefaults d;
    d.Record[752] = 1;
    EXPECT_EQ(d.Load(file()), "");
    EXPECT_TRUE(SameImage(d.Record, BuiltIn()));
    EXPECT_FALSE(fs::exists(file()));
}

TEST_F(DefaultsFile, AnUnreadableFileRaisesAFileError) {
    fs::create_directory(file());
    TKVTDefaults d;
    EXPECT_THROW(d.Load(file()), EFileError);
}

TEST_F(DefaultsFile, SaveThenLoadGivesTheSameRecord) {
    TKVTDefaults d;
    d.Record[752] = 1;
    DefaultsRec::RulerUnits.set(d.Record, 2);
    FieldRec::Name.set(d.Field(), "Customer");
    d.Save(file());
    ASSERT_EQ(fs::file_size(file()), kDefaultsSize);

    TKVTDefaults reloaded;
    EXPECT_EQ(reloaded.Load(file()), "");
    EXPECT_TRUE(SameImage(reloaded.Record, d.Record));
    EXPECT_EQ(FieldRec::Name.get(reloaded.Field()), "Customer");
}

TEST_F(DefaultsFile, AVersionFourFileIsResetAndRewrittenAsVersionFive) {
    std::vector<std::uint8_t> old(kDefaultsSize, 0);
    old[889] = 4;
    old[752] = 1;
    Write(old);

    TKVTDefaults d;
    EXPECT_EQ(d.Load(file()), kDefaultsResetMessage);
    EXPECT_TRUE(SameImage(d.Record, BuiltIn()));
    d.Save(file());
    const std::vector<std::uint8_t> saved = Read();
    ASSERT_EQ(saved.size(), kDefaultsSize);
    EXPECT_EQ(saved[889], 5);
    EXPECT_EQ(saved[752], 0);
}

TEST_F(DefaultsFile, ASaveIntoAMissingFolderFails) {
    TKVTDefaults d;
    EXPECT_THROW(d.Save(folder_ / "missing" / kDefaultsFileName), EFileError);
}

TEST_F(DefaultsFile, AFailedSaveLeavesTheOldFileWhole) {
    TKVTDefaults first;
    first.Record[752] = 1;
    first.Save(file());
    const std::vector<std::uint8_t> before = Read();

    // A file-size limit smaller than the record makes the write fail even for root.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    TKVTDefaults second;
    bool failed = false;
    try {
        second.Save(file());
    } catch (const EFileError&) {
        failed = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_TRUE(failed);
    EXPECT_EQ(Read(), before);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_))
        ++entries;
    EXPECT_EQ(entries, 1u) << "the temporary file was left behind";
}
