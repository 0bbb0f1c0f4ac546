// Benchmark: reading a large install script (100,000 [FILES] lines and 1,000 [STRINGS]
// variables) on a simulated machine, and expanding one of its file lines.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "installer/core/install_app.h"
#include "installer/script/script_reader.h"
#include "installer/script/variables.h"
#include "tests/support/scratch_machine.h"

namespace {

std::string LargeScript(int files, int variables) {
    std::ostringstream script;
    script << "[SIZE]\n100000000\n[TITLE]\nBench %VERSION\n[DISKID]\nDisk %d\n[INSTALLDIRTEXT]\nWhere?\n"
              "[DEFAULTDIR]\n%PROGFILES%\\Bench\n[UNINSTALLFILE]\nbench.nvu\n[VERSION]\n1.0.0\n[STRINGS]\n";
    for (int i = 0; i < variables; ++i) script << "VAR" << i << "=value " << i << "\n";
    script << "[FILES]\n";
    for (int i = 0; i < files; ++i) script << "bin\\file" << i << ".dll,%DSTPATH%\\bin\\,VS,,12345\n";
    script << "[EOF]\nend\n";
    return script.str();
}

struct Bench {
    Bench() : machine("rvx-bench", "") { std::ofstream(machine.DriveC("Setup/Install.ini")) << LargeScript(100000, 1000); }
    rvx::test_support::ScratchMachine machine;
};

void ReadLargeScript(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        rvx::installer::InstallApp app(bench.machine.platform());
        (void)app.ProcessCommandLine();
        const auto reading = rvx::installer::ReadScript(app);
        const bool read = !reading.stopped() && reading->has_value();
        if (!read || app.script().files.size() != 100000) state.SkipWithError("the script was not read");
        benchmark::DoNotOptimize(app.script().files.data());
    }
    state.SetItemsProcessed(state.iterations() * 101000);
}
BENCHMARK(ReadLargeScript)->Unit(benchmark::kMillisecond);

void ExpandFileLineWithManyVariables(benchmark::State& state) {
    Bench bench;
    rvx::installer::InstallApp app(bench.machine.platform());
    (void)app.ProcessCommandLine();
    (void)rvx::installer::ReadScript(app);
    app.folders().installation = "C:\\Program Files\\Bench";
    for (auto _ : state) {
        auto line = rvx::installer::Expanded(app, "bin\\file1.dll,%DSTPATH%\\bin\\,VS,,12345");
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(ExpandFileLineWithManyVariables)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
