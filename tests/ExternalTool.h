#pragma once

// Running an outside program (poppler, LibreOffice...) from a test.

#include <cstdio>
#include <optional>
#include <string>

namespace kovet::test {

// Standard output of a shell command, or nullopt when it fails (or the tool is missing).
inline std::optional<std::string> Tool(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    return ::pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

} // namespace kovet::test
