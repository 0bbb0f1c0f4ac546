// Bench command: installs a generated medium of about 1 GB in 2,000 files onto a fresh simulated
// machine through the copy stage, once stored plain and once compressed, and measures in the same
// run `cp -r` of the plain files and `msexpand` of the compressed ones, for comparison.
//
//   copy_bench [--megabytes N] [--files N] [--folder PATH] [--engine-only]
//
// --engine-only leaves out the reference tools (and the compressed medium's msexpand run, which
// is slow), for profiling the copy stage itself.
// Needs mscompress and msexpand (Debian package mscompress). Reports wall-clock throughput, the
// ratios to the reference tools and the process's peak memory.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "installer/core/install_app.h"
#include "installer/files/copy_engine.h"
#include "installer_strings.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/scripted_responder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
    uint64_t megabytes = 1024;
    int files = 2000;
    fs::path folder;
    bool engine_only = false;
};

std::string FileName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "F%07d.DAT", index);
    return name;
}

// Text-like data with random runs, which the compressor roughly halves.
void WriteSample(const fs::path& path, uint64_t size, std::mt19937_64& random) {
    static const char* const kWords[] = {"install ", "folder ", "registry ", "Norvane ", "shortcut ", "\r\n", "value=", "version "};
    std::ofstream out(path, std::ios::binary);
    std::string chunk;
    chunk.reserve(65536);
    uint64_t written = 0;
    while (written < size) {
        chunk.clear();
        while (chunk.size() < 65536) {
            const uint64_t pick = random();
            if (pick % 3 == 0) {
                for (int i = 0; i < 8; ++i) chunk += static_cast<char>((pick >> (i * 8)) & 0xFF);
            } else {
                chunk += kWords[pick % 8];
            }
        }
        const uint64_t take = std::min<uint64_t>(chunk.size(), size - written);
        out.write(chunk.data(), static_cast<std::streamsize>(take));
        written += take;
    }
}

uint64_t PeakMemoryKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtoull(line.c_str() + 6, nullptr, 10);
    return 0;
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

int Run(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status != 0) std::cerr << "command failed (" << status << "): " << command << "\n";
    return status;
}

// The copy stage of a fresh machine over a medium folder; seconds, or a negative value on failure.
double InstallThroughEngine(const fs::path& machine_folder, const fs::path& medium, const Options& options, uint64_t file_size) {
    auto machine = rvx::sandbox::Machine::Open(machine_folder.string());
    if (!machine) {
        std::cerr << machine.error().Describe() << "\n";
        return -1;
    }
    machine.value()->config().Drive('C')->size_kilobytes = 500ull << 20;
    if (!machine.value()->Mount({'D', rvx::platform::DriveType::cdrom, 0, medium.string(), true})) return -1;
    auto responder = rvx::sandbox::ScriptedResponder::Parse("", "none").value();
    rvx::sandbox::ProgramSession session(*machine.value(),
                                         {"D:\\Rovexa.exe", "", "", rvx::installer::kBuiltInStrings}, responder);
    rvx::installer::InstallApp app(session.platform());
    if (!app.ProcessCommandLine()) return -1;
    app.folders().installation = "C:\\Bench";
    app.folders().installation_drive_root = "C:\\";
    for (int i = 0; i < options.files; ++i) app.script().files.push_back(FileName(i) + ",,,," + std::to_string(file_size));

    const auto start = Clock::now();
    const rvx::installer::CopyStageResult result = rvx::installer::CopyFiles(app);
    const double seconds = Seconds(start);
    if (result != rvx::installer::CopyStageResult::done) {
        std::cerr << "the copy stage ended with " << static_cast<int>(result) << "\n";
        return -1;
    }
    return seconds;
}

bool SameFiles(const fs::path& a, const fs::path& b, const Options& options) {
    for (int i = 0; i < options.files; i += std::max(1, options.files / 7)) {
        if (Run("cmp -s '" + (a / FileName(i)).string() + "' '" + (b / FileName(i)).string() + "'") != 0) return false;
    }
    return true;
}

void Report(const char* what, double seconds, uint64_t bytes) {
    std::printf("%-40s %8.2f s %9.1f MB/s\n", what, seconds, static_cast<double>(bytes) / 1e6 / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (name == "--engine-only") {
            options.engine_only = true;
        } else if (name == "--megabytes" && value) {
            options.megabytes = std::strtoull(value, nullptr, 10), ++i;
        } else if (name == "--files" && value) {
            options.files = std::atoi(value), ++i;
        } else if (name == "--folder" && value) {
            options.folder = value, ++i;
        } else {
            std::cerr << "usage: copy_bench [--megabytes N] [--files N] [--folder PATH] [--engine-only]\n";
            return 64;
        }
    }
    if (options.files <= 0) options.files = 1;
    if (options.folder.empty()) options.folder = fs::temp_directory_path() / ("rvx-copy-bench-" + std::to_string(std::random_device{}()));
    fs::remove_all(options.folder);
    const fs::path plain = options.folder / "medium-plain", packed = options.folder / "medium-compressed";
    fs::create_directories(plain);
    fs::create_directories(packed);

    const uint64_t file_size = options.megabytes * 1000000 / static_cast<uint64_t>(options.files);
    const uint64_t total = file_size * static_cast<uint64_t>(options.files);
    std::printf("medium: %d files of %llu bytes (%.1f MB) in %s\n", options.files, static_cast<unsigned long long>(file_size),
                static_cast<double>(total) / 1e6, options.folder.c_str());
    std::mt19937_64 random(42);
    for (int i = 0; i < options.files; ++i) WriteSample(plain / FileName(i), file_size, random);
    // mscompress writes NAME_ beside NAME; the medium stores the compressed form as NAME.DA_.
    if (Run("cd '" + plain.string() + "' && for f in *.DAT; do mscompress \"$f\" && mv \"${f}_\" '" + packed.string() +
            "'/\"${f%T}_\"; done") != 0)
        return 1;
    uint64_t packed_bytes = 0;
    for (const auto& entry : fs::directory_iterator(packed)) packed_bytes += entry.file_size();
    std::printf("compressed medium: %.1f MB\n\n", static_cast<double>(packed_bytes) / 1e6);
    const uint64_t memory_before = PeakMemoryKilobytes();

    double cp_seconds = 0, msexpand_seconds = 0;
    if (!options.engine_only) {
        auto start = Clock::now();
        if (Run("cp -r '" + plain.string() + "' '" + (options.folder / "cp-copy").string() + "'") != 0) return 1;
        cp_seconds = Seconds(start);
        start = Clock::now();
        fs::create_directories(options.folder / "msexpand-copy");
        if (Run("cd '" + packed.string() + "' && for f in *.DA_; do msexpand < \"$f\" > '" + (options.folder / "msexpand-copy").string() +
                "'/\"${f%_}T\" || exit 1; done") != 0)
            return 1;
        msexpand_seconds = Seconds(start);
    }

    const double plain_seconds = InstallThroughEngine(options.folder / "machine-plain", plain, options, file_size);
    const double packed_seconds = InstallThroughEngine(options.folder / "machine-compressed", packed, options, file_size);
    if (plain_seconds < 0 || packed_seconds < 0) return 1;
    const fs::path installed_plain = options.folder / "machine-plain" / "drives" / "C" / "Bench";
    const fs::path installed_packed = options.folder / "machine-compressed" / "drives" / "C" / "Bench";
    if (!SameFiles(plain, installed_plain, options) || !SameFiles(plain, installed_packed, options) ||
        (!options.engine_only && !SameFiles(plain, options.folder / "msexpand-copy", options))) {
        std::cerr << "the installed files differ from the medium's\n";
        return 1;
    }

    Report("copy stage, plain medium", plain_seconds, total);
    Report("copy stage, compressed medium", packed_seconds, total);
    if (!options.engine_only) {
        Report("cp -r (plain)", cp_seconds, total);
        Report("msexpand (compressed)", msexpand_seconds, total);
        std::printf("\nratio copy stage / cp -r:      %.2f of cp's throughput\n", cp_seconds / plain_seconds);
        std::printf("ratio copy stage / msexpand:   %.2f of msexpand's throughput\n", msexpand_seconds / packed_seconds);
    }
    std::printf("peak memory: %llu KB before the installs, %llu KB after\n", static_cast<unsigned long long>(memory_before),
                static_cast<unsigned long long>(PeakMemoryKilobytes()));
    fs::remove_all(options.folder);
    return 0;
}
