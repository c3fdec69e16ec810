// Runs every benchmark, then prints the ratios that state the targets: each compares two
// measurements of the same run, so the machine's speed cancels out.
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <vector>

namespace kovet::bench {
namespace {

struct Ratio {
    std::string label, measured, baseline, target;
};

std::vector<Ratio>& ratios() {
    static std::vector<Ratio> all;
    return all;
}

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

void AddRatio(std::string label, std::string measured, std::string baseline, std::string target) {
    ratios().push_back({std::move(label), std::move(measured), std::move(baseline), std::move(target)});
}

} // namespace kovet::bench

int main(int argc, char** argv) {
    using namespace kovet::bench;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nRatios (same run):\n");
    for (const Ratio& r : ratios()) {
        const auto m = reporter.times.find(r.measured);
        const auto b = reporter.times.find(r.baseline);
        if (m == reporter.times.end() || b == reporter.times.end() || b->second <= 0) {
            std::printf("  %-44s not measured\n", r.label.c_str());
            continue;
        }
        std::printf("  %-44s %8.2f   (target: %s)\n", r.label.c_str(), m->second / b->second, r.target.c_str());
    }
    return 0;
}
