// Bench command: the host edition's speed and memory, each figure printed beside its goal and
// measured in the same run as the reference tool it is compared with.
//
//   perf_bench [--folder PATH] [--windows-build PATH] [--only NAME]
//
// The work folder is /dev/shm by default (a memory file system), --folder names another.
// --windows-build names the x86_64 Windows build (build/win-x86_64 beside this build by default).
// NAME is one of tiny, small, large, scan, script, expand, medium, wine (every part runs without
// --only). The parts:
//   tiny    whole installs and removals of 1,000 / 3,000 / 10,000 tiny files: the time per file
//           must stay within 1.3 times of each other (the best of three rounds each)
//   small   2,000 files of 16 KB: the install against `cp -r`, the removal against `rm -r` (the
//           best of five rounds each)
//   large   10 files of 25 MB through the copy stage: plain against `cp -r`, compressed against
//           the installer's own expansion of the same files alone
//   scan    the drive scan for an earlier installation against `find` over the same tree
//   script  reading a script of 1,000,000 lines; the peak memory of a process that reads one of
//           100,000 lines (a child process, so that nothing else counts)
//   expand  expanding a [FILES] line that uses one of 1,000 [STRINGS] variables, against the same
//           line with only that variable defined: the index keeps the list's length from counting
//   medium  the peak memory of a whole install of a 1 GB medium, half of it compressed (a child
//           process too)
//   wine    the Windows build's unattended install of 1,000 tiny files under Wine, its time
//           beside the host edition's (no goal: it shows what the Windows side costs)
// Needs mscompress (Debian package mscompress) for the compressed medium.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "installer/core/install_app.h"
#include "installer/files/copy_engine.h"
#include "installer/files/szdd_reader.h"
#include "installer/files/szdd_writer.h"
#include "installer/script/previous_installation.h"
#include "installer/script/script_reader.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/responder.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller_strings.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace rvx;

constexpr const char* kProductFolder = "C:\\Program Files\\Bench";
constexpr const char* kLogPath = "C:\\Program Files\\Bench\\bench.nvu";

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

int Run(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status != 0) std::cerr << "command failed (" << status << "): " << command << "\n";
    return status;
}

double TimeCommand(const std::string& command) {
    const auto start = Clock::now();
    if (Run(command) != 0) return -1;
    return Seconds(start);
}

uint64_t PeakMemoryKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtoull(line.c_str() + 6, nullptr, 10);
    return 0;
}

void Write(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// One line of the report: the figure, the goal and whether it is met.
int g_missed = 0;
void Line(const std::string& what, const std::string& figure, double value, double goal, const char* goal_text) {
    const bool met = value >= 0 && value <= goal;
    if (!met) ++g_missed;
    std::printf("%-52s %-24s goal %-14s %s\n", what.c_str(), figure.c_str(), goal_text, met ? "ok" : "MISSED");
    std::fflush(stdout);
}
std::string Format(const char* format, double a, double b = 0) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// Answers as a patient user would: Yes to the removal, OK or the default everywhere else.
class PatientUser : public sandbox::Responder {
public:
    platform::Answer AnswerMessage(const platform::MessageRequest& request) override {
        const auto answers = sandbox::AnswersOf(request.buttons);
        const size_t pick = request.default_button >= 1 && static_cast<size_t>(request.default_button) <= answers.size()
                                ? static_cast<size_t>(request.default_button) - 1
                                : 0;
        return answers.empty() ? platform::Answer::ok : answers[pick];
    }
    int AnswerPage(platform::PageModel& page) override { return page.dialog_id == 131 ? 6 : 1; }
    std::optional<std::string> AnswerBrowse(std::string_view, std::string_view) override { return std::nullopt; }
};

// A medium of files in one folder (which the product's folder then holds), with its script and
// answer file.
void WriteMedium(const fs::path& medium, int files, const std::string& content) {
    std::string lines = "Dismara.exe,,,,\n";
    fs::create_directories(medium / "data");
    Write(medium / "Dismara.exe", "uninstaller");
    for (int i = 0; i < files; ++i) {
        const std::string name = "f" + std::to_string(i) + ".txt";
        Write(medium / "data" / name, content.empty() ? "file " + std::to_string(i) : content);
        lines += "data\\" + name + ",,,,\n";
    }
    Write(medium / "Install.ini",
          "[TITLE]\nBench\n[PRODUCTNAME]\nBench\n[VERSION]\n1.0.0\n[DISKID]\nDisk %s\n[SIZE]\n100\n"
          "[INSTALLDIRTEXT]\nWhere?\n[DEFAULTDIR]\n%PROGFILES%\\Bench\n[UNINSTALLFILE]\nbench.nvu\n"
          "[STRINGS]\nTALMREG=Software\\Bench\n[FILES]\n" +
              lines + "[EOF]\nend\n");
    Write(medium / "unattended.ANS", std::string("installmode=1\ndstpath=") + kProductFolder + "\nname=Jane\ncompany=ACME\n");
}

// A fresh machine with a big drive C:.
fs::path FreshMachine(const fs::path& folder) {
    sandbox::MachineConfig config = sandbox::MachineConfig::Default();
    config.Drive('C')->size_kilobytes = 500ull << 20;
    if (!sandbox::Machine::Create(folder.string(), config)) std::cerr << "cannot create a machine in " << folder << "\n";
    return folder;
}

// One whole program run on the machine (opening it, the program, closing it); seconds, or -1
// when the program did not end with exit code 0.
template <class App>
double RunProgram(const fs::path& machine_folder, const fs::path& medium, const std::string& program,
                  const std::string& command_line, std::span<const text::StringEntry> strings) {
    const auto start = Clock::now();
    int code = -1;
    {
        auto machine = sandbox::Machine::Open(machine_folder.string());
        if (!machine) return -1;
        if (!medium.empty() && !machine.value()->Mount({'D', platform::DriveType::cdrom, 0, medium.string(), true})) return -1;
        PatientUser user;
        sandbox::ProgramSession session(*machine.value(), {program, command_line, "", strings}, user);
        App app(session.platform());
        if constexpr (std::is_same_v<App, installer::InstallApp>) code = app.Execute(1);
        else code = app.Run();
    }
    const double seconds = Seconds(start);
    if (code != 0) {
        std::cerr << program << " ended with exit code " << code << "; the end of its journal:\n";
        (void)Run("tail -n 5 '" + (machine_folder / "journal.log").string() + "' >&2");
    }
    return code == 0 ? seconds : -1;
}

double Install(const fs::path& machine, const fs::path& medium) {
    return RunProgram<installer::InstallApp>(machine, medium, "D:\\Rovexa.exe", "/E D:\\unattended.ANS", installer::kBuiltInStrings);
}

double Uninstall(const fs::path& machine) {
    const double seconds = RunProgram<uninstaller::UninstallApp>(machine, {}, std::string(kProductFolder) + "\\Dismara.exe",
                                                                  kLogPath, uninstaller::kBuiltInStrings);
    if (fs::exists(machine / "drives" / "C" / "Program Files" / "Bench" / "data")) {
        std::cerr << "the removal left the product's files\n";
        return -1;
    }
    return seconds;
}

void TinyFiles(const fs::path& base) {
    std::printf("-- tiny files: whole installs and removals\n");
    const int counts[] = {1000, 3000, 10000};
    double install_per_file[3], remove_per_file[3];
    for (int k = 0; k < 3; ++k) {
        const fs::path folder = base / ("tiny-" + std::to_string(counts[k]));
        WriteMedium(folder / "medium", counts[k], "");
        // The best of three rounds, as for the other parts: the removal of 1,000 files takes a
        // fiftieth of a second, which one busy moment of the machine doubles.
        double install = 1e9, remove = 1e9;
        for (int round = 0; round < 3; ++round) {
            const fs::path machine = FreshMachine(folder / "machine");
            const double installed = Install(machine, folder / "medium");
            const double removed = installed < 0 ? -1 : Uninstall(machine);
            install = installed < 0 || install < 0 ? -1 : std::min(install, installed);
            remove = removed < 0 || remove < 0 ? -1 : std::min(remove, removed);
            fs::remove_all(folder / "machine");
        }
        install_per_file[k] = install / counts[k];
        remove_per_file[k] = remove / counts[k];
        std::printf("%6d files: install %7.3f s (%6.1f us/file), removal %7.3f s (%6.1f us/file)\n", counts[k], install,
                    install_per_file[k] * 1e6, remove, remove_per_file[k] * 1e6);
        fs::remove_all(folder);
    }
    const auto spread = [](const double* per_file) {
        double low = per_file[0], high = per_file[0];
        for (int k = 0; k < 3; ++k) {
            if (per_file[k] < 0) return -1.0;
            low = std::min(low, per_file[k]), high = std::max(high, per_file[k]);
        }
        return high / low;
    };
    const double install_spread = spread(install_per_file), remove_spread = spread(remove_per_file);
    Line("install: slowest / fastest time per file", Format("%.2fx", install_spread), install_spread, 1.3, "<= 1.3x");
    Line("removal: slowest / fastest time per file", Format("%.2fx", remove_spread), remove_spread, 1.3, "<= 1.3x");
}

void SmallFiles(const fs::path& base) {
    std::printf("-- 2,000 files of 16 KB\n");
    const fs::path folder = base / "small";
    WriteMedium(folder / "medium", 2000, std::string(16384, 's'));
    // The best of five rounds of each: a loaded machine slows single runs by whole factors, and
    // a round takes a fifth of a second.
    double cp = 1e9, rm = 1e9, install = 1e9, remove = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto best = [](double& best_so_far, double seconds) {
            best_so_far = seconds < 0 || best_so_far < 0 ? -1 : std::min(best_so_far, seconds);
        };
        best(cp, TimeCommand("cp -r '" + (folder / "medium").string() + "' '" + (folder / "cp-copy").string() + "'"));
        best(rm, TimeCommand("rm -r '" + (folder / "cp-copy").string() + "'"));
        const fs::path machine = FreshMachine(folder / "machine");
        const double installed = Install(machine, folder / "medium");
        best(install, installed);
        best(remove, installed < 0 ? -1 : Uninstall(machine));
        fs::remove_all(folder / "machine");
    }
    std::printf("install %.3f s, cp -r %.3f s; removal %.3f s, rm -r %.3f s\n", install, cp, remove, rm);
    Line("install / cp -r", Format("%.2fx", install / cp), install < 0 ? -1 : install / cp, 3.0, "<= 3x");
    Line("removal / rm -r", Format("%.2fx", remove / rm), remove < 0 ? -1 : remove / rm, 2.0, "<= 2x");
    fs::remove_all(folder);
}

std::string LargeName(int index) { return "F" + std::to_string(1000000 + index) + ".DAT"; }

// Text-like data with random runs, which the compressor roughly halves.
void WriteSample(const fs::path& path, uint64_t size, std::mt19937_64& random) {
    static const char* const kWords[] = {"install ", "folder ", "registry ", "Norvane ", "shortcut ", "\r\n", "value=", "version "};
    std::ofstream out(path, std::ios::binary);
    std::string chunk;
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

// The copy stage alone over a medium of files, on a fresh machine; seconds or -1.
double CopyStage(const fs::path& machine_folder, const fs::path& medium, int files, uint64_t size) {
    FreshMachine(machine_folder);
    auto machine = sandbox::Machine::Open(machine_folder.string());
    if (!machine || !machine.value()->Mount({'D', platform::DriveType::cdrom, 0, medium.string(), true})) return -1;
    PatientUser user;
    sandbox::ProgramSession session(*machine.value(), {"D:\\Rovexa.exe", "", "", installer::kBuiltInStrings}, user);
    installer::InstallApp app(session.platform());
    if (!app.ProcessCommandLine()) return -1;
    app.folders().installation = "C:\\Bench";
    app.folders().installation_drive_root = "C:\\";
    for (int i = 0; i < files; ++i) app.script().files.push_back(LargeName(i) + ",,,," + std::to_string(size));
    const auto start = Clock::now();
    if (installer::CopyFiles(app) != installer::CopyStageResult::done) return -1;
    return Seconds(start);
}

// The installer's expansion of the compressed files alone, into plain host files.
double ExpansionAlone(const fs::path& machine_folder, const fs::path& medium, const fs::path& out, int files) {
    FreshMachine(machine_folder);
    auto machine = sandbox::Machine::Open(machine_folder.string());
    if (!machine || !machine.value()->Mount({'D', platform::DriveType::cdrom, 0, medium.string(), true})) return -1;
    PatientUser user;
    sandbox::ProgramSession session(*machine.value(), {"D:\\Rovexa.exe", "", "", installer::kBuiltInStrings}, user);
    fs::create_directories(out);
    std::vector<char> buffer(1 << 16);
    const auto start = Clock::now();
    for (int i = 0; i < files; ++i) {
        std::string name = LargeName(i);
        name.back() = '_';
        auto reader = installer::ExpandingReader::Open(session.platform().files, "D:\\" + name);
        if (!reader) return -1;
        std::ofstream target(out / LargeName(i), std::ios::binary);
        for (;;) {
            auto got = reader.value()->Read(buffer.data(), buffer.size());
            if (!got) return -1;
            if (got.value() == 0) break;
            target.write(buffer.data(), static_cast<std::streamsize>(got.value()));
        }
    }
    return Seconds(start);
}

void LargeFiles(const fs::path& base) {
    std::printf("-- 10 files of 25 MB through the copy stage\n");
    constexpr int kFiles = 10;
    constexpr uint64_t kSize = 25'000'000;
    const fs::path folder = base / "large", plain = folder / "plain", packed = folder / "compressed";
    fs::create_directories(plain);
    fs::create_directories(packed);
    std::mt19937_64 random(42);
    for (int i = 0; i < kFiles; ++i) WriteSample(plain / LargeName(i), kSize, random);
    // mscompress writes NAME_ beside NAME; the medium keeps the compressed form as NAME.DA_.
    if (Run("cd '" + plain.string() + "' && for f in *.DAT; do mscompress \"$f\" && mv \"${f}_\" '" + packed.string() +
            "'/\"${f%T}_\"; done") != 0)
        return;
    // The best of three rounds of each, as for the small files: one round on a loaded machine
    // says more about the machine than about the copy.
    double cp = 1e9, copy_plain = 1e9, expansion = 1e9, copy_packed = 1e9;
    const auto best = [](double& best_so_far, double seconds) {
        best_so_far = seconds < 0 || best_so_far < 0 ? -1 : std::min(best_so_far, seconds);
    };
    for (int round = 0; round < 3; ++round) {
        best(cp, TimeCommand("cp -r '" + plain.string() + "' '" + (folder / "cp-copy").string() + "'"));
        fs::remove_all(folder / "cp-copy");
        best(copy_plain, CopyStage(folder / "machine-plain", plain, kFiles, kSize));
        fs::remove_all(folder / "machine-plain");
        best(expansion, ExpansionAlone(folder / "machine-expand", packed, folder / "expanded", kFiles));
        fs::remove_all(folder / "machine-expand");
        fs::remove_all(folder / "expanded");
        best(copy_packed, CopyStage(folder / "machine-packed", packed, kFiles, kSize));
        fs::remove_all(folder / "machine-packed");
    }
    std::printf("plain %.3f s, cp -r %.3f s; compressed %.3f s, expansion alone %.3f s\n", copy_plain, cp, copy_packed, expansion);
    Line("plain / cp -r", Format("%.2fx", copy_plain / cp), copy_plain < 0 ? -1 : copy_plain / cp, 1.2, "<= 1.2x");
    Line("compressed / expansion alone", Format("%.2fx", copy_packed / expansion),
         copy_packed < 0 || expansion < 0 ? -1 : copy_packed / expansion, 1.3, "<= 1.3x");
    fs::remove_all(folder);
}

void DriveScan(const fs::path& base) {
    std::printf("-- the drive scan for an earlier installation\n");
    const fs::path folder = base / "scan";
    const fs::path machine_folder = FreshMachine(folder / "machine");
    const fs::path tree = machine_folder / "drives" / "C" / "Tree";
    // About 2,400 folders of 16 files, three levels deep.
    int files = 0, folders = 0;
    for (int a = 0; a < 12; ++a)
        for (int b = 0; b < 200; ++b) {
            const fs::path leaf = tree / ("Group " + std::to_string(a)) / ("Folder" + std::to_string(b));
            fs::create_directories(leaf);
            ++folders;
            for (int c = 0; c < 16; ++c, ++files) Write(leaf / ("File" + std::to_string(c) + ".dat"), "");
        }
    std::printf("tree: %d folders, %d files\n", folders, files);
    const std::string drive = (machine_folder / "drives" / "C").string();
    // Once each beforehand, so that both read a warm cache.
    (void)TimeCommand("find '" + drive + "' -iname NOSUCH.XYZ");
    const double find = TimeCommand("find '" + drive + "' -iname NOSUCH.XYZ");

    auto machine = sandbox::Machine::Open(machine_folder.string());
    if (!machine) return;
    PatientUser user;
    sandbox::ProgramSession session(*machine.value(), {"C:\\Rovexa.exe", "", "", installer::kBuiltInStrings}, user);
    double scan = -1;
    for (int round = 0; round < 2; ++round) {
        installer::InstallApp app(session.platform());
        app.folders().script_path = "C:\\Install.ini";
        app.script().search_install = {"NOSUCH.XYZ"};
        const auto start = Clock::now();
        const auto done = installer::LocatePreviousInstallation(app);
        scan = Seconds(start);
        if (done.stopped() || !app.folders().previous_installation.empty()) scan = -1;
    }
    std::printf("scan %.3f s, find %.3f s\n", scan, find);
    Line("drive scan / find", Format("%.2fx", scan / find), scan < 0 ? -1 : scan / find, 1.5, "<= 1.5x");
    fs::remove_all(folder);
}

// A machine in folder whose C:\Setup holds a script of lines [FILES] lines, written as it is
// made, so that the process that reads it never held it.
void PrepareScriptMachine(const fs::path& folder, int lines) {
    const fs::path machine_folder = FreshMachine(folder);
    fs::create_directories(machine_folder / "drives" / "C" / "Setup");
    std::ofstream script(machine_folder / "drives" / "C" / "Setup" / "Install.ini", std::ios::binary);
    script << "[SIZE]\n100000000\n[TITLE]\nBench %VERSION\n[DISKID]\nDisk %d\n[INSTALLDIRTEXT]\nWhere?\n"
              "[DEFAULTDIR]\n%PROGFILES%\\Bench\n[UNINSTALLFILE]\nbench.nvu\n[VERSION]\n1.0.0\n[FILES]\n";
    for (int i = 0; i < lines; ++i) script << "bin\\file" << i << ".dll,%DSTPATH%\\bin\\,VS,,12345\n";
    script << "[EOF]\nend\n";
}

// Reads the script of a machine PrepareScriptMachine made; seconds or -1.
double ReadScriptOnce(const fs::path& machine_folder, int lines) {
    auto machine = sandbox::Machine::Open(machine_folder.string());
    if (!machine) return -1;
    PatientUser user;
    sandbox::ProgramSession session(*machine.value(), {"C:\\Setup\\Rovexa.exe", "", "", installer::kBuiltInStrings}, user);
    installer::InstallApp app(session.platform());
    (void)app.ProcessCommandLine();
    const auto start = Clock::now();
    const auto reading = installer::ReadScript(app);
    const double seconds = Seconds(start);
    if (reading.stopped() || !reading->has_value() || app.script().files.size() != static_cast<size_t>(lines)) return -1;
    return seconds;
}

// The child process of the memory figure: prints its peak memory in kilobytes.
int ScriptMemoryChild(const fs::path& machine_folder, int lines) {
    if (ReadScriptOnce(machine_folder, lines) < 0) return 1;
    std::printf("%llu\n", static_cast<unsigned long long>(PeakMemoryKilobytes()));
    return 0;
}

void ScriptReading(const fs::path& base) {
    std::printf("-- reading scripts\n");
    PrepareScriptMachine(base / "script-read", 1000000);
    const double seconds = ReadScriptOnce(base / "script-read", 1000000);
    fs::remove_all(base / "script-read");
    Line("reading 1,000,000 lines", Format("%.3f s", seconds), seconds, 0.5, "< 0.5 s");

    PrepareScriptMachine(base / "script-memory", 100000);
    const std::string command = "'/proc/" + std::to_string(::getpid()) + "/exe' --script-memory-child '" +
                                (base / "script-memory").string() + "' 100000";
    FILE* child = ::popen(command.c_str(), "r");
    unsigned long long kilobytes = 0;
    const bool read = child && std::fscanf(child, "%llu", &kilobytes) == 1;
    const bool ended = child && ::pclose(child) == 0;
    fs::remove_all(base / "script-memory");
    const double megabytes = read && ended ? static_cast<double>(kilobytes) / 1024 : -1;
    Line("peak memory of a run reading 100,000 lines", Format("%.1f MB", megabytes), megabytes, 16, "< 16 MB");
}

// Seconds per expansion of a [FILES] line that uses one user variable, with these [STRINGS] lines.
double ExpansionSeconds(const fs::path& machine_folder, const std::vector<std::string>& variables) {
    auto machine = sandbox::Machine::Open(machine_folder.string());
    if (!machine) return -1;
    PatientUser user;
    sandbox::ProgramSession session(*machine.value(), {"D:\\Rovexa.exe", "", "", installer::kBuiltInStrings}, user);
    installer::InstallApp app(session.platform());
    app.folders().program_files = "C:\\Program Files";
    app.folders().windows_drive = "C:";
    app.folders().source = "D:\\";
    app.folders().installation = kProductFolder;
    app.script().user_variables = variables;
    constexpr int kRounds = 20000;
    const auto start = Clock::now();
    for (int i = 0; i < kRounds; ++i) {
        const auto expanded = installer::Expanded(app, "%VAR990%\\demo.dll,%DSTPATH%bin,VS,,12345");
        if (expanded.stopped() || expanded->find("value 990") == std::string::npos) return -1;
    }
    return Seconds(start) / kRounds;
}

void Expansion(const fs::path& base) {
    std::printf("-- expanding a [FILES] line\n");
    const fs::path machine = FreshMachine(base / "expand");
    std::vector<std::string> many;
    for (int i = 0; i < 1000; ++i) many.push_back("VAR" + std::to_string(i) + " = \"value " + std::to_string(i) + "\"");
    const double alone = ExpansionSeconds(machine, {many[990]});
    const double among = ExpansionSeconds(machine, many);
    fs::remove_all(base / "expand");
    std::printf("one variable defined %.2f us, 1,000 defined %.2f us per line\n", alone * 1e6, among * 1e6);
    Line("expansion: 1,000 variables / only the one used", Format("%.2fx", among / alone),
         alone < 0 || among < 0 ? -1 : among / alone, 1.5, "<= 1.5x");
}

// A medium of 1 GB in 40 files of 25 MB, half of them plain and half stored compressed (by the
// project's own writer, from one sample each, so that making it takes seconds).
bool WriteLargeMedium(const fs::path& medium, int files, uint64_t size) {
    fs::create_directories(medium / "data");
    Write(medium / "Dismara.exe", "uninstaller");
    std::mt19937_64 random(7);
    WriteSample(medium / "sample.bin", size, random);
    std::ifstream in(medium / "sample.bin", std::ios::binary);
    const std::string sample((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    fs::remove(medium / "sample.bin");
    const auto compressed = installer::CompressSzdd(sample, 'T');
    if (!compressed) return false;
    std::string lines = "Dismara.exe,,,,\n";
    for (int i = 0; i < files; ++i) {
        const std::string name = "F" + std::to_string(i) + ".DAT";
        if (i % 2 == 0) Write(medium / "data" / name, sample);
        else Write(medium / "data" / installer::CompressedName(name), compressed.value());
        lines += "data\\" + name + ",,,," + std::to_string(size) + "\n";
    }
    Write(medium / "Install.ini",
          "[TITLE]\nBench\n[PRODUCTNAME]\nBench\n[VERSION]\n1.0.0\n[DISKID]\nDisk %s\n[SIZE]\n" +
              std::to_string(size * static_cast<uint64_t>(files)) +
              "\n[INSTALLDIRTEXT]\nWhere?\n[DEFAULTDIR]\n%PROGFILES%\\Bench\n[UNINSTALLFILE]\nbench.nvu\n"
              "[STRINGS]\nTALMREG=Software\\Bench\n[FILES]\n" + lines +
              "[EOF]\nend\n");
    Write(medium / "unattended.ANS", std::string("installmode=1\ndstpath=") + kProductFolder + "\nname=Jane\ncompany=ACME\n");
    return true;
}

// The child process of the install's memory figure: prints its seconds and peak memory in kilobytes.
int InstallMemoryChild(const fs::path& machine, const fs::path& medium) {
    const double seconds = Install(machine, medium);
    if (seconds < 0) return 1;
    std::printf("%.3f %llu\n", seconds, static_cast<unsigned long long>(PeakMemoryKilobytes()));
    return 0;
}

void LargeMediumMemory(const fs::path& base) {
    std::printf("-- a whole install of a 1 GB medium (half of it compressed), in a process of its own\n");
    constexpr int kFiles = 40;
    constexpr uint64_t kSize = 25'000'000;
    const fs::path folder = base / "medium";
    if (!WriteLargeMedium(folder / "medium", kFiles, kSize)) {
        Line("peak memory of a 1 GB install", "no medium", -1, 16, "< 16 MB");
        return;
    }
    const fs::path machine = FreshMachine(folder / "machine");
    const std::string command = "'/proc/" + std::to_string(::getpid()) + "/exe' --install-memory-child '" +
                                machine.string() + "' '" + (folder / "medium").string() + "'";
    FILE* child = ::popen(command.c_str(), "r");
    double seconds = -1;
    unsigned long long kilobytes = 0;
    const bool read = child && std::fscanf(child, "%lf %llu", &seconds, &kilobytes) == 2;
    const bool ended = child && ::pclose(child) == 0;
    fs::remove_all(folder);
    const double megabytes = read && ended ? static_cast<double>(kilobytes) / 1024 : -1;
    std::printf("install %.3f s\n", seconds);
    Line("peak memory of a 1 GB install", Format("%.1f MB", megabytes), megabytes, 16, "< 16 MB");
}

// The Windows build's installer beside the host's on the same medium of 1,000 tiny files: under
// Wine, in a fresh prefix on a virtual display, answered by the GUI driver with no answers (the
// run is unattended). Skipped with a line saying why when Wine, Xvfb or the build is missing.
void WindowsUnderWine(const fs::path& base, const fs::path& windows_build) {
    std::printf("-- the Windows build under Wine beside the host edition, 1,000 tiny files\n");
    const fs::path programs = windows_build / "platform" / "win32";
    const char* missing = nullptr;
    if (std::system("command -v wine >/dev/null 2>&1 && command -v Xvfb >/dev/null 2>&1") != 0) missing = "wine or Xvfb is not installed";
    else if (!fs::exists(programs / "Rovexa.exe") || !fs::exists(programs / "rvxdrive.exe")) missing = "the Windows build is missing";
    if (missing) {
        std::printf("skipped: %s (looked for %s)\n", missing, programs.string().c_str());
        return;
    }
    constexpr int kFiles = 1000;
    const fs::path folder = base / "wine";
    WriteMedium(folder / "medium", kFiles, "");
    const fs::path machine = FreshMachine(folder / "machine");
    const double host = Install(machine, folder / "medium");
    // The Windows programs beside the script, as a built medium holds them.
    for (const char* program : {"Rovexa.exe", "rovexeng.dll", "rovexdeu.dll"})
        fs::copy_file(programs / program, folder / "medium" / program, fs::copy_options::overwrite_existing);

    // The same steps as the GUI tests' (scripts/lib/wine.sh); only the driver's run is timed.
    const std::string script = "set -e; source '" + (fs::path(RVX_SOURCE_DIR) / "scripts" / "lib" / "wine.sh").string() +
                               "'; trap wine_stop_all EXIT; prefix='" + (folder / "prefix").string() + "'; "
                               "wine_start_display; wine_make_template \"$prefix\"; "
                               "ln -sfn '" + (folder / "medium").string() + "' \"$prefix/dosdevices/d:\"; "
                               "cp '" + (programs / "rvxdrive.exe").string() + "' '" + (programs / "rvxhook.dll").string() +
                               "' \"$prefix/drive_c/\"; : >\"$prefix/drive_c/answers.txt\"; mkdir -p \"$prefix/drive_c/shots\"; "
                               "before=$(date +%s.%N); wine_in \"$prefix\" wine cmd.exe /c exit >/dev/null 2>&1 || true; "
                               "start=$(date +%s.%N); "
                               "(cd \"$prefix/drive_c\" && wine_in \"$prefix\" wine 'C:\\rvxdrive.exe' 'C:\\answers.txt' "
                               "'C:\\transcript.txt' 'C:\\shots' run 'D:\\Rovexa.exe' /E 'D:\\unattended.ANS') >/dev/null 2>&1 || true; "
                               "end=$(date +%s.%N); "
                               "tr -d '\\r' <\"$prefix/drive_c/transcript.txt\" | grep -q '^EXIT code=0' || exit 3; "
                               "echo \"$before $start $end $(ls \"$prefix/drive_c/Program Files/Bench/data\" | wc -l)\"";
    Write(folder / "run-under-wine.sh", script);
    FILE* run = ::popen(("bash '" + (folder / "run-under-wine.sh").string() + "'").c_str(), "r");
    double before = 0, start = 0, end = 0;
    int installed = 0;
    const bool read = run && std::fscanf(run, "%lf %lf %lf %d", &before, &start, &end, &installed) == 4;
    const bool ended = run && ::pclose(run) == 0;
    fs::remove_all(folder);
    if (!read || !ended || installed != kFiles) {
        std::printf("the Windows build's install under Wine failed (%d of %d files installed)\n", installed, kFiles);
        ++g_missed;
        return;
    }
    const double wine = end - start;
    std::printf("%-52s %.3f s (%.2f ms/file)\n", "Windows build under Wine, with Wine's start", wine, wine * 1e3 / kFiles);
    std::printf("%-52s %.3f s\n", "Wine's start of a program that does nothing", start - before);
    std::printf("%-52s %.3f s (%.2f ms/file); Wine / host %.1fx\n", "host edition on the simulated machine", host,
                host * 1e3 / kFiles, host > 0 ? wine / host : -1.0);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder;
    std::string only;
    // The Windows build beside this host build by default (build/host/bench/perf_bench and
    // build/win-x86_64).
    std::error_code no_link;
    fs::path windows_build = fs::read_symlink("/proc/self/exe", no_link).parent_path().parent_path().parent_path() / "win-x86_64";
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--script-memory-child" && i + 2 < argc) return ScriptMemoryChild(argv[i + 1], std::atoi(argv[i + 2]));
        if (name == "--install-memory-child" && i + 2 < argc) return InstallMemoryChild(argv[i + 1], argv[i + 2]);
        if (name == "--folder" && i + 1 < argc) {
            folder = argv[++i];
        } else if (name == "--windows-build" && i + 1 < argc) {
            windows_build = argv[++i];
        } else if (name == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::cerr << "usage: perf_bench [--folder PATH] [--windows-build PATH] [--only tiny|small|large|scan|script|expand|medium|wine]\n";
            return 64;
        }
    }
    // A memory file system by default: on a shared disk the file system's own work (finding free
    // inodes among the many just freed) varies by whole factors from run to run and hides the
    // programs' work; both the programs and the reference tools run in the same folder.
    if (folder.empty()) {
        std::error_code error;
        const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        folder = base / ("rvx-perf-bench-" + std::to_string(std::random_device{}()));
    }
    fs::remove_all(folder);
    fs::create_directories(folder);
    const auto wanted = [&](const char* part) { return only.empty() || only == part; };
    if (wanted("tiny")) TinyFiles(folder);
    if (wanted("small")) SmallFiles(folder);
    if (wanted("large")) LargeFiles(folder);
    if (wanted("scan")) DriveScan(folder);
    if (wanted("script")) ScriptReading(folder);
    if (wanted("expand")) Expansion(folder);
    if (wanted("medium")) LargeMediumMemory(folder);
    if (wanted("wine")) WindowsUnderWine(folder, windows_build);
    fs::remove_all(folder);
    std::printf("%d goal(s) missed\n", g_missed);
    return g_missed == 0 ? 0 : 1;
}
