// Reading the install script.
#include "installer/script/script_reader.h"

#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/script/conditions.h"
#include "installer/script/folder_operations.h"
#include "installer/script/script_lines.h"
#include "installer/script/section_store.h"
#include "installer/script/variables.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

std::string_view CleanView(std::string_view line) {
    if (size_t comment = line.find(';'); comment != std::string_view::npos) line = line.substr(0, comment);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    return line;
}

enum class Conditional { active, skipping_false_if, skipping_else };

// The section lines go to: a catalogue entry, or one of the two states that ignore lines.
struct Current {
    enum Kind { none, unknown, section } kind = none;
    Section code = Section::end_of_table;
};

platform::Result<std::unique_ptr<platform::File>> OpenFile(platform::FileSystem& files, const std::string& path) {
    return files.Open(platform::OpenRequest{path, platform::Access::read, platform::share::read,
                                            platform::Disposition::open_existing});
}

// The script's lines, or nothing when it can be neither opened nor read, beside the installer
// nor in its "32\" folder.
std::optional<ScriptLines> OpenScript(InstallState& app) {
    Folders& folders = app.folders();
    if (folders.script_path.empty()) folders.script_path = path::AddTrailingBackslash(folders.source) + "Install.ini";
    if (auto file = OpenFile(app.platform().files, folders.script_path)) {
        ScriptLines lines(std::move(file.value()));
        if (lines.Start()) return lines;
    }
    // A medium may keep its 32-bit installation in a "32\" folder; the source folder moves there.
    folders.source = path::AddTrailingBackslash(folders.source) + "32\\";
    folders.script_path = folders.source + "Install.ini";
    if (auto file = OpenFile(app.platform().files, folders.script_path)) {
        ScriptLines lines(std::move(file.value()));
        if (lines.Start()) return lines;
    }
    return std::nullopt;
}

void ReportNoScript(InstallState& app) {
    app.Message(text::InsertArguments(app.Text(kNoIniFile), {app.folders().script_path}));
    app.TraceText(app.folders().script_path + " :file not found\n");
}

// A physical line as the reader sees it: non-breaking spaces made plain, then cleaned. line is
// the reader's one buffer, reused for every line.
std::string_view CleanedInto(std::string& line, std::string_view raw) {
    line.assign(raw);
    for (char& c : line)
        if (static_cast<unsigned char>(c) == 0xA0) c = ' ';
    return CleanView(line);
}

bool StartsWithIgnoringCase(std::string_view line, std::string_view directive) {
    return text::StartsWithIgnoreCase(line, directive);
}

// The check that the sections no installation can do without were all present.
bool CheckRequiredSections(InstallState& app, const PresenceMarks& marks) {
    std::string missing;
    bool passes = false;
    if (marks.patch_mode) {
        if (!marks.title) missing += "[TITLE]\n";
        if (!marks.disk_id) missing += "[DISKID]\n";
        if (!marks.variants) missing += "[NORVNO]\n";
        if (!marks.version) missing += "[VERSION]\n";
        if (!marks.end_marker) missing += "[EOF]\n";
        passes = marks.title && marks.disk_id && marks.version && marks.end_marker;
    } else {
        if (!marks.size) missing += "[SIZE]\n";
        if (!marks.title) missing += "[TITLE]\n";
        if (!marks.disk_id) missing += "[DISKID]\n";
        if (!marks.dialog_texts) missing += "[DBOX]\n";
        if (!marks.default_folder) missing += "[DEFAULTDIR]\n";
        if (!marks.variants) missing += "[NORVNO]\n";
        if (!marks.uninstall_file) missing += "[UNINSTALLFILE]\n";
        if (!marks.version) missing += "[VERSION]\n";
        if (!marks.end_marker) missing += "[EOF]\n";
        passes = marks.size && marks.title && marks.disk_id && marks.dialog_texts && marks.default_folder &&
                 marks.uninstall_file && marks.version && marks.end_marker;
    }
    if (!passes) app.Message(app.Text(kMissingSections) + missing);
    return passes;
}

// With two [WORKINGDIR] lines, the second names a registry value that holds the working
// folder; the first is the folder to use when that value is missing or empty.
Completion SettleWorkingFolder(InstallState& app) {
    TextList& lines = app.script().working_dir;
    if (lines.size() != 2) return Completion::Done();
    for (std::string& line : lines) {
        Expansion expanded = Expanded(app, line);
        if (expanded.stopped()) return expanded.stop();
        line = std::move(*expanded);
    }
    auto from_registry = ReadRegistrySpecification(app.platform().registry, lines[1]);
    if (from_registry && !from_registry->empty()) {
        (void)CreateFolderPath(app.platform().files, *from_registry);
        app.folders().documents = path::AddTrailingBackslash(*from_registry);
    } else {
        app.folders().documents = lines[0];
    }
    return Completion::Done();
}

}  // namespace

std::string CleanLine(std::string_view line) { return std::string(CleanView(line)); }

OrStop<std::optional<ScriptFlags>> ReadScript(InstallState& app, ScriptReadWatcher* watcher) {
    auto lines = OpenScript(app);
    if (!lines) {
        ReportNoScript(app);
        return std::nullopt;
    }

    SectionStore store(app);
    store.ResetForReading();
    Conditional state = Conditional::active;
    Current current;
    const char language = app.language();

    // Lines are read whole, whatever their length, so a long line is never cut into two.
    std::string buffer;
    std::string_view raw;
    bool ended = false;
    int number = 0;
    while (!ended) {
        const auto more = lines->Next(raw);
        if (!more) {
            // The file went away or broke in the middle: what was read cannot be trusted whole.
            ReportNoScript(app);
            return std::nullopt;
        }
        if (!more.value()) break;
        const std::string_view line = CleanedInto(buffer, raw);
        ++number;
        if (watcher) watcher->AtLine(number, line);

        // Directives act in every state; they do not nest.
        if (StartsWithIgnoringCase(line, "#if")) {
            if (!EvaluateVariantCondition(app, line)) state = Conditional::skipping_false_if;
            continue;
        }
        if (StartsWithIgnoringCase(line, "#else")) {
            state = state == Conditional::skipping_false_if ? Conditional::active : Conditional::skipping_else;
            continue;
        }
        if (StartsWithIgnoringCase(line, "#endif")) {
            state = Conditional::active;
            continue;
        }
        if (state != Conditional::active) {
            if (watcher && !line.empty()) watcher->Skipped();
            continue;
        }

        if (!line.empty() && line.front() == '[') {
            if (auto code = MatchHeader(line, language)) {
                if (watcher) watcher->Opened(*code);
                if (store.SetFlagOf(*code)) {
                    current = Current{};
                    continue;
                }
                if (*code == Section::network_install) store.flags().network_install = true;
                if (*code == Section::no_version_idem) store.flags().no_same_version_question = true;
                if (*code == Section::patch) store.flags().patch = true;
                current = Current{Current::section, *code};
                continue;
            }
            if (line.size() >= 3 && line[line.size() - 3] == '.') {
                if (text::ToUpper(line[line.size() - 2]) == text::ToUpper(language)) {
                    if (watcher) watcher->Unknown(ScriptReadWatcher::UnknownHeader::this_language);
                    app.Message(app.Text(kUnknownKeyword) + std::string(line));
                    return std::nullopt;
                }
                if (watcher) watcher->Unknown(ScriptReadWatcher::UnknownHeader::other_language);
                current = Current{Current::unknown};  // a section of another language
                continue;
            }
            if (watcher) watcher->Unknown(ScriptReadWatcher::UnknownHeader::no_language);
            app.Message(text::FormatMessage(app.Text(kUnknownCommand), {line}), platform::Buttons::ok, platform::Icon::stop);
            current = Current{Current::unknown};
            continue;
        }

        if (current.kind != Current::section) continue;
        if (line.empty() && !SectionStore::KeepsEmptyLines(current.code)) continue;
        if (current.code == Section::end_of_file) {
            if (line.empty()) continue;
            store.MarkEndReached();
            ended = true;
            continue;
        }
        if (current.code == Section::network_install || current.code == Section::no_version_idem) continue;
        if (watcher) watcher->Stored(current.code);
        const OrStop<bool> section_goes_on = store.Store(current.code, line);
        if (section_goes_on.stopped()) return section_goes_on.stop();
        if (!*section_goes_on) current = Current{};
    }

    // The script is closed before what follows, which may fail the reading.
    lines.reset();
    // What follows belongs to no line of its own.
    if (watcher) watcher->AtLine(0, {});
    if (const Completion resolved = ResolveReadRegistry(app); resolved.stopped()) return resolved.stop();
    if (!CheckRequiredSections(app, store.marks())) return std::nullopt;
    if (const Completion settled = SettleWorkingFolder(app); settled.stopped()) return settled.stop();
    return store.flags();
}

}  // namespace rvx::installer
