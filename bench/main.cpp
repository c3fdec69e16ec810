// Runs every benchmark, then prints the ratios that state the targets: each compares two
// measurements of the same run, so the machine's speed cancels out. The ratios divide CPU
// times, each the median of several repetitions run in turns with the other benchmarks': on a
// shared machine the wall clock and a single repetition swing with whatever else runs.
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <map>
#include <string_view>
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

// Seconds of CPU per iteration, whatever time unit a benchmark reports in. A benchmark that
// times its iterations itself (UseManualTime: the processor time of the processes it runs)
// reports that time in place of the wall clock.
double CpuSeconds(const benchmark::BenchmarkReporter::Run& run) {
    const bool manual = run.run_name.str().ends_with("/manual_time");
    return (manual ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime()) /
           benchmark::GetTimeUnitMultiplier(run.time_unit);
}

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.str()] = CpuSeconds(run);
            } else if (run.run_type == Run::RT_Iteration) {
                singles[run.run_name.str()] = CpuSeconds(run);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The median of the repetitions; a run of one repetition has no median, only its time.
    const double* Time(const std::string& name) const {
        for (const auto* times : {&medians, &singles}) {
            if (const auto found = times->find(name); found != times->end()) return &found->second;
        }
        return nullptr;
    }

private:
    std::map<std::string, double> medians, singles;
};

// Five repetitions reported by their statistics alone, unless the command line says otherwise
// (flags given later win). The repetitions of all benchmarks run in random turns, so a stretch
// of load from elsewhere falls on a ratio's measured and baseline benchmarks alike.
std::vector<char*> WithDefaultRepetitions(int argc, char** argv) {
    static char repetitions[] = "--benchmark_repetitions=5";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    static char interleaved[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + (argc > 0 ? 1 : 0), {repetitions, aggregatesOnly, interleaved});
    args.push_back(nullptr);
    return args;
}

} // namespace

void AddRatio(std::string label, std::string measured, std::string baseline, std::string target) {
    ratios().push_back({std::move(label), std::move(measured), std::move(baseline), std::move(target)});
}

} // namespace kovet::bench

int main(int argc, char** argv) {
    using namespace kovet::bench;
    // The allocator settings of the kovet command: freed memory stays with the process. Under
    // glibc's adaptive thresholds whether a large buffer is handed back to the system, and
    // faulted in again at its next use, depends on what earlier benchmarks left on the heap; a
    // PDF page (two 10 MB buffers in Qt's writer) then took 24 or 33 ms by the luck of the turn.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    std::vector<char*> args = WithDefaultRepetitions(argc, argv);
    int count = int(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nRatios (same run):\n");
    for (const Ratio& r : ratios()) {
        const double* m = reporter.Time(r.measured);
        const double* b = reporter.Time(r.baseline);
        if (m == nullptr || b == nullptr || *b <= 0) {
            std::printf("  %-44s not measured\n", r.label.c_str());
            continue;
        }
        std::printf("  %-44s %8.2f   (target: %s)\n", r.label.c_str(), *m / *b, r.target.c_str());
    }
    return 0;
}
