// Inputs made to exhaust the tool end within seconds with a message naming what was refused.

#include "CliRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace clitest;

TEST(HostileInput, OnlyRegularFilesOfAFormsSizeAreRead) {
    const TempDir dir;
    const fs::path fifo = dir / "pipe.kvt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path huge = dir / "huge.kvt";
    WriteFile(huge, std::vector<std::uint8_t>{1});
    fs::resize_file(huge, (64u << 20) + 1); // sparse: takes no disk
    const struct {
        std::string file, reason;
    } cases[] = {
        {"/dev/zero", "Not a regular file"},
        {fifo.string(), "Not a regular file"},
        {dir.path().string(), "Not a regular file"},
        {huge.string(), "Larger than 64 MiB, more than any form holds"},
    };
    for (const auto& c : cases) {
        for (const char* command : {"info", "emfdump"}) {
            const RunResult r = Kovet({command, c.file});
            EXPECT_EQ(r.status, 1) << command << " " << c.file;
            EXPECT_EQ(r.err, "kovet: Cannot read file \"" + c.file + "\". " + c.reason + "\n");
        }
    }
}

TEST(HostileInput, AHugeValueIsCutToWhatItsFieldHoldsWithAWarning) {
    const TempDir dir;
    std::string data = "\x01"
                       "CustomerName\r\n";
    data += std::string(8 << 20, 'A') + "\r\n";
    WriteFile(dir / "huge.kvf", std::vector<std::uint8_t>(data.begin(), data.end()));
    const std::string invoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";
    const RunResult r = Kovet({"fill", invoice, "--data", (dir / "huge.kvf").string(), "--dump"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "kovet: warning: " + (dir / "huge.kvf").string() +
                         ": CustomerName: the value was cut to 40 characters\n");
    EXPECT_NE(r.out.find("CustomerName\t" + std::string(40, 'A') + "\n"), std::string::npos) << "its MaxLength";
}
