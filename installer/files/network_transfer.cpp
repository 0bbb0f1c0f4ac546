// The network installation transfer.
#include "installer/files/network_transfer.h"

#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/files/copy_engine.h"
#include "installer/files/disk_space.h"
#include "installer/script/folder_operations.h"
#include "installer/script/variables.h"

namespace rvx::installer {

using platform::Access;
using platform::Disposition;

namespace {

bool EndsWithIgnoreCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text::EqualsIgnoreCase(text.substr(text.size() - tail.size()), tail);
}

std::string MediumFolder(const Folders& folders) {
    const std::string& source = folders.source;
    if (EndsWithIgnoreCase(source, "\\32\\")) return source.substr(0, source.size() - 3);
    return source;
}

void ListFolder(platform::FileSystem& files, const std::string& folder, std::vector<std::string>& out) {
    auto entries = files.FindFiles(folder + "*");
    if (!entries) return;
    for (const auto& entry : entries.value()) {
        if (entry.name == "." || entry.name == "..") continue;
        if (entry.is_folder())
            ListFolder(files, folder + entry.name + "\\", out);
        else
            out.push_back(folder + entry.name);
    }
}

std::string RelativeName(const std::string& path, const std::string& medium) {
    if (text::StartsWithIgnoreCase(path, medium)) return path.substr(medium.size());
    return path;
}

// Copies one file of the set and records the copy for the uninstaller; the bytes copied.
uint64_t TransferFile(InstallState& app, const std::string& path, const std::string& target) {
    // Recorded before the copy is made, so that a transfer stopped at any point leaves a log
    // that names every file it put there.
    app.uninstall_log().RecordFilePath(target);
    if (app.uninstall_log().failed()) return 0;
    (void)CreateFolderPath(app.platform().files, path::RemoveTrailingBackslash(path::FolderOf(target)));
    std::string failed_name;
    uint64_t size = 0;
    (void)CopyToTemp(app.platform().files, app.progress(), app.copy_state(), path, target, std::nullopt, failed_name,
                     &size);
    return size;
}

}  // namespace

std::vector<std::string> ListInstallSet(platform::FileSystem& files, const Folders& folders) {
    std::vector<std::string> list;
    ListFolder(files, MediumFolder(folders), list);
    return list;
}

TransferResult TransferInstallSet(InstallState& app, const std::vector<std::string>& list) {
    platform::FileSystem& files = app.platform().files;
    int64_t total = 0;
    for (const std::string& path : list) {
        auto file = files.Open({path, Access::read, platform::share::read, Disposition::open_existing});
        if (file) total += static_cast<int64_t>(file.value()->Size().value_or(0));
    }

    const Expansion file_name = Expanded(app, app.script().uninstall_file);
    if (file_name.stopped()) return TransferResult::fatal_stop;
    const std::string name = SubstituteDisplayText(app.script(), *file_name);
    // An empty name leaves the log without a file: nothing of the transfer is recorded.
    uninstall_log::UninstallLog& log = app.uninstall_log();
    if (!name.empty()) {
        const uninstall_log::LogIdentity identity{SubstituteDisplayText(app.script(), app.script().product_name), app.folders().installation};
        (void)CreateFolderPath(app.platform().files, path::RemoveTrailingBackslash(app.folders().installation));
        log.Open(name, path::AddTrailingBackslash(app.folders().installation), identity);
    }
    const Expansion folder = Expanded(app, app.folders().default_folder);
    if (folder.stopped()) return TransferResult::fatal_stop;
    if (!folder->empty()) log.AddFolderToRemove(*folder);
    if (log.failed()) return TransferResult::log_failed;

    ProgressPage& progress = app.progress();
    progress.SetFileBar(0);
    if (!CheckSpaceForTotal(app.platform(), app.folders(), total)) return TransferResult::no_space;

    const std::string medium = MediumFolder(app.folders());
    const std::string installation = path::RemoveTrailingBackslash(app.folders().installation);
    int64_t done = 0;
    for (const std::string& path : list) {
        app.TraceText("Transfer file: " + path + "\n");
        done += static_cast<int64_t>(TransferFile(app, path, installation + "\\" + RelativeName(path, medium)));
        if (EndsWithIgnoreCase(path, "\\Rovexa.exe")) done += static_cast<int64_t>(TransferFile(app, path, installation + "\\Install.exe"));
        if (log.failed()) return TransferResult::log_failed;
        if (total > 0) progress.SetOverallBar(done * 100 / total);
    }
    RewriteCopiedScript(files, app.folders());
    progress.SetOverallBar(100);
    return TransferResult::done;
}

void RewriteCopiedScript(platform::FileSystem& files, const Folders& folders) {
    const std::string folder = path::AddTrailingBackslash(folders.installation);
    std::string script = folder + "32\\install.ini";
    if (!platform::Exists(files, script)) script = folder + "install.ini";
    const std::string working = script + ".tmp";

    auto original = platform::ReadWholeFile(files, script);
    if (!original) return;
    // Line by line, line ends kept as they stand: only the header lines go.
    std::string rewritten;
    const std::string& text = original.value();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string_view line(text.data() + start, end - start);
        // Headers match in any letter case, so "[netinstall]" must go as well.
        if (!text::StartsWithIgnoreCase(line, "[NETINSTALL]")) rewritten += line;
        start = end;
    }
    if (!platform::WriteWholeFile(files, working, rewritten)) return;
    (void)DeleteMatchingFiles(files, script);
    (void)files.RenameFile(working, script);
}

}  // namespace rvx::installer
