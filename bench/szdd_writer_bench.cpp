// Bench command: the compress/expand writer beside Debian's mscompress on the same inputs, in one
// run: text (the licence texts of the system, or generated words when there are none), binaries
// (this program and the C++ runtime it runs with) and random bytes.
//
//   szdd_writer_bench [--random-megabytes N] [--folder PATH]
//
// For each input it prints the compressed sizes (the goal: the writer's no larger), the speeds in
// MB/s and how many times faster the writer is (the goal: 20). Times are processor times (the
// machine may be busy with other work): mscompress's is its whole run on the file, the writer's
// reading the file, compressing it and writing the result. Every
// output of the writer is expanded again by msexpand and compared (untimed). Needs mscompress and
// msexpand (Debian package mscompress).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <time.h>

#include "installer/files/szdd_writer.h"

namespace {

namespace fs = std::filesystem;

struct Input {
    std::string kind;
    fs::path path;
};

std::string Slurp(const fs::path& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        std::error_code error;
        bytes.resize(static_cast<size_t>(fs::file_size(path, error)));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
    return bytes;
}

void Spill(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Processor time, not wall-clock time: on a machine shared with other work both tools wait for the
// processor alike, and only the time they compute is compared.
double OwnSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double ChildrenSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// The inputs, copied into the folder so that both tools read the same files from the same disk.
std::vector<Input> MakeInputs(const fs::path& folder, uint64_t random_megabytes, const char* self) {
    std::vector<Input> inputs;
    std::string text;
    const fs::path licences = "/usr/share/common-licenses";
    std::error_code error;
    if (fs::is_directory(licences, error)) {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(licences, error))
            if (entry.is_regular_file()) names.push_back(entry.path());
        std::sort(names.begin(), names.end());
        for (const auto& name : names) text += Slurp(name);
    }
    if (text.size() < 100000) {
        static const char* const kWords[] = {"the", "installer", "copies", "each", "file", "of", "a", "disk",
                                             "into", "its", "folder", "and", "writes", "registry", "values"};
        std::mt19937 random(1);
        while (text.size() < 2000000) text += std::string(kWords[random() % std::size(kWords)]) + (random() % 9 ? " " : "\n");
    }
    Spill(folder / "text.txt", text);
    inputs.push_back({"text", folder / "text.txt"});

    Spill(folder / "program.bin", Slurp(self));
    inputs.push_back({"binary", folder / "program.bin"});
    for (const char* library : {"/usr/lib/x86_64-linux-gnu/libstdc++.so.6", "/usr/lib/i386-linux-gnu/libstdc++.so.6"}) {
        if (!fs::exists(library, error)) continue;
        Spill(folder / "library.bin", Slurp(fs::canonical(library, error)));
        inputs.push_back({"binary", folder / "library.bin"});
        break;
    }

    std::mt19937_64 random(2);
    std::string noise(random_megabytes << 20, '\0');
    for (size_t i = 0; i + 8 <= noise.size(); i += 8) {
        const uint64_t value = random();
        std::memcpy(noise.data() + i, &value, 8);
    }
    Spill(folder / "random.bin", noise);
    inputs.push_back({"random", folder / "random.bin"});
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t random_megabytes = 4;
    fs::path folder;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--random-megabytes" && i + 1 < argc) random_megabytes = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--folder" && i + 1 < argc) folder = argv[++i];
        else {
            std::cerr << "usage: szdd_writer_bench [--random-megabytes N] [--folder PATH]\n";
            return 64;
        }
    }
    const bool own_folder = folder.empty();
    if (own_folder) folder = fs::temp_directory_path() / ("rvx-szdd-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);

    std::printf("%-7s %-12s %10s | %10s %7s %8s | %10s %7s %8s | %6s %6s\n", "kind", "file", "bytes", "mscompress",
                "ratio", "MB/s", "writer", "ratio", "MB/s", "size", "speed");
    bool all_met = true;
    for (const Input& input : MakeInputs(folder, random_megabytes, argv[0])) {
        const uint64_t size = fs::file_size(input.path);
        const fs::path theirs = input.path.string() + "_";
        fs::remove(theirs);
        double start = ChildrenSeconds();
        if (std::system(("mscompress " + Quoted(input.path)).c_str()) != 0 || !fs::exists(theirs)) {
            std::cerr << "mscompress failed on " << input.path << " (Debian package mscompress)\n";
            return 1;
        }
        const double their_seconds = ChildrenSeconds() - start;
        const uint64_t their_size = fs::file_size(theirs);

        const fs::path ours = input.path.string() + ".writer_";
        start = OwnSeconds();
        const std::string data = Slurp(input.path);
        auto compressed = rvx::installer::CompressSzdd(data, input.path.string().back());
        if (!compressed) {
            std::cerr << compressed.error().Describe() << "\n";
            return 1;
        }
        Spill(ours, compressed.value());
        const double our_seconds = OwnSeconds() - start;
        const uint64_t our_size = compressed.value().size();

        const fs::path back = input.path.string() + ".back";
        if (std::system(("msexpand < " + Quoted(ours) + " > " + Quoted(back)).c_str()) != 0 || Slurp(back) != data) {
            std::cerr << "msexpand did not give back " << input.path << " from the writer's output\n";
            return 1;
        }
        const double megabytes = static_cast<double>(size) / 1e6;
        const double speedup = their_seconds / our_seconds;
        const bool size_met = our_size <= their_size;
        const bool speed_met = speedup >= 20;
        all_met = all_met && size_met && speed_met;
        std::printf("%-7s %-12s %10llu | %10llu %6.1f%% %8.2f | %10llu %6.1f%% %8.2f | %6s %5.1fx%s\n", input.kind.c_str(),
                    input.path.filename().c_str(), static_cast<unsigned long long>(size),
                    static_cast<unsigned long long>(their_size), 100.0 * static_cast<double>(their_size) / static_cast<double>(size),
                    megabytes / their_seconds, static_cast<unsigned long long>(our_size),
                    100.0 * static_cast<double>(our_size) / static_cast<double>(size), megabytes / our_seconds,
                    size_met ? "ok" : "LARGER", speedup, speed_met ? "" : " (goal 20x)");
    }
    std::printf("goals: the writer's size at most mscompress's, its speed at least 20 times mscompress's: %s\n",
                all_met ? "met" : "NOT met");
    if (own_folder) fs::remove_all(folder);
    return 0;
}
