// transcript_compare: the parity check of the GUI tests. It compares the interactions the host
// program had on the simulated machine (PAGE, MESSAGE and BROWSE lines of its journal) with the
// ones the GUI driver had with the Windows program under Wine (its transcript), in order.
//
//   transcript_compare HOST-JOURNAL WINDOWS-TRANSCRIPT
//
// Allowed differences, the only ones the two systems make:
// - a page's real dialog holds controls the page model does not fill (the template's labels,
//   frames and pictures): the Windows line may have fields the host line has not;
// - the icon of a message box: the system's box does not tell which icon it shows;
// - the folder browser's initial folder: the system's browser does not show it as text.
// Everything else must be equal: the page ids, captions, every field of the host line with its
// value and state, the button pressed and the values typed; the message boxes' captions, texts,
// buttons, default buttons and answers. Exit code 0 when equal, 1 with the differences listed.
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/sandbox/scripted_responder.h"

namespace {

struct Interaction {
    std::string kind;                          // PAGE, MESSAGE or BROWSE
    std::vector<std::string> shown;            // fields before "->"
    std::vector<std::string> answered;         // "->" and after (pages)
    std::string line;
};

bool IsInteraction(const std::string& line) {
    return line.rfind("PAGE ", 0) == 0 || line.rfind("MESSAGE ", 0) == 0 || line.rfind("BROWSE ", 0) == 0;
}

bool ReadInteractions(const char* path, std::vector<Interaction>& out) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "transcript_compare: cannot read %s\n", path);
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!IsInteraction(line)) continue;
        auto words = rvx::sandbox::SplitAnswerWords(line);
        if (!words || words->empty()) {
            std::fprintf(stderr, "transcript_compare: %s: unreadable line: %s\n", path, line.c_str());
            return false;
        }
        Interaction interaction{words->front(), {}, {}, line};
        bool after_arrow = false;
        for (size_t i = 1; i < words->size(); ++i) {
            if ((*words)[i] == "->") after_arrow = true;
            (after_arrow ? interaction.answered : interaction.shown).push_back((*words)[i]);
        }
        out.push_back(std::move(interaction));
    }
    return true;
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

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: transcript_compare HOST-JOURNAL WINDOWS-TRANSCRIPT\n");
        return 2;
    }
    std::vector<Interaction> host;
    std::vector<Interaction> windows;
    if (!ReadInteractions(argv[1], host) || !ReadInteractions(argv[2], windows)) return 2;
    int failures = 0;
    const size_t common = std::min(host.size(), windows.size());
    for (size_t i = 0; i < common; ++i) {
        for (const auto& difference : Compare(host[i], windows[i])) {
            if (failures++ == 0) std::printf("the editions differ:\n");
            std::printf("  interaction %zu: %s\n    host:    %s\n    Windows: %s\n", i + 1, difference.c_str(),
                        host[i].line.c_str(), windows[i].line.c_str());
        }
    }
    if (host.size() != windows.size()) {
        ++failures;
        std::printf("  the host had %zu interactions, Windows %zu\n", host.size(), windows.size());
        for (size_t i = common; i < host.size(); ++i) std::printf("    host only:    %s\n", host[i].line.c_str());
        for (size_t i = common; i < windows.size(); ++i) std::printf("    Windows only: %s\n", windows[i].line.c_str());
    }
    if (failures == 0) std::printf("the same %zu interactions in both editions\n", host.size());
    return failures == 0 ? 0 : 1;
}
