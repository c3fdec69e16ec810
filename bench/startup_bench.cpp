// Starting the command-line tool: `kovet info` against `pdfinfo` (poppler) on a one-page PDF,
// each run as a process. The time of a run is the processor time its process used, which
// another load on the machine does not stretch the way it stretches the wall clock.
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace kovet::bench {
namespace {

const std::string kInvoice = std::string(KOVET_SOURCE_DIR) + "/examples/invoice.kvt";
const std::string kKovet = std::string(KOVET_BIN_DIR) + "/kovet";

double childSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the program with its output thrown away; false when it could not run or failed.
bool run(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void runProcesses(benchmark::State& state, const std::vector<std::string>& args) {
    if (!run(args)) {
        state.SkipWithError(("cannot run " + args[0]).c_str());
        return;
    }
    for (auto _ : state) {
        const double before = childSeconds();
        run(args);
        state.SetIterationTime(childSeconds() - before);
    }
}

void BM_KovetInfoProcess(benchmark::State& state) {
    runProcesses(state, {kKovet, "info", kInvoice});
}
BENCHMARK(BM_KovetInfoProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PdfinfoProcess(benchmark::State& state) {
    const std::string pdf = (std::filesystem::temp_directory_path() / "kovet_startup_bench.pdf").string();
    if (!run({kKovet, "render", kInvoice, "-o", pdf})) {
        state.SkipWithError("cannot render the sample PDF");
        return;
    }
    runProcesses(state, {"pdfinfo", pdf});
    std::filesystem::remove(pdf);
}
BENCHMARK(BM_PdfinfoProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

const bool registered = [] {
    AddRatio("kovet info process / pdfinfo process", "BM_KovetInfoProcess/manual_time", "BM_PdfinfoProcess/manual_time",
             "<= 1.1");
    return true;
}();

} // namespace
} // namespace kovet::bench
