// The medium builder. The template is read line by line with the installer's own line cleaning,
// section catalogue and file-line splitter; only the lines of [FILES], [SIZE] and [DISKID] are
// rewritten, everything else is kept as written. Files are laid on the disks in the order of the
// script, each on the first disk with room left after the ones before it (a file is never split).
#include "host/medium_builder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#include "common/text/field_splitter.h"
#include "common/text/text.h"
#include "installer/files/szdd_writer.h"
#include "installer/script/file_entry.h"
#include "installer/script/script_reader.h"
#include "installer/script/section_catalogue.h"
#include "uninstaller/wildcard_match.h"

namespace rvx::host {

namespace {

namespace fs = std::filesystem;
using installer::Section;

constexpr uint64_t kFloppyCapacity = 1457664;
constexpr int kMostDisks = 9;  // the folder layouts take a one-character disk identifier
// Room kept on the first disk for what the finished script adds to the template: a size and a
// few commas for each file line, and the markers.
constexpr uint64_t kScriptReserve = 256;
constexpr uint64_t kReservePerFile = 16;

constexpr const char* kInstallerStandIn =
    "Stand-in for Rovexa.exe: on the simulated machine the host program rovexa runs in its place.\r\n";
// The libraries the installer loads for /E and /D, from its own folder.
constexpr const char* kLanguageLibraries[] = {"rovexeng.dll", "rovexdeu.dll"};

constexpr const char* kUninstallerStandIn =
    "Stand-in for Dismara.exe: on the simulated machine the host program dismara runs in its place.\r\n";

struct FileItem {
    std::string written_name;  // field 1 as the finished line has it
    std::string relative;      // below the product folder and the disk's folder, with "/"
    fs::path host;             // the product's file (or a program put in its place)
    std::vector<std::string> fields;  // fields 2 to 4 as written
    uint64_t size = 0;
    bool starts_disk = false;  // the template has a disk marker before it
};

struct TemplateLine {
    std::string text;
    std::optional<Section> opens;  // a header line
};

bool ReadBytes(const fs::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

bool WriteBytes(const fs::path& path, std::string_view bytes) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::vector<TemplateLine> TemplateLines(const std::string& text) {
    std::vector<TemplateLine> lines;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view raw = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        TemplateLine line{std::string(raw), std::nullopt};
        const std::string cleaned = installer::CleanLine(raw);
        if (!cleaned.empty() && cleaned.front() == '[')
            for (char language : {'F', 'D', 'E'})
                if (auto code = installer::MatchHeader(cleaned, language)) {
                    line.opens = *code;
                    break;
                }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string WindowsName(std::string relative) { return text::ReplaceAll(relative, "/", "\\"); }

// Names compare ignoring case, as on the system the medium is for.
bool Matches(const std::string& pattern, const std::string& name) {
    return uninstaller::MatchWildcard(text::ToUpper(pattern), text::ToUpper(name));
}

bool MatchesAny(const std::vector<std::string>& patterns, const std::string& name) {
    for (const auto& pattern : patterns)
        if (Matches(pattern, name)) return true;
    return false;
}

// The files one template line names: itself, every file of a folder (the line ends in "\"), or
// the files a wildcard in its last component matches, in name order.
std::vector<FileItem> ExpandLine(const fs::path& product, const std::vector<std::string>& fields, std::string& error) {
    std::vector<FileItem> items;
    std::string written = fields.empty() ? std::string() : fields[0];
    const bool leading = !written.empty() && written.front() == '\\';
    std::string name = leading ? written.substr(1) : written;
    std::vector<std::string> rest(fields.begin() + std::min<size_t>(1, fields.size()),
                                  fields.begin() + std::min<size_t>(4, fields.size()));
    rest.resize(3);
    auto add = [&](const std::string& relative, const std::string& extra_folder) {
        FileItem item;
        item.relative = relative;
        item.written_name = (leading ? "\\" : "") + WindowsName(relative);
        item.host = product / relative;
        item.fields = rest;
        if (leading && !extra_folder.empty()) {
            // The installer appends only the last component of a name that begins with "\": a
            // file of a sub-folder keeps its place through its destination.
            std::string& destination = item.fields[0];
            if (destination.empty() || destination.back() == '\\') destination += WindowsName(extra_folder) + "\\";
        }
        items.push_back(std::move(item));
    };
    const std::string relative = text::ReplaceAll(name, "\\", "/");
    std::error_code ignored;
    if (!relative.empty() && relative.back() == '/') {
        const fs::path folder = product / relative;
        if (!fs::is_directory(folder, ignored)) {
            error = "the folder " + written + " is not in the product folder";
            return {};
        }
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
            if (entry.is_regular_file()) found.push_back(entry.path());
        std::sort(found.begin(), found.end());
        for (const auto& path : found) {
            const std::string below = fs::relative(path, product).generic_string();
            const std::string sub = fs::relative(path.parent_path(), folder).generic_string();
            add(below, sub == "." ? std::string() : sub);
        }
        return items;
    }
    const size_t slash = relative.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : relative.substr(0, slash + 1);
    const std::string leaf = relative.substr(folder.size());
    if (leaf.find_first_of("*?") != std::string::npos) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(product / folder, ignored)) {
            const std::string found = entry.path().filename().string();
            if (entry.is_regular_file() && found.front() != '.' && Matches(leaf, found)) names.push_back(found);
        }
        std::sort(names.begin(), names.end());
        for (const auto& found : names) add(folder + found, "");
        if (names.empty()) error = "the pattern " + written + " matches no file of the product folder";
        return items;
    }
    add(relative, "");
    return items;
}

// Finds a program of a Windows build: below platform/win32 first, then anywhere below it.
std::optional<fs::path> FindProgram(const fs::path& build, const std::string& name) {
    std::error_code ignored;
    if (fs::is_regular_file(build / "platform" / "win32" / name, ignored)) return build / "platform" / "win32" / name;
    for (const auto& entry : fs::recursive_directory_iterator(build, fs::directory_options::skip_permission_denied, ignored))
        if (entry.is_regular_file() && text::EqualsIgnoreCase(entry.path().filename().string(), name)) return entry.path();
    return std::nullopt;
}

std::string DiskFolderName(MediumLayout layout, int disk) {
    switch (layout) {
        case MediumLayout::single: return "";
        case MediumLayout::disk_folders: return "DISK" + std::to_string(disk);
        case MediumLayout::underscore_disks: return "_DISK_" + std::to_string(disk);
        case MediumLayout::floppies: return "floppy" + std::to_string(disk);
    }
    return "";
}

}  // namespace

std::string DiskFolder(const BuildRequest& request, int disk) {
    return (fs::path(request.output) / DiskFolderName(request.layout, disk)).string();
}

BuildResult BuildMedium(const BuildRequest& request, const BuildProgress& progress) {
    BuildResult result;
    auto fail = [&](std::string why) {
        result.errors.push_back(std::move(why));
        return result;
    };
    auto say = [&](const std::string& line) {
        if (progress) progress(line);
    };
    const fs::path product = request.product;
    std::error_code error;
    std::string template_text;
    if (!fs::is_directory(product, error) || !ReadBytes(request.script, template_text)) {
        result.unreadable = true;
        return fail("the product folder " + request.product + " or the script template " + request.script + " cannot be read");
    }
    if (fs::exists(request.output, error) && !fs::is_empty(request.output, error))
        return fail("the output folder " + request.output + " is not empty");

    const bool several = request.layout != MediumLayout::single;
    uint64_t capacity = request.capacity;
    if (capacity == 0 && request.layout == MediumLayout::floppies) capacity = kFloppyCapacity;

    // The programs placed beside the script, and the uninstaller the file list may name.
    std::string installer_bytes = kInstallerStandIn;
    std::string uninstaller_bytes = kUninstallerStandIn;
    std::vector<std::pair<std::string, std::string>> beside_script;  // name, bytes
    auto place_library = [&](const char* library, const std::optional<fs::path>& found, const std::string& where) {
        std::string bytes;
        if (found && ReadBytes(*found, bytes)) {
            beside_script.emplace_back(library, bytes);
            result.notes.push_back(std::string("placed the language library ") + library + " beside the installer");
        } else {
            result.notes.push_back(std::string(where) + " has no " + library + ": left out (the installer then keeps its "
                                                                               "built-in texts for that language)");
        }
    };
    if (!request.windows_build.empty()) {
        const fs::path build = request.windows_build;
        auto rovexa = FindProgram(build, "Rovexa.exe");
        auto dismara = FindProgram(build, "Dismara.exe");
        if (!rovexa || !dismara || !ReadBytes(*rovexa, installer_bytes) || !ReadBytes(*dismara, uninstaller_bytes)) {
            result.unreadable = true;
            return fail("the Windows build " + request.windows_build + " has no Rovexa.exe and Dismara.exe");
        }
        for (const char* library : kLanguageLibraries) place_library(library, FindProgram(build, library), "the build");
    } else {
        result.notes.push_back("the installer and the uninstaller are the host stand-ins, for the simulated machine");
        if (!request.languages.empty()) {
            const fs::path folder = request.languages;
            for (const char* library : kLanguageLibraries) {
                std::optional<fs::path> found;
                if (fs::is_regular_file(folder / library, error)) found = folder / library;
                place_library(library, found, "the languages folder " + request.languages);
            }
        } else {
            result.notes.push_back("no languages folder: the medium has no language libraries");
        }
    }
    beside_script.emplace(beside_script.begin(), "Rovexa.exe", installer_bytes);
    for (const auto& extra : request.beside_script) {
        std::string bytes;
        if (!ReadBytes(extra, bytes)) {
            result.unreadable = true;
            return fail("the file " + extra + " to put beside the script cannot be read");
        }
        const std::string name = fs::path(extra).filename().string();
        for (const auto& [placed, ignored] : beside_script)
            if (text::EqualsIgnoreCase(placed, name)) return fail("two files would be placed beside the script as " + name);
        if (text::EqualsIgnoreCase(name, "Install.ini")) return fail("the script itself is made from the template, not placed");
        beside_script.emplace_back(name, std::move(bytes));
    }

    // The template's lines, and the file list's entries with the files they name.
    std::vector<TemplateLine> lines = TemplateLines(template_text);
    std::vector<FileItem> items;
    std::optional<size_t> files_at, size_at, disk_id_at;
    // The headers of [SIZE] and [DISKID], for a template that leaves their value empty.
    std::optional<size_t> size_header_at, disk_id_header_at;
    bool marker_pending = false;
    std::string label = request.label;
    uint64_t created_bytes = 0;
    // The section the line is in, while inside one: a value and a flag rather than an optional,
    // which the optimiser of GCC 12 wrongly takes for uninitialised.
    Section current = Section::files;
    bool inside = false;
    auto in = [&](Section section) { return inside && current == section; };
    std::vector<TemplateLine> kept;
    for (size_t i = 0; i < lines.size(); ++i) {
        const TemplateLine& line = lines[i];
        if (line.opens) {
            inside = true;
            current = *line.opens;
            kept.push_back(line);
            if (current == Section::files) {
                if (files_at) return fail("the template has more than one [FILES] section: give the builder one list");
                files_at = kept.size();
            }
            if (current == Section::size && !size_header_at) size_header_at = kept.size() - 1;
            if (current == Section::disk_id && !disk_id_header_at) disk_id_header_at = kept.size() - 1;
            continue;
        }
        const std::string cleaned = installer::CleanLine(line.text);
        if (!cleaned.empty() && cleaned.front() == '[') inside = false;
        if (in(Section::files) && !cleaned.empty()) {
            if (cleaned.front() == '#') {
                if (text::StartsWithIgnoreCase(cleaned, "#if") || text::StartsWithIgnoreCase(cleaned, "#else") ||
                    text::StartsWithIgnoreCase(cleaned, "#endif"))
                    return fail("line " + std::to_string(i + 1) + ": the builder lays out the file list itself, so [FILES] "
                                                                  "may hold no \"#if\" blocks");
                // The author's marker starts a new disk there; the builder numbers the disks itself.
                if (several) {
                    marker_pending = !items.empty();
                } else {
                    result.notes.push_back("line " + std::to_string(i + 1) + ": the template's disk marker " + cleaned +
                                           " is left out: a single medium has one disk");
                }
                continue;
            }
            std::string why;
            auto expanded = ExpandLine(product, installer::SplitFileLineFields(cleaned), why);
            if (!why.empty()) return fail("line " + std::to_string(i + 1) + ": " + why);
            if (!expanded.empty()) expanded.front().starts_disk = std::exchange(marker_pending, false);
            for (auto& item : expanded) items.push_back(std::move(item));
            continue;
        }
        if (in(Section::size) && !cleaned.empty() && !size_at) {
            size_at = kept.size();
        } else if (in(Section::disk_id) && !cleaned.empty()) {
            disk_id_at = kept.size();
            if (label.empty()) label = cleaned;
        } else if (in(Section::create_files) && !cleaned.empty()) {
            const auto fields = text::SplitFields(cleaned, ",");
            if (fields.size() == 3) created_bytes += static_cast<uint64_t>(std::max(0LL, text::ParseDecimalPrefix(fields[2]))) * 1000;
        }
        if (in(Section::files) && cleaned.empty()) continue;
        kept.push_back(line);
    }
    if (!files_at) return fail("the template has no [FILES] section");
    if (label.empty()) label = "Disk %s";
    if (several && label.find("%s") == std::string::npos)
        result.notes.push_back("the disk label has no %s: every disk's marker holds the same text");

    // Each file read, stored plain or compressed, and laid on the first disk with room for it.
    std::string uninstaller_note;
    for (auto& item : items) {
        std::string leaf = fs::path(item.relative).filename().string();
        const bool uninstaller = text::EqualsIgnoreCase(leaf, "Dismara.exe");
        // A Windows build's uninstaller is the one that belongs to its installer: a copy in the
        // product folder (a stand-in, or an older build) does not.
        if (uninstaller && (!request.windows_build.empty() || !fs::is_regular_file(item.host, error))) {
            item.host.clear();
            uninstaller_note = "the file list's " + item.written_name + " is the uninstaller of the " +
                               (request.windows_build.empty() ? std::string("host stand-ins") : "Windows build");
        } else if (!fs::is_regular_file(item.host, error)) {
            return fail("the file " + item.written_name + " is not in the product folder");
        }
    }
    if (!uninstaller_note.empty()) result.notes.push_back(uninstaller_note);

    uint64_t fixed = template_text.size() + kScriptReserve + kReservePerFile * items.size() + label.size() + 16;
    for (const auto& [name, bytes] : beside_script) fixed += bytes.size();
    if (capacity != 0 && fixed > capacity)
        return fail("the first disk cannot hold the script and the installer (" + std::to_string(fixed) + " bytes) in " +
                    std::to_string(capacity) + " bytes");
    int disk = 1;
    uint64_t used = fixed;
    std::vector<std::vector<std::string>> disk_lines(1);
    std::vector<std::string> stored_names;  // per disk folder, to find two files stored under one name
    // The first disk's root holds the script, the programs and the files placed beside them too.
    stored_names.push_back("INSTALL.INI");
    for (const auto& [name, ignored] : beside_script) stored_names.push_back(text::ToUpper(name));
    for (const auto& item : items) {
        std::string data;
        if (item.host.empty()) data = uninstaller_bytes;
        else if (!ReadBytes(item.host, data)) return fail("the file " + item.host.string() + " cannot be read");
        const std::string leaf = fs::path(item.relative).filename().string();
        bool compress = MatchesAny(request.compress, leaf);
        std::string stored = data;
        std::string stored_relative = item.relative;
        if (compress) {
            auto packed = installer::CompressSzdd(data, leaf.back());
            if (!packed) return fail(packed.error().detail);
            if (request.compress_only_smaller && packed.value().size() >= data.size()) {
                compress = false;
            } else {
                stored = std::move(packed.value());
                stored_relative = installer::CompressedName(item.relative);
            }
        }
        if (capacity != 0 && stored.size() + (several ? 16 : fixed) > capacity)
            return fail("the file " + item.written_name + " (" + std::to_string(stored.size()) +
                        " bytes stored) does not fit on one disk of " + std::to_string(capacity) + " bytes");
        const bool full = capacity != 0 && used + stored.size() > capacity;
        if (full || item.starts_disk) {
            if (!several) return fail("the files do not fit on one disk of " + std::to_string(capacity) + " bytes");
            ++disk;
            if (disk > kMostDisks) return fail("more than 9 disks would be needed: the folder layouts know disks 1 to 9");
            used = 0;
            disk_lines.emplace_back();
            stored_names.clear();
        }
        const std::string key = text::ToUpper(stored_relative);
        if (std::find(stored_names.begin(), stored_names.end(), key) != stored_names.end())
            return fail("two files would be stored as " + WindowsName(stored_relative) + " on disk " + std::to_string(disk));
        stored_names.push_back(key);
        used += stored.size();
        const fs::path target = fs::path(DiskFolder(request, disk)) / stored_relative;
        if (!WriteBytes(target, stored)) return fail("cannot write " + target.string());
        // The product file's time goes with it: the installer gives a file stored plain the time
        // of the medium's file, and the date rule of later updates compares it.
        if (!item.host.empty()) {
            std::error_code no_time;
            const auto time = fs::last_write_time(item.host, no_time);
            if (!no_time) fs::last_write_time(target, time, no_time);
            if (no_time) return fail("cannot give " + target.string() + " the time of " + item.host.string());
        }
        say("disk " + std::to_string(disk) + ": " + WindowsName(stored_relative) + (compress ? " (compressed)" : ""));
        result.expanded_bytes += data.size();
        result.stored_bytes += stored.size();
        disk_lines.back().push_back(item.written_name + "," + item.fields[0] + "," + item.fields[1] + "," + item.fields[2] + "," +
                                    std::to_string(data.size()));
    }
    result.disks = disk;

    // The finished script: the file list with its markers, the sizes, the label.
    std::vector<std::string> files_section;
    for (size_t d = 0; d < disk_lines.size(); ++d) {
        if (several) files_section.push_back("#" + std::to_string(d + 1));
        for (auto& line : disk_lines[d]) files_section.push_back(std::move(line));
    }
    const std::string total = std::to_string(result.expanded_bytes + created_bytes);
    std::string script;
    if (!size_at && !size_header_at) script += "[SIZE]\r\n" + total + "\r\n\r\n";
    if (!disk_id_at && !disk_id_header_at) script += "[DISKID]\r\n" + label + "\r\n\r\n";
    for (size_t i = 0; i < kept.size(); ++i) {
        if (size_at && i == *size_at) script += total + "\r\n";
        else if (disk_id_at && i == *disk_id_at) script += label + "\r\n";
        else script += kept[i].text + "\r\n";
        if (!size_at && size_header_at && i == *size_header_at) script += total + "\r\n";
        if (!disk_id_at && disk_id_header_at && i == *disk_id_header_at) script += label + "\r\n";
        if (i + 1 == *files_at) {
            for (const auto& line : files_section) script += line + "\r\n";
            script += "\r\n";
        }
    }

    const fs::path first = DiskFolder(request, 1);
    for (const auto& [name, bytes] : beside_script)
        if (!WriteBytes(first / name, bytes)) return fail("cannot write " + (first / name).string());
    if (several)
        for (int d = 1; d <= disk; ++d) {
            const std::string id = std::to_string(d);
            const fs::path marker = fs::path(DiskFolder(request, d)) / ("DISK" + id);
            if (!WriteBytes(marker, text::FormatMessage(label, {id}))) return fail("cannot write " + marker.string());
        }
    if (!WriteBytes(first / "Install.ini", script)) return fail("cannot write " + (first / "Install.ini").string());

    say("checking the finished script");
    CheckRequest check{(first / "Install.ini").string(), request.output, {}};
    if (request.layout == MediumLayout::floppies) {
        check.medium = first.string();
        for (int d = 2; d <= disk; ++d) check.further_disks.push_back(DiskFolder(request, d));
    }
    result.check = CheckScript(check);
    if (result.check.HasErrors()) {
        // A medium whose script would fail is not handed out: it is left without its script.
        fs::remove(first / "Install.ini", error);
        return fail("the finished script has errors (listed below); the medium was left without its Install.ini");
    }
    result.built = true;
    return result;
}

}  // namespace rvx::host
