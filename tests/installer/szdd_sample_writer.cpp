// Writes the originals of the expansion tests' samples into the folder given, for mscompress.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tests/installer/szdd_samples.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: szdd_sample_writer FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& sample : rvx::test_support::kSzddSamples) {
        const std::string content = rvx::test_support::MakeSzddSample(sample);
        std::ofstream out(folder / sample.name, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out.flush()) {
            std::cerr << "cannot write " << (folder / sample.name).string() << "\n";
            return 1;
        }
    }
    return 0;
}
