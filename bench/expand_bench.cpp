// Benchmark: expanding one [FILES] line while 1,000 [STRINGS] variables are defined, on a
// simulated machine opened directly (no test framework).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "installer/core/install_app.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/scripted_responder.h"

namespace {

namespace fs = std::filesystem;

struct Setup {
    Setup() {
        folder = fs::temp_directory_path() / ("rvx-expand-bench-" + std::to_string(std::random_device{}()));
        machine = std::move(rvx::sandbox::Machine::Open(folder.string()).value());
        session = std::make_unique<rvx::sandbox::ProgramSession>(
            *machine, rvx::sandbox::ProgramStart{"D:\\Rovexa.exe", "", "", rvx::installer::kBuiltInStrings}, responder);
        app = std::make_unique<rvx::installer::InstallApp>(session->platform());
        auto& folders = app->folders();
        folders.program_files = "C:\\Program Files";
        folders.windows_drive = "C:";
        folders.source = "D:\\";
        folders.installation = "C:\\Program Files\\Demo";
        for (int i = 0; i < 1000; ++i)
            app->script().user_variables.push_back("VAR" + std::to_string(i) + " = \"value " + std::to_string(i) + "\"");
    }
    ~Setup() {
        app.reset();
        session.reset();
        machine.reset();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    rvx::sandbox::ScriptedResponder responder = rvx::sandbox::ScriptedResponder::Parse("", "none").value();
    std::unique_ptr<rvx::sandbox::Machine> machine;
    std::unique_ptr<rvx::sandbox::ProgramSession> session;
    std::unique_ptr<rvx::installer::InstallApp> app;
};

void Expand(benchmark::State& state, const char* line) {
    Setup setup;
    for (auto _ : state) {
        auto text = rvx::installer::Expanded(*setup.app, line);
        benchmark::DoNotOptimize(text);
    }
}

// Built-in folders only, then one user variable defined near the end of the list.
BENCHMARK_CAPTURE(Expand, built_ins, "bin\\demo.dll,%DSTPATH%\\bin\\,VS,,12345")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Expand, user_variable, "%VAR990%\\demo.dll,%DSTPATH%bin,VS,,12345")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
