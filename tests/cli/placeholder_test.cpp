#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(Cli, UsageExitsWithTwo) {
    const std::string cmd = std::string(KOVET_BIN_DIR) + "/kovet >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
}
