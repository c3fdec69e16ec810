#pragma once

// Running the built programs and handling the files they read and write.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace clitest {

namespace fs = std::filesystem;

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "kovet-cli-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

inline std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ReadText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

inline void WriteFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a program of the build's bin folder and collects its exit status and output. `setup`
// is shell text run first in the same shell: a folder to change to, limits to set.
inline RunResult Run(const std::string& program, const std::vector<std::string>& args, const std::string& setup = {}) {
    const TempDir capture;
    std::string command = setup + (setup.empty() ? "" : "; exec ");
    command += ShellQuote(std::string(KOVET_BIN_DIR) + "/" + program);
    for (const std::string& arg : args)
        command += " " + ShellQuote(arg);
    command += " >" + ShellQuote((capture / "out").string()) + " 2>" + ShellQuote((capture / "err").string());
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadText(capture / "out");
    result.err = ReadText(capture / "err");
    return result;
}

// The value column of the `kovet fill --dump` line for `name`, or nullopt when no line names it.
inline std::optional<std::string> Dumped(const std::string& dump, const std::string& name) {
    const std::string key = name + "\t";
    for (std::size_t at = 0; at < dump.size();) {
        const std::size_t end = dump.find('\n', at);
        const std::string line = dump.substr(at, end - at);
        if (line.rfind(key, 0) == 0) return line.substr(key.size());
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return std::nullopt;
}

inline RunResult Kovet(const std::vector<std::string>& args, const std::string& setup = {}) {
    return Run("kovet", args, setup);
}

// Shell text that lets files grow to 512 bytes only: writes beyond fail as on a full disk.
inline std::string TinyFileSizeLimit() {
    // The shell counts in blocks of 512 bytes.
    return "trap '' XFSZ; ulimit -f 1";
}

} // namespace clitest
