// Writes the uninstall log record by record. Nothing is buffered here: a record is handed to
// the file in one write as soon as it is made, so the file on disk is complete up to the last
// record whatever stops the installation.
#include "common/uninstall_log/uninstall_log.h"

#include <algorithm>
#include <utility>

#include "common/text/path_helpers.h"

namespace rvx::uninstall_log {

namespace {

// The text of D and E records: the file's own name in the given folder.
std::string FileText(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    return std::string(folder) + path::NameOf(name);
}

}  // namespace

UninstallLog::~UninstallLog() { Close(); }

void UninstallLog::Open(std::string_view name, std::string_view folder) {
    Close();
    folders_to_remove_.clear();

    const bool whole_path = name.find('\\') != std::string_view::npos;
    const std::string folder_text = whole_path || folder.empty() ? std::string() : path::AddTrailingBackslash(folder);
    path_ = folder_text + std::string(name);

    // An old log from an earlier installation goes, even when it was left read-only.
    if (platform::Exists(files_, path_)) {
        (void)files_.WriteAttributes(path_, platform::attributes::normal);
        (void)files_.RemoveFile(path_);
    }
    auto opened = files_.Open(platform::OpenRequest{path_, platform::Access::write, platform::share::read,
                                                    platform::Disposition::create_always});
    if (!opened) return;
    file_ = std::move(opened.value());
    RecordFile(folder_text, name);
}

void UninstallLog::AddFolderToRemove(std::string_view folder) {
    if (!is_open()) return;
    if (std::find(folders_to_remove_.begin(), folders_to_remove_.end(), folder) != folders_to_remove_.end()) return;
    folders_to_remove_.emplace_back(folder);
}

void UninstallLog::RecordFile(std::string_view folder, std::string_view name) {
    if (!is_open()) return;
    Write({{RecordCode::file, FileText(folder, name)}});
}

void UninstallLog::RecordFilePath(std::string_view path) { Write({{RecordCode::file, path}}); }

void UninstallLog::RecordSharedFile(std::string_view folder, std::string_view name) {
    if (!is_open()) return;
    Write({{RecordCode::shared_file, FileText(folder, name)}});
}

void UninstallLog::RecordInstallFolder(std::string_view folder) { Write({{RecordCode::install_folder, folder}}); }

void UninstallLog::RecordProduct(std::string_view name) { Write({{RecordCode::product, name}}); }

void UninstallLog::RecordRegistryKey(std::string_view line) { Write({{RecordCode::registry_key, line}}); }

void UninstallLog::RecordCommand(std::string_view text) { Write({{RecordCode::command, text}}); }

void UninstallLog::RecordConditionalCommand(std::string_view file, std::string_view command) {
    // Together in one write: a B record without its A would be sent unconditionally.
    Write({{RecordCode::conditional_file, file}, {RecordCode::conditional_command, command}});
}

void UninstallLog::RecordWarning(std::string_view condition, std::string_view message) {
    Write({{RecordCode::warning_condition, condition}, {RecordCode::warning, message}});
}

void UninstallLog::RecordService(std::string_view name) { Write({{RecordCode::service, name}}); }

void UninstallLog::Close() {
    if (!is_open()) return;
    for (const auto& folder : folders_to_remove_) Write({{RecordCode::folder_to_remove, folder}});
    folders_to_remove_.clear();
    file_.reset();
}

void UninstallLog::Write(std::initializer_list<std::pair<RecordCode, std::string_view>> records) {
    if (!is_open()) return;
    std::string lines;
    for (const auto& [code, text] : records) {
        lines += FormatRecord(code, text);
        lines += kLineEnd;
    }
    // A failed write loses this record only; the installation itself is not held up for it.
    (void)file_->Write(lines.data(), lines.size());
}

}  // namespace rvx::uninstall_log
