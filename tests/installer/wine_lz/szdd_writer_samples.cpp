// Writes the writer's test inputs into FOLDER: each original as NAME and its compressed form as
// NAME.DA_, for the expansion by Wine's LZ functions (szdd_wine_expansion.sh).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "installer/files/szdd_writer.h"
#include "tests/installer/szdd_samples.h"

namespace {

bool Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: szdd_writer_samples FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    std::vector<std::pair<std::string, std::string>> inputs;
    // Every size under 16 bytes (where mscompress goes wrong) and a few above.
    std::mt19937 random(11);
    for (size_t size = 0; size <= 20; ++size) {
        std::string text;
        for (size_t i = 0; i < size; ++i) text += static_cast<char>("ab  c"[random() % 5]);
        inputs.emplace_back("S" + std::to_string(size), text);
    }
    for (const auto& sample : rvx::test_support::kSzddSamples)
        inputs.emplace_back(sample.name, rvx::test_support::MakeSzddSample(sample));
    for (const auto& [name, data] : inputs) {
        auto compressed = rvx::installer::CompressSzdd(data, 'T');
        if (!compressed || !Write(folder / name, data) || !Write(folder / (name + ".DA_"), compressed.value())) {
            std::cerr << "cannot write " << (folder / name).string() << "\n";
            return 1;
        }
    }
    return 0;
}
