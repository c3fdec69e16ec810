#pragma once

#include <string>

namespace kovet::bench {

// A line printed after the run: the CPU time of `measured` divided by that of `baseline`
// (each the median of its repetitions), both benchmark names of the same run, with what the
// ratio should be.
void AddRatio(std::string label, std::string measured, std::string baseline, std::string target);

} // namespace kovet::bench
