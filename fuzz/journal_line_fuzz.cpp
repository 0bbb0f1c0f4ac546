// Fuzz target: journal lines read back, and the screen replayed from a whole journal. A line
// that parses must give back every quoted value it was written from: each field written again
// with the journal's own writer parses to the same kind and fields. The replay must end with a
// screen or an error, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sandbox/journal_reader.h"
#include "platform/sandbox/screen_replay.h"
#include "platform/sandbox/transcript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    (void)rvx::sandbox::ReplayScreen(input);
    (void)rvx::sandbox::ReplayScreen(input, 3);

    const std::string_view first = input.substr(0, input.find('\n'));
    auto line = rvx::sandbox::ParseJournalLine(first);
    if (!line) return 0;
    std::string written = line->kind;
    for (const auto& [key, value] : line->fields) written += " " + (value.empty() ? key : rvx::sandbox::Field(key, value));
    auto again = rvx::sandbox::ParseJournalLine(written);
    if (!again || again->kind != line->kind || again->fields != line->fields) __builtin_trap();
    return 0;
}
