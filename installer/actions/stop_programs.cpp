// Stopping running programs through their windows.
#include "installer/actions/stop_programs.h"

#include "common/text/field_splitter.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"

namespace rvx::installer {

std::optional<StopProgramLine> ParseStopProgramLine(std::string_view line) {
    auto fields = text::SplitFields(line, ",");
    if (fields.size() != 3) return std::nullopt;
    const std::string& number = fields[2];
    // The window command's identifier travels as a 32-bit word, whatever the number read.
    const uint32_t command = text::StartsWithIgnoreCase(number, "0x")
                                 ? text::ParseHexPrefix(std::string_view(number).substr(2))
                                 : static_cast<uint32_t>(text::ParseDecimalPrefix(number));
    return StopProgramLine{std::move(fields[0]), std::move(fields[1]), command};
}

void StopPrograms(platform::Processes& processes, const ScriptSections& script) {
    for (const std::string& line : script.stop_programs) {
        const auto stop = ParseStopProgramLine(line);
        if (!stop) continue;
        if (auto window = processes.FindTopLevelWindow(stop->window_class, stop->window_title))
            (void)processes.SendCommand(*window, stop->command);
    }
}

}  // namespace rvx::installer
