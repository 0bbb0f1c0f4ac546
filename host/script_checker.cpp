// The script checker. Each reading runs the installer's own reader on a scratch simulated machine;
// whatever the reader shows while a line is handled (an undeclared variant, the missing sections,
// an undefined variable) is answered here and becomes a problem of that line. The stored sections
// are then checked with the installer's own line parsers: the file list against the medium, the
// uninstall commands and the patterns an installation should not use.
#include "host/script_checker.h"

#include "host/script_line_checks.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <set>

#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/install_app.h"
#include "installer/files/szdd_reader.h"
#include "installer/files/szdd_writer.h"
#include "installer/script/file_entry.h"
#include "installer/script/script_reader.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/responder.h"

namespace rvx::host {

namespace {

namespace fs = std::filesystem;
using installer::ScriptReadWatcher;
using installer::Section;

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

struct Reading {
    char language = 'F';
    std::string variant_name;
    std::string variant_number;

    std::string Describe() const {
        std::string text = std::string("language ") + language;
        if (!variant_name.empty()) text += ", variant " + variant_name;
        return text;
    }
};

// A problem as one reading met it.
struct Found {
    int line = 0;
    Severity severity = Severity::error;
    std::string message;
};

// Follows one reading: the line being read, the messages the reader shows on it, the lines stored
// into the file list, and the directives as they stand.
class ReadingWatcher : public ScriptReadWatcher, public sandbox::Responder {
public:
    void Attach(installer::InstallState& app) { app_ = &app; }

    void AtLine(int number, std::string_view cleaned) override {
        NoteNewFileLines();
        line_ = number;
        if (number == 0) return;
        if (text::StartsWithIgnoreCase(cleaned, "#if")) {
            if (in_if_) Add(Severity::warning, "\"#if\" inside an \"#if\" block: directives do not nest, the first \"#endif\" ends both");
            in_if_ = true;
            if_line_ = number;
        } else if (text::StartsWithIgnoreCase(cleaned, "#else")) {
            if (!in_if_) Add(Severity::error, "\"#else\" without an \"#if\" before it");
        } else if (text::StartsWithIgnoreCase(cleaned, "#endif")) {
            if (!in_if_) Add(Severity::error, "\"#endif\" without an \"#if\" before it");
            in_if_ = false;
        }
    }

    void Opened(Section code) override { current_ = code; }

    void Unknown(UnknownHeader kind) override {
        current_.reset();
        switch (kind) {
            case UnknownHeader::this_language:
                Add(Severity::error, "unknown section header in this reading's language: the installer stops here with "
                                     "\"INI File corrupted\" (a misspelled header?)");
                break;
            case UnknownHeader::other_language:
                break;  // the reading in that language reports it
            case UnknownHeader::no_language:
                Add(Severity::error, "unknown section header: the installer shows \"Unknown command\" and ignores "
                                     "the lines under it (a misspelled header?)");
                break;
        }
    }

    void Stored(Section code) override {
        if (!app_) return;
        pending_ = ListOf(app_->script(), code);
        pending_line_ = line_;
    }

    void Finish() {
        NoteNewFileLines();
        if (in_if_) found_.push_back({if_line_, Severity::error, "\"#if\" without an \"#endif\" after it"});
    }

    platform::Answer AnswerMessage(const platform::MessageRequest& request) override {
        Interpret(request.text);
        return sandbox::AnswersOf(request.buttons).front();
    }
    int AnswerPage(platform::PageModel&) override { return 2; }
    std::optional<std::string> AnswerBrowse(std::string_view, std::string_view) override { return std::nullopt; }

    void Add(Severity severity, std::string message) { found_.push_back({line_, severity, std::move(message)}); }
    void AddAt(int line, Severity severity, std::string message) { found_.push_back({line, severity, std::move(message)}); }
    std::vector<Found>& found() { return found_; }
    // The line an entry of a stored list came from (a wildcard line gives several entries); 0
    // when not known.
    int LineOf(const installer::TextList& list, size_t index) const {
        auto found = list_lines_.find(&list);
        return found == list_lines_.end() || index >= found->second.size() ? 0 : found->second[index];
    }

private:
    // The entries a stored line added to its list belong to that line.
    void NoteNewFileLines() {
        if (!pending_) return;
        auto& lines = list_lines_[pending_];
        while (lines.size() < pending_->size()) lines.push_back(pending_line_);
        pending_ = nullptr;
    }

    void Interpret(const std::string& shown) {
        if (!app_) return;
        const std::string missing = app_->Text(installer::kMissingSections);
        const std::string undefined = app_->Text(installer::kUndefinedVariable);
        const std::string expression = app_->Text(installer::kIncorrectExpression);
        if (StartsWith(shown, missing)) {
            for (const auto& header : text::SplitFields(shown.substr(missing.size()), "\n")) {
                if (header.empty()) continue;
                if (header == "[NORVNO]") {
                    AddAt(0, Severity::warning, "no [NORVNO] section: the installer lists it among the missing sections");
                } else if (header == "[DBOX]") {
                    AddAt(0, Severity::error, "required section missing: one of [INSTALLDIRTEXT], [SUCCESSTEXT], [PERSONALIZETEXT]");
                } else if (header == "[EOF]") {
                    AddAt(0, Severity::error, "required end marker missing: [EOF] followed by a non-empty line");
                } else {
                    AddAt(0, Severity::error, "required section missing: " + header);
                }
            }
            return;
        }
        if (const size_t at = undefined.find("%s"); at != std::string::npos && StartsWith(shown, undefined.substr(0, at))) {
            Add(Severity::error, "undefined variable " + shown.substr(at) +
                                     " when this line is used: the installer stops with \"Fatal error: undefined variable\"");
            return;
        }
        if (const size_t at = expression.find("%s"); at != std::string::npos && StartsWith(shown, expression.substr(0, at))) {
            Add(Severity::error, "the \"#if\" expression names a variant that no [NORVNO] line declares (or has a blank): "
                                 "the installer shows \"Expression incorrecte\" and skips the block");
            return;
        }
        if (StartsWith(shown, app_->Text(installer::kUnknownKeyword))) return;  // reported by Unknown
        if (shown.find(std::string_view(app_->Text(installer::kUnknownCommand)).substr(0, 15)) == 0) return;
        Add(Severity::warning, "the installer shows this message while reading: " + shown);
    }

    installer::InstallState* app_ = nullptr;
    std::vector<Found> found_;
    std::map<const installer::TextList*, std::vector<int>> list_lines_;
    const installer::TextList* pending_ = nullptr;
    int pending_line_ = 0;
    int line_ = 0;
    bool in_if_ = false;
    int if_line_ = 0;
    std::optional<Section> current_;
};

std::string Slurp(const fs::path& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The language letters the script's headers carry ([TITLE.E]); F, the installer's default, always.
std::set<char> DeclaredLanguages(const std::string& script) {
    std::set<char> languages{'F'};
    std::string_view rest = script;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view raw = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        const std::string line = installer::CleanLine(raw);
        if (line.size() >= 4 && line.front() == '[' && line.back() == ']' && line[line.size() - 3] == '.') {
            const char letter = text::ToUpper(line[line.size() - 2]);
            if (letter == 'F' || letter == 'D' || letter == 'E') languages.insert(letter);
        }
    }
    return languages;
}

// |NUMBER|NAME| pairs of the variant symbol list.
std::vector<std::pair<std::string, std::string>> DeclaredVariants(const std::string& symbols) {
    std::vector<std::pair<std::string, std::string>> variants;
    std::vector<std::string> parts;
    for (const auto& part : text::SplitFields(symbols, "|")) parts.push_back(part);
    std::vector<std::string> names;
    for (const auto& part : parts)
        if (!part.empty()) names.push_back(part);
    for (size_t i = 0; i + 1 < names.size(); i += 2) variants.emplace_back(names[i], names[i + 1]);
    return variants;
}

// The source folder of a disk in the folder layouts, as the copy stage switches it.
std::string DiskFolder(const installer::InstallState& app, std::string source, std::string_view id) {
    if (id.empty()) return source;
    for (std::string_view mark : {std::string_view("\\_DISK_"), std::string_view("\\DISK")}) {
        const bool layout = mark.size() == 7 ? app.layout().hard_disk_layout : app.layout().disk_folder_layout;
        if (!layout) continue;
        if (const size_t at = source.find(mark); at != std::string::npos && at + mark.size() < source.size())
            source[at + mark.size()] = id[0];
    }
    return source;
}

void CheckFileList(installer::InstallApp& app, ReadingWatcher& watcher, const std::function<void(const std::string&)>& insert_disk) {
    platform::FileSystem& files = app.platform().files;
    const std::string first_source = app.folders().source;
    std::string system_folder;
    if (auto expanded = installer::Expanded(app, "%SYSTEM%"); !expanded.stopped()) system_folder = text::ToUpper(*expanded);
    const auto& list = app.script().files;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& line = list[i];
        const int number = watcher.LineOf(list, i);
        if (line.empty()) continue;
        if (installer::IsDiskMarker(line)) {
            const std::string id = line.substr(1);
            app.folders().source = DiskFolder(app, first_source, id);
            if (insert_disk) insert_disk(id);
            if (!app.layout().removable) continue;
            const std::string marker = app.folders().source + "DISK" + id;
            const std::string label = text::FormatMessage(app.script().disk_id, {id});
            auto content = platform::ReadWholeFile(files, marker);
            if (!content) {
                watcher.AddAt(number, Severity::error, "disk marker " + line + " has no marker file " + marker + " on the medium");
            } else if (content.value() != label) {
                watcher.AddAt(number, Severity::error, "the marker file " + marker + " does not hold exactly the disk label \"" +
                                                           label + "\" (no line end)");
            }
            continue;
        }
        auto entry = installer::ParseFileLine(app, line);
        if (entry.stopped()) {
            watcher.AddAt(number, Severity::error, "undefined variable " + entry.stop().variable + " in this file line");
            continue;
        }
        const std::string& source = entry->source_path;
        auto reader = installer::ExpandingReader::Open(files, installer::CompressedName(source));
        if (!reader) reader = installer::ExpandingReader::Open(files, source);
        if (!reader) {
            watcher.AddAt(number, Severity::error, "the file " + source + " (or its compressed form " +
                                                       installer::CompressedName(source) + ") is not on the medium");
        } else if (auto size = reader.value()->ExpandedSize(); size && entry->size != 0 &&
                                                               static_cast<uint64_t>(entry->size) != size.value()) {
            watcher.AddAt(number, Severity::error, "the line gives " + std::to_string(entry->size) + " bytes, but " + source +
                                                       " holds " + std::to_string(size.value()));
        }
        if (!system_folder.empty() && StartsWith(text::ToUpper(entry->dest_path), system_folder) &&
            !entry->keep_on_uninstall && !entry->shared_file)
            watcher.AddAt(number, Severity::warning, "a file installed into the system folder without the U or C flag: "
                                                     "the uninstaller deletes it though other programs may use it");
    }
    app.folders().source = first_source;
}

// The value of [UNINSTALLSTRING], and the start error a missing registry value leaves.
void CheckSingleValues(installer::InstallApp& app, ReadingWatcher& watcher) {
    const auto& script = app.script();
    std::string_view value = script.uninstall_string;
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    if (!value.empty() && value.front() != '"')
        watcher.AddAt(0, Severity::warning, "the [UNINSTALLSTRING] value does not quote its program path: a path with "
                                            "blanks is split by the system");
    if (!script.pending_start_error.empty() && script.pending_start_error[0] != '@')
        watcher.AddAt(0, Severity::warning, "when a [READREGISTRY] value is missing and its default is empty, the "
                                            "installation stops at its start with: " + script.pending_start_error);
    if (app.folders().default_folder.find("%DSTPATH%") != std::string::npos)
        watcher.AddAt(0, Severity::error, "[DEFAULTDIR] uses %DSTPATH%, which is not known before the folder is chosen: "
                                          "the folder page would propose the text \"%DSTPATH%\" itself");
}

// One reading: the installer's reader and then the line checks.
std::vector<Found> Read(sandbox::Machine& machine, const std::string& program, const Reading& reading,
                        const CheckRequest& request, const std::string& medium,
                        std::vector<std::pair<std::string, std::string>>* variants) {
    ReadingWatcher watcher;
    sandbox::ProgramSession session(machine, {program, std::string("/") + reading.language, "", installer::kBuiltInStrings},
                                    watcher);
    installer::InstallApp app(session.platform());
    watcher.Attach(app);
    if (!app.InitInstance() || !app.ProcessCommandLine()) {
        watcher.Add(Severity::error, "the installer could not start on the scratch machine");
        return watcher.found();
    }
    app.script().active_variant_name = reading.variant_name;
    app.script().active_variant_number = reading.variant_number.empty() ? "" : "|" + reading.variant_number + "|";
    auto read = installer::ReadScript(app, &watcher);
    watcher.Finish();
    if (read.stopped()) {
        watcher.Add(Severity::error, "undefined variable " + read.stop().variable +
                                         " while the script is read: the installer stops with \"Fatal error\"");
        return watcher.found();
    }
    if (variants) *variants = DeclaredVariants(app.script().variant_symbols);
    if (!read.value()) return watcher.found();
    // The folder the user will choose is known when the files are parsed.
    app.folders().installation = app.folders().program_files + "\\Checked Product";
    app.folders().installation_drive_root = "C:\\";
    std::function<void(const std::string&)> insert_disk;
    if (!request.further_disks.empty())
        insert_disk = [&](const std::string& id) {
            const int disk = static_cast<int>(text::ParseDecimalPrefix(id));
            const std::string folder = disk == 1 ? medium
                                       : disk >= 2 && static_cast<size_t>(disk - 2) < request.further_disks.size()
                                           ? request.further_disks[static_cast<size_t>(disk - 2)]
                                           : std::string();
            if (!folder.empty()) (void)machine.Mount({'A', platform::DriveType::removable, 0, folder, true});
        };
    CheckFileList(app, watcher, insert_disk);
    if (insert_disk) insert_disk("1");
    CheckSingleValues(app, watcher);
    CheckSectionLines(app, [&](const installer::TextList& list, size_t index, Severity severity, std::string message) {
        watcher.AddAt(watcher.LineOf(list, index), severity, std::move(message));
    });
    return watcher.found();
}

}  // namespace

bool CheckReport::HasErrors() const {
    return unreadable || std::any_of(problems.begin(), problems.end(), [](const Problem& p) { return p.severity == Severity::error; });
}

CheckReport CheckScript(const CheckRequest& request) {
    CheckReport report;
    std::error_code error;
    const fs::path script = fs::absolute(request.script, error);
    bool ok = false;
    const std::string content = Slurp(script, ok);
    const std::string name = script.filename().string();
    if (!ok || !fs::is_regular_file(script)) {
        report.unreadable = true;
        report.problems.push_back({request.script, 0, Severity::error, "the script cannot be read", ""});
        return report;
    }
    const fs::path medium = fs::weakly_canonical(request.medium.empty() ? script.parent_path() : fs::absolute(request.medium, error), error);
    const fs::path relative = fs::relative(fs::weakly_canonical(script.parent_path(), error), medium, error);
    if (error || relative.string().rfind("..", 0) == 0) {
        report.unreadable = true;
        report.problems.push_back({request.script, 0, Severity::error, "the script does not lie on the medium " + medium.string(), ""});
        return report;
    }
    const char drive = request.further_disks.empty() ? 'D' : 'A';
    std::string program = std::string(1, drive) + ":\\";
    if (relative != ".") program += path::AddTrailingBackslash(text::ReplaceAll(relative.string(), "/", "\\"));
    program += "Rovexa.exe";
    if (text::ToUpper(name) != "INSTALL.INI")
        report.problems.push_back({request.script, 0, Severity::warning, "the installer reads only a script named Install.ini", ""});

    const fs::path scratch = fs::temp_directory_path() / ("rvx-check-" + std::to_string(std::random_device{}()));
    auto machine = sandbox::Machine::Open(scratch.string());
    const auto type = drive == 'A' ? platform::DriveType::removable : platform::DriveType::cdrom;
    if (!machine || !machine.value()->Mount({drive, type, 0, medium.string(), true})) {
        report.unreadable = true;
        report.problems.push_back({request.script, 0, Severity::error, "no scratch machine could be made in " + scratch.string(), ""});
        fs::remove_all(scratch, error);
        return report;
    }

    std::vector<Reading> readings;
    std::vector<std::pair<std::string, std::string>> variants;
    std::map<std::tuple<int, int, std::string>, std::vector<std::string>> met;  // line, severity, message -> readings
    auto collect = [&](const Reading& reading, std::vector<Found> found) {
        for (auto& f : found) {
            auto& who = met[{f.line, static_cast<int>(f.severity), f.message}];
            if (std::find(who.begin(), who.end(), reading.Describe()) == who.end()) who.push_back(reading.Describe());
        }
    };
    size_t count = 0;
    for (char language : DeclaredLanguages(content)) {
        Reading plain{language, "", ""};
        collect(plain, Read(*machine.value(), program, plain, request, medium.string(), &variants));
        ++count;
        for (const auto& [number, variant] : variants) {
            Reading one{language, variant, number};
            collect(one, Read(*machine.value(), program, one, request, medium.string(), nullptr));
            ++count;
        }
    }
    machine.value().reset();
    fs::remove_all(scratch, error);

    for (const auto& [key, who] : met) {
        Problem problem{request.script, std::get<0>(key), static_cast<Severity>(std::get<1>(key)), std::get<2>(key), ""};
        if (who.size() != count)
            for (const auto& reading : who) problem.readings += (problem.readings.empty() ? "" : "; ") + reading;
        report.problems.push_back(std::move(problem));
    }
    std::stable_sort(report.problems.begin(), report.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return report;
}

}  // namespace rvx::host
