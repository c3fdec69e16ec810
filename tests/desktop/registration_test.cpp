// The form file type registered with the user's desktop, into a data folder of the test's own;
// the outside tools (desktop-file-validate, update-mime-database, update-desktop-database)
// judge the result where they are installed.

#include "platform/FileTypeRegistration.h"

#include "ExternalTool.h"
#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <sys/stat.h>

using namespace kovet;
using clitest::ReadFile;
using clitest::ReadText;
using clitest::ShellQuote;
using clitest::TempDir;
using kovet::test::Tool;
namespace fs = std::filesystem;

namespace {

const fs::path kData = fs::path(KOVET_SOURCE_DIR) / "data";

// Sets an environment variable for the scope, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

bool installed(const std::string& tool) {
    return Tool("command -v " + tool).has_value();
}

// Each regular file under the folder with its inode and modification time: a file written
// again, even with the same bytes, gets a new inode from the safe write and a new time.
std::map<fs::path, std::pair<ino_t, std::int64_t>> fileStamps(const fs::path& folder) {
    std::map<fs::path, std::pair<ino_t, std::int64_t>> stamps;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat info {};
        if (!entry.is_regular_file() || ::stat(entry.path().c_str(), &info) != 0) continue;
        stamps[entry.path()] = {info.st_ino, std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
    }
    return stamps;
}

// desktop-file-validate's verdict: nullopt when the entry passes without errors or warnings
// (hints are fine), else what it said.
std::optional<std::string> validatorComplaints(const fs::path& entry) {
    const auto said = Tool("desktop-file-validate " + ShellQuote(entry.string()));
    if (!said) return "errors (exit status not 0)";
    if (said->find("warning:") != std::string::npos) return said;
    return std::nullopt;
}

} // namespace

TEST(FileTypeRegistration, WritesTheTypeTheEntryAndTheIconsUnderXdgDataHome) {
    const TempDir home;
    const ScopedEnv xdg("XDG_DATA_HOME", home.path().string());
    EXPECT_EQ(RegisterFileType({.Program = "/opt/kovet/bin/kovet-designer"}), "");

    EXPECT_EQ(ReadFile(home / "mime/packages/kovet-form.xml"), ReadFile(kData / "kovet-form.xml"));
    EXPECT_EQ(ReadFile(home / "icons/hicolor/scalable/apps/kovet-designer.svg"),
              ReadFile(kData / "icons/kovet-designer.svg"));
    EXPECT_EQ(ReadFile(home / "icons/hicolor/scalable/mimetypes/application-x-kovet-form.svg"),
              ReadFile(kData / "icons/application-x-kovet-form.svg"));
    // The shipped entry with this program in place of the one on the PATH, nothing else changed.
    std::string expected = ReadText(kData / "kovet-designer.desktop");
    expected.replace(expected.find("Exec=kovet-designer %f"), 22, "Exec=\"/opt/kovet/bin/kovet-designer\" %f");
    expected.replace(expected.find("TryExec=kovet-designer"), 22, "TryExec=/opt/kovet/bin/kovet-designer");
    EXPECT_EQ(ReadText(home / "applications/kovet-designer.desktop"), expected);
}

TEST(FileTypeRegistration, DesktopEntriesPassTheValidatorWhateverThePath) {
    if (!installed("desktop-file-validate")) GTEST_SKIP() << "desktop-file-utils are not installed";
    EXPECT_EQ(validatorComplaints(kData / "kovet-designer.desktop"), std::nullopt);

    const TempDir home;
    const std::string program = R"(/home/o'neil/my "forms" $HOME 100% \tools/kovet-designer)";
    EXPECT_EQ(RegisterFileType({.Program = program, .DataHome = home.path()}), "");
    const fs::path entry = home / "applications/kovet-designer.desktop";
    const std::string text = ReadText(entry);
    // In quotes with ", $ and \ escaped and % doubled; then the backslashes of that escaped
    // again, as for any string value.
    EXPECT_NE(text.find(R"(Exec="/home/o'neil/my \\"forms\\" \\$HOME 100%% \\\\tools/kovet-designer" %f)"
                        "\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(R"(TryExec=/home/o'neil/my "forms" $HOME 100% \\tools/kovet-designer)"
                        "\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(validatorComplaints(entry), std::nullopt);
}

TEST(FileTypeRegistration, WritesOnlyWhatDiffers) {
    const TempDir home;
    const RegistrationPaths paths{.Program = "/usr/bin/kovet-designer", .DataHome = home.path()};
    ASSERT_EQ(RegisterFileType(paths), "");
    const auto first = fileStamps(home.path());
    ASSERT_GE(first.size(), 4u);

    // A second start finds everything in place, the tools' databases included.
    EXPECT_EQ(RegisterFileType(paths), "");
    EXPECT_EQ(fileStamps(home.path()), first);

    // Started from elsewhere, with an icon damaged: the entry and that icon are written again,
    // the rest stays.
    const fs::path icon = home / "icons/hicolor/scalable/apps/kovet-designer.svg";
    clitest::WriteFile(icon, std::vector<std::uint8_t>{'<'});
    const auto damaged = fileStamps(home.path());
    EXPECT_EQ(RegisterFileType({.Program = "/opt/build/kovet-designer", .DataHome = home.path()}), "");
    const auto after = fileStamps(home.path());
    EXPECT_EQ(ReadFile(icon), ReadFile(kData / "icons/kovet-designer.svg"));
    EXPECT_NE(ReadText(home / "applications/kovet-designer.desktop").find("Exec=\"/opt/build/kovet-designer\" %f"),
              std::string::npos);
    for (const char* kept :
         {"mime/packages/kovet-form.xml", "icons/hicolor/scalable/mimetypes/application-x-kovet-form.svg"})
        EXPECT_EQ(after.at(home / kept), damaged.at(home / kept)) << kept;
}

TEST(FileTypeRegistration, FailuresAreOneLineAndNeverThrow) {
    const TempDir dir;
    // A file where the data folder should be.
    clitest::WriteFile(dir / "share", std::vector<std::uint8_t>{'x'});
    std::string message;
    EXPECT_NO_THROW(message = RegisterFileType({.Program = "/usr/bin/kovet-designer", .DataHome = dir / "share"}));
    EXPECT_EQ(message.rfind("The .kvt file type is not fully registered: Cannot create folder \"" +
                                (dir / "share/mime/packages").string() + "\"",
                            0),
              0u)
        << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);

    // Without an absolute program path there is no entry to write; the type is registered all
    // the same.
    const TempDir home;
    message = RegisterFileType({.Program = "kovet-designer", .DataHome = home.path()});
    EXPECT_EQ(message,
              "The .kvt file type is not fully registered: the designer's own path \"kovet-designer\" is not absolute");
    EXPECT_FALSE(fs::exists(home / "applications/kovet-designer.desktop"));
    EXPECT_TRUE(fs::exists(home / "mime/packages/kovet-form.xml"));
}

TEST(FileTypeRegistration, ToolsThatHangOrFailAreReportedNotWaitedFor) {
    const TempDir bin, home;
    const auto script = [&](const char* name, const std::string& body) {
        const std::string text = "#!/bin/sh\n" + body + "\n";
        clitest::WriteFile(bin / name, std::vector<std::uint8_t>(text.begin(), text.end()));
        fs::permissions(bin / name, fs::perms::owner_all);
    };
    script("update-mime-database", "exec sleep 30");
    script("update-desktop-database", "echo 'cannot parse the cache' >&2\necho 'second line' >&2\nexit 1");
    // Found before the real ones.
    const char* const oldPath = std::getenv("PATH");
    const ScopedEnv path("PATH", bin.path().string() + (oldPath != nullptr ? ":" + std::string(oldPath) : ""));

    const auto start = std::chrono::steady_clock::now();
    const std::string message = RegisterFileType({.Program = "/usr/bin/kovet-designer", .DataHome = home.path()});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(kRegistrationToolSeconds + 2));
    EXPECT_EQ(message, "The .kvt file type is not fully registered: update-mime-database did not finish within " +
                           std::to_string(kRegistrationToolSeconds) +
                           " seconds; update-desktop-database failed: cannot parse the cache");
}

TEST(FileTypeRegistration, TheMimeDatabaseKnowsTheTypeAfterwards) {
    if (!installed("update-mime-database")) GTEST_SKIP() << "shared-mime-info is not installed";
    const TempDir home;
    ASSERT_EQ(RegisterFileType({.Program = "/usr/bin/kovet-designer", .DataHome = home.path()}), "");
    const std::string type = ReadText(home / "mime/application/x-kovet-form.xml");
    EXPECT_NE(type.find("<comment>Kovet form</comment>"), std::string::npos) << type;
    EXPECT_NE(ReadText(home / "mime/globs2").find(":application/x-kovet-form:*.kvt"), std::string::npos);
    EXPECT_NE(ReadText(home / "mime/icons").find("application/x-kovet-form:application-x-kovet-form"),
              std::string::npos);

    if (!installed("update-desktop-database")) return;
    EXPECT_NE(ReadText(home / "applications/mimeinfo.cache").find("application/x-kovet-form=kovet-designer.desktop;"),
              std::string::npos);
}
