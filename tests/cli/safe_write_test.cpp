// Every file kovet writes replaces its target whole or not at all: under a full disk, a
// planted link, a kill in the middle, and a page picture too large to make.

#include "CliRun.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <thread>

using namespace clitest;

namespace {

const std::string kInvoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";

std::vector<std::string> folderNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Each kind of output, to a file of `dir` named by the extension.
std::vector<std::vector<std::string>> writers(const TempDir& dir) {
    const auto out = [&](const char* name) { return (dir / name).string(); };
    return {
        {"convert", kInvoice, "-o", out("out.kvt")},
        {"info", "--json", kInvoice, "-o", out("out.json")},
        {"render", kInvoice, "-o", out("out.png")},
        {"render", kInvoice, "-o", out("out.bmp")},
        {"render", kInvoice, "-o", out("out.svg")},
        {"render", kInvoice, "-o", out("out.emf")},
        {"fill", kInvoice, "--set", "CustomerName=Ada", "-o", out("out.pdf")},
        {"fill", kInvoice, "--set", "CustomerName=Ada", "-o", out("out.kvf")},
    };
}

} // namespace

TEST(SafeWrite, AFullDiskLeavesTheOldFileAndNoTemporary) {
    const TempDir dir;
    const std::string old = "the file that was there\n";
    for (const std::vector<std::string>& args : writers(dir)) {
        const fs::path target = args.back();
        WriteFile(target, std::vector<std::uint8_t>(old.begin(), old.end()));
        // Every output is larger than the limit.
        const RunResult r = Kovet(args, TinyFileSizeLimit());
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_NE(r.err.find("Cannot write file \"" + target.string() + "\""), std::string::npos) << r.err;
        EXPECT_EQ(ReadText(target), old) << target;
    }
    EXPECT_EQ(folderNames(dir.path()).size(), writers(dir).size()) << "no temporaries are left";
}

TEST(SafeWrite, LinksStayAndPlantedOnesAreNotFollowed) {
    const TempDir dir;
    const std::string victim = "not to be touched\n";
    WriteFile(dir / "victim", std::vector<std::uint8_t>(victim.begin(), victim.end()));
    // Where an earlier version wrote its temporary file.
    fs::create_symlink(dir / "victim", dir / "out.pdf.part");
    // The user's own link: the file it leads to is replaced and the link stays.
    fs::create_symlink("real.kvf", dir / "values.kvf");
    ASSERT_EQ(Kovet({"fill", kInvoice, "-o", (dir / "out.pdf").string()}).status, 0);
    ASSERT_EQ(Kovet({"fill", kInvoice, "--set", "CustomerName=Ada", "-o", (dir / "values.kvf").string()}).status, 0);
    EXPECT_EQ(ReadText(dir / "victim"), victim);
    EXPECT_TRUE(fs::is_symlink(dir / "values.kvf"));
    EXPECT_NE(ReadText(dir / "real.kvf").find("Ada"), std::string::npos);
}

TEST(SafeWrite, AKilledWriteLeavesTheOldOrTheNewFileWhole) {
    const TempDir dir;
    std::vector<std::string> batch = {"fill", kInvoice};
    const std::string values = "\x01"
                               "CustomerName\r\nAda\r\n";
    WriteFile(dir / "a.kvf", std::vector<std::uint8_t>(values.begin(), values.end()));
    for (int i = 0; i < 40; ++i) {
        batch.push_back("--data");
        batch.push_back((dir / "a.kvf").string());
    }
    const fs::path target = dir / "batch.pdf";
    batch.push_back("-o");
    batch.push_back(target.string());
    ASSERT_EQ(Kovet(batch).status, 0);
    const std::vector<std::uint8_t> whole = ReadFile(target);

    std::string command = ShellQuote(std::string(KOVET_BIN_DIR) + "/kovet");
    for (const std::string& arg : batch)
        command += " " + ShellQuote(arg);
    std::mt19937 random(20261208);
    for (int round = 0; round < 12; ++round) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::execl("/bin/sh", "sh", "-c", ("exec " + command + " 2>/dev/null").c_str(), nullptr);
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 600)(random)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const std::vector<std::uint8_t> now = ReadFile(target);
        // PDF files carry their time of making, so a new one differs from the old in that only.
        EXPECT_EQ(now.size(), whole.size()) << "round " << round;
        const std::string tail(now.end() - std::min<std::size_t>(now.size(), 6), now.end());
        EXPECT_EQ(tail, "%%EOF\n") << "round " << round;
    }
    ASSERT_EQ(Kovet(batch).status, 0);
    EXPECT_EQ(folderNames(dir.path()), (std::vector<std::string>{"a.kvf", "batch.pdf"}));
}

TEST(SafeWrite, APagePictureTooLargeToMakeIsRefusedByName) {
    const TempDir dir;
    const std::string old = "the old picture\n";
    WriteFile(dir / "page.png", std::vector<std::uint8_t>(old.begin(), old.end()));
    const RunResult r = Kovet({"render", kInvoice, "-o", (dir / "page.png").string(), "--scale", "30"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kovet: The page picture of 24480 x 31680 pixels is larger than 16384 pixels a side or 256 MiB\n");
    EXPECT_EQ(ReadText(dir / "page.png"), old);
}

TEST(SafeWrite, APagePictureThatCannotBeAllocatedIsReportedAndWritesNothing) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
    const TempDir dir;
    const std::string old = "the old picture\n";
    WriteFile(dir / "page.png", std::vector<std::uint8_t>(old.begin(), old.end()));
    // 200 MB of address space: enough for the tool, not for a picture of 210 MB.
    const RunResult r = Kovet({"render", kInvoice, "-o", (dir / "page.png").string(), "--scale", "7.8"},
                              "ulimit -v 200000");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kovet: The page picture of 6364 x 8236 pixels cannot be allocated\n");
    EXPECT_EQ(ReadText(dir / "page.png"), old);
}
