// Reading and comparing the interactions of the two editions (see transcript_parity.h).
//
// Allowed differences, the only ones the two systems make:
// - a page's real dialog holds controls the page model does not fill (the template's labels,
//   frames and pictures): the Windows line may have fields the host line has not;
// - the icon of a message box: the system's box does not tell which icon it shows;
// - the folder browser's initial folder: the system's browser does not show it as text.
// Everything else must be equal: the page ids, captions, every field of the host line with its
// value and state, the button pressed and the values typed; the message boxes' captions, texts,
// buttons, default buttons and answers.
#include "tests/support/transcript_parity.h"

#include <algorithm>
#include <map>

#include "platform/sandbox/scripted_responder.h"

namespace rvx::parity {

namespace {

bool IsInteraction(std::string_view line) {
    return line.starts_with("PAGE ") || line.starts_with("MESSAGE ") || line.starts_with("BROWSE ");
}

// key -> the rest of the field ("t105" -> "=text"), keys as written ("b117!" keeps its mark).
std::map<std::string, std::string> Fields(const std::vector<std::string>& fields) {
    std::map<std::string, std::string> keyed;
    for (const auto& field : fields) {
        const size_t equals = field.find('=');
        keyed[field.substr(0, equals)] = equals == std::string::npos ? "" : field.substr(equals);
    }
    return keyed;
}

std::vector<std::string> Compare(const Interaction& host, const Interaction& windows) {
    std::vector<std::string> differences;
    if (host.kind != windows.kind) return {"the host shows a " + host.kind + ", Windows a " + windows.kind};
    auto host_fields = Fields(host.shown);
    auto windows_fields = Fields(windows.shown);
    if (host.kind == "MESSAGE") {
        host_fields.erase("icon");
        windows_fields.erase("icon");
    }
    if (host.kind == "BROWSE") host_fields.erase("initial");
    for (const auto& [key, value] : host_fields) {
        auto found = windows_fields.find(key);
        if (found == windows_fields.end()) differences.push_back(key + " is missing on Windows");
        else if (found->second != value) differences.push_back(key + value + " on the host, " + key + found->second + " on Windows");
    }
    if (host.kind == "MESSAGE" && host_fields.size() != windows_fields.size())
        differences.push_back("the message boxes differ in their fields");
    if (host.answered != windows.answered) differences.push_back("the answers differ");
    return differences;
}

}  // namespace

platform::Result<std::vector<Interaction>> ReadInteractions(std::string_view text, std::string_view file_name) {
    std::vector<Interaction> interactions;
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!IsInteraction(line)) continue;
        auto words = sandbox::SplitAnswerWords(line);
        if (!words || words->empty())
            return platform::Fail(platform::Status::invalid_argument, std::string(file_name) + ":" + std::to_string(number) +
                                                                       ": unreadable line: " + std::string(line));
        Interaction interaction{words->front(), {}, {}, std::string(line)};
        bool after_arrow = false;
        for (size_t i = 1; i < words->size(); ++i) {
            if ((*words)[i] == "->") after_arrow = true;
            (after_arrow ? interaction.answered : interaction.shown).push_back((*words)[i]);
        }
        interactions.push_back(std::move(interaction));
    }
    return interactions;
}

std::vector<std::string> CompareInteractions(const std::vector<Interaction>& host, const std::vector<Interaction>& windows) {
    std::vector<std::string> report;
    const size_t common = std::min(host.size(), windows.size());
    for (size_t i = 0; i < common; ++i) {
        for (const auto& difference : Compare(host[i], windows[i])) {
            report.push_back("interaction " + std::to_string(i + 1) + ": " + difference);
            report.push_back("  host:    " + host[i].line);
            report.push_back("  Windows: " + windows[i].line);
        }
    }
    if (host.size() != windows.size()) {
        report.push_back("the host had " + std::to_string(host.size()) + " interactions, Windows " + std::to_string(windows.size()));
        for (size_t i = common; i < host.size(); ++i) report.push_back("  host only:    " + host[i].line);
        for (size_t i = common; i < windows.size(); ++i) report.push_back("  Windows only: " + windows[i].line);
    }
    return report;
}

}  // namespace rvx::parity
