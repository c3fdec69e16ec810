#pragma once

// `kovet fill` and `kovet print`: a form filled in an off-screen run-time widget, its values
// dumped or saved, its page printed or exported.

#include <string>
#include <vector>

namespace kovet::cli {

// Both return the exit status; a usage error is reported as kUsageError without output.
inline constexpr int kUsageError = 2;

// kovet fill FORM [--data FILE.kvf]... [--set NAME=VALUE]... [--dump] [-o OUT]
//                 [--print-options NAME,NAME...]
int Fill(const std::vector<std::string>& args, int& argc, char** argv);

// kovet print FORM [--data FILE.kvf] [--printer NAME]
int Print(const std::vector<std::string>& args, int& argc, char** argv);

} // namespace kovet::cli
