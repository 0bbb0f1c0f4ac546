// transcript_compare: the parity check of the GUI tests. It compares the interactions the host
// program had on the simulated machine (PAGE, MESSAGE and BROWSE lines of its journal) with the
// ones the GUI driver had with the Windows program under Wine (its transcript), in order; the
// differences the two systems may make are those of tests/support/transcript_parity.cpp.
//
//   transcript_compare HOST-JOURNAL WINDOWS-TRANSCRIPT
//
// Exit code 0 when equal, 1 with the differences listed, 2 when a file cannot be read.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/transcript_parity.h"

namespace {

std::optional<std::vector<rvx::parity::Interaction>> Read(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "transcript_compare: cannot read %s\n", path);
        return std::nullopt;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto interactions = rvx::parity::ReadInteractions(text, path);
    if (!interactions) {
        std::fprintf(stderr, "transcript_compare: %s\n", interactions.error().Describe().c_str());
        return std::nullopt;
    }
    return std::move(interactions.value());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: transcript_compare HOST-JOURNAL WINDOWS-TRANSCRIPT\n");
        return 2;
    }
    const auto host = Read(argv[1]);
    const auto windows = Read(argv[2]);
    if (!host || !windows) return 2;
    const auto report = rvx::parity::CompareInteractions(*host, *windows);
    if (report.empty()) {
        std::printf("the same %zu interactions in both editions\n", host->size());
        return 0;
    }
    std::printf("the editions differ:\n");
    for (const auto& line : report) std::printf("  %s\n", line.c_str());
    return 1;
}
