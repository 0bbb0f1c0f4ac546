// The files the expansion tests compress with mscompress at build time: szdd_sample_writer writes
// them, the tests make them again in memory to compare what they expand to. Every sample is made
// from a fixed seed, so both sides agree byte for byte.
//
// mscompress (0.4) writes wrong data for files of 1 to 15 bytes, so apart from the empty file the
// samples start at 16 bytes; the tests build the smaller streams by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace rvx::test_support {

struct SzddSample {
    const char* name;
    size_t size;
    enum Kind { text, random, zeros, pattern, spaces_then_text, all_bytes, mixed } kind;
};

inline constexpr SzddSample kSzddSamples[] = {
    {"empty", 0, SzddSample::text},
    {"small_16", 16, SzddSample::text},
    {"small_17", 17, SzddSample::random},
    {"text", 23456, SzddSample::text},
    {"text_4096", 4096, SzddSample::text},
    {"text_4113", 4113, SzddSample::text},
    {"random_4079", 4079, SzddSample::random},
    {"random_4080", 4080, SzddSample::random},
    {"random_4095", 4095, SzddSample::random},
    {"random_4096", 4096, SzddSample::random},
    {"random_4097", 4097, SzddSample::random},
    {"spaces_then_text", 9000, SzddSample::spaces_then_text},
    {"all_bytes", 65536, SzddSample::all_bytes},
    {"zeros", 300000, SzddSample::zeros},
    {"pattern", 400000, SzddSample::pattern},
    {"mixed", 700000, SzddSample::mixed},
};

namespace szdd_detail {

inline void AppendText(std::string& out, size_t size, std::mt19937& random) {
    static const char* const kWords[] = {"setup", "copies", "the", "files", "of", "each", "disk", "into",
                                         "its", "folder", "and", "writes", "registry", "values", "when",
                                         "done", "a", "program", "group", "shortcut"};
    const size_t end = out.size() + size;
    while (out.size() < end) {
        out += kWords[random() % std::size(kWords)];
        out += random() % 12 == 0 ? "\r\n" : " ";
    }
    out.resize(end);
}

inline void AppendRandom(std::string& out, size_t size, std::mt19937& random) {
    for (size_t i = 0; i < size; ++i) out += static_cast<char>(random() & 0xFF);
}

}  // namespace szdd_detail

// The content of a sample; the same on every run and every machine.
inline std::string MakeSzddSample(const SzddSample& sample) {
    std::mt19937 random(static_cast<uint32_t>(sample.size * 31 + sample.kind));
    std::string out;
    out.reserve(sample.size);
    switch (sample.kind) {
        case SzddSample::text: szdd_detail::AppendText(out, sample.size, random); break;
        case SzddSample::random: szdd_detail::AppendRandom(out, sample.size, random); break;
        case SzddSample::zeros: out.assign(sample.size, '\0'); break;
        case SzddSample::pattern:
            // Runs with short periods, so most matches overlap the bytes they write.
            while (out.size() < sample.size) {
                const size_t period = 1 + random() % 7;
                const size_t repeats = 50 + random() % 500;
                std::string unit;
                szdd_detail::AppendRandom(unit, period, random);
                for (size_t i = 0; i < repeats; ++i) out += unit;
            }
            break;
        case SzddSample::spaces_then_text:
            // Matches at the start may point into the spaces the window begins with.
            out.assign(40, ' ');
            szdd_detail::AppendText(out, 3000, random);
            out.append(5000, ' ');
            szdd_detail::AppendText(out, sample.size - out.size(), random);
            break;
        case SzddSample::all_bytes:
            for (size_t i = 0; out.size() < sample.size; ++i) out += static_cast<char>((i * (1 + i / 256)) & 0xFF);
            break;
        case SzddSample::mixed:
            while (out.size() < sample.size) {
                const size_t block = 1 + random() % 20000;
                switch (random() % 3) {
                    case 0: szdd_detail::AppendText(out, block, random); break;
                    case 1: szdd_detail::AppendRandom(out, block, random); break;
                    default: out.append(block, static_cast<char>(random() & 0xFF)); break;
                }
            }
            break;
    }
    out.resize(sample.size);
    return out;
}

}  // namespace rvx::test_support
