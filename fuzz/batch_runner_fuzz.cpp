// Fuzz target: batch files of arbitrary text run on one simulated machine kept for the whole run,
// with a few files and a folder put back before each run. The line guard is lowered so that a
// looping input stays quick.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sandbox/batch_runner.h"
#include "tests/support/scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static rvx::test_support::ScratchMachine machine("rvx-batch-runner-fuzz", "");
    static rvx::sandbox::Journal journal("/dev/null");
    machine.StartRun();
    rvx::platform::FileSystem& files = machine.platform().files;
    (void)files.MakeFolder("C:\\Fuzz");
    (void)files.MakeFolder("C:\\Fuzz\\Sub");
    (void)rvx::platform::WriteWholeFile(files, "C:\\Fuzz\\a.txt", "a");
    (void)rvx::platform::WriteWholeFile(files, "C:\\Fuzz\\b c.txt", "b");
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!rvx::platform::WriteWholeFile(files, "C:\\Fuzz\\run.bat", text)) return 0;
    auto report = rvx::sandbox::BatchRunner(files, journal, 200).Run("C:\\Fuzz\\run.bat");
    if (!report || report->lines > 200) __builtin_trap();
    return 0;
}
