// Writes the uninstall log: the working log record by record while the installation runs, and
// the finished log put in its place when it is complete.
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

std::string Line(RecordCode code, std::string_view text) { return FormatRecord(code, text) + std::string(kLineEnd); }

}  // namespace

std::string WorkingLogPath(std::string_view log_path) { return std::string(log_path) + ".new"; }
std::string FinishedLogPath(std::string_view log_path) { return std::string(log_path) + ".tmp"; }

UninstallLog::~UninstallLog() { Abandon(); }

void UninstallLog::Open(std::string_view name, std::string_view folder, const LogIdentity& identity) {
    Abandon();
    failed_ = false;
    finished_lines_.clear();
    working_lines_.clear();
    folders_to_remove_.clear();
    working_folders_.clear();
    closing_offset_ = 0;
    identity_ = identity;

    const bool whole_path = name.find('\\') != std::string_view::npos;
    const std::string folder_text = whole_path || folder.empty() ? std::string() : path::AddTrailingBackslash(folder);
    path_ = folder_text + std::string(name);

    // An earlier installation keeps its log until this one is complete.
    working_path_ = platform::Exists(files_, path_) ? WorkingLogPath(path_) : path_;
    if (working_path_ != path_ && platform::Exists(files_, working_path_)) {
        (void)files_.WriteAttributes(working_path_, platform::attributes::normal);
        (void)files_.RemoveFile(working_path_);
    }
    auto opened = files_.Open(platform::OpenRequest{working_path_, platform::Access::write, platform::share::read,
                                                    platform::Disposition::create_always});
    if (!opened) {
        failed_ = true;
        return;
    }
    file_ = std::move(opened.value());
    const std::string own = Line(RecordCode::file, FileText(folder_text, name));
    finished_lines_.push_back(own);
    std::string first = own;
    if (!identity_.product.empty()) first += Line(RecordCode::product, identity_.product);
    WriteWorking(first);
}

void UninstallLog::AddFolderToRemove(std::string_view folder) {
    if (!is_open()) return;
    if (std::find(folders_to_remove_.begin(), folders_to_remove_.end(), folder) != folders_to_remove_.end()) return;
    folders_to_remove_.emplace_back(folder);
    RecordFolderToCreate(folder);
}

void UninstallLog::RecordFolderToCreate(std::string_view folder) {
    if (!is_open()) return;
    if (std::find(working_folders_.begin(), working_folders_.end(), folder) != working_folders_.end()) return;
    working_folders_.emplace_back(folder);
    WriteWorking("");
}

void UninstallLog::RecordFileToCreate(std::string_view path) {
    if (!is_open()) return;
    const std::string line = Line(RecordCode::file, path);
    if (working_lines_.insert(line).second) WriteWorking(line);
}

void UninstallLog::RecordSharedCountRaised(std::string_view path) {
    if (!is_open()) return;
    const std::string line = Line(RecordCode::shared_file, path);
    if (working_lines_.insert(line).second) WriteWorking(line);
}

void UninstallLog::RecordFile(std::string_view folder, std::string_view name) {
    if (!is_open()) return;
    Record({{RecordCode::file, FileText(folder, name)}});
}

void UninstallLog::RecordFilePath(std::string_view path) { Record({{RecordCode::file, path}}); }

void UninstallLog::RecordSharedFile(std::string_view folder, std::string_view name) {
    if (!is_open()) return;
    Record({{RecordCode::shared_file, FileText(folder, name)}});
}

void UninstallLog::RecordInstallFolder(std::string_view folder) { Record({{RecordCode::install_folder, folder}}); }

void UninstallLog::RecordProduct(std::string_view name) { Record({{RecordCode::product, name}}); }

void UninstallLog::RecordRegistryKey(std::string_view line) { Record({{RecordCode::registry_key, line}}); }

void UninstallLog::RecordCommand(std::string_view text) { Record({{RecordCode::command, text}}); }

void UninstallLog::RecordConditionalCommand(std::string_view file, std::string_view command) {
    // Together in one write: a B record without its A would be sent unconditionally.
    Record({{RecordCode::conditional_file, file}, {RecordCode::conditional_command, command}});
}

void UninstallLog::RecordWarning(std::string_view condition, std::string_view message) {
    Record({{RecordCode::warning_condition, condition}, {RecordCode::warning, message}});
}

void UninstallLog::RecordService(std::string_view name) { Record({{RecordCode::service, name}}); }

void UninstallLog::Record(std::initializer_list<std::pair<RecordCode, std::string_view>> records) {
    if (!is_open()) return;
    std::string lines;
    for (const auto& [code, text] : records) lines += Line(code, text);
    finished_lines_.push_back(lines);
    // The working log names the product and the installation folder already; a file recorded
    // before it was created is not named twice.
    const bool named_already = records.size() == 1 &&
                               ((records.begin()->first == RecordCode::product && records.begin()->second == identity_.product) ||
                                (records.begin()->first == RecordCode::install_folder &&
                                 records.begin()->second == identity_.installation_folder));
    if (named_already || !working_lines_.insert(lines).second) return;
    WriteWorking(lines);
}

std::string UninstallLog::ClosingLines() const {
    // The folder walk and the empty-folder removals come after every file record, whatever
    // was recorded last.
    std::string lines;
    if (!identity_.installation_folder.empty()) lines += Line(RecordCode::install_folder, identity_.installation_folder);
    for (const auto& folder : working_folders_) lines += Line(RecordCode::folder_to_remove, folder);
    return lines;
}

void UninstallLog::WriteWorking(const std::string& lines) {
    if (!is_open()) return;
    // The closing lines only ever grow, so writing them again over the old ones never leaves
    // a piece of an old line behind.
    const std::string text = lines + ClosingLines();
    if (!file_->Seek(static_cast<int64_t>(closing_offset_), platform::SeekFrom::begin) || !file_->Write(text.data(), text.size())) {
        Fail();
        return;
    }
    closing_offset_ += lines.size();
}

void UninstallLog::Fail() {
    failed_ = true;
    file_.reset();
}

void UninstallLog::Close() {
    if (!is_open()) return;
    file_.reset();
    std::string finished;
    for (const auto& lines : finished_lines_) finished += lines;
    for (const auto& folder : folders_to_remove_) finished += Line(RecordCode::folder_to_remove, folder);
    finished_lines_.clear();

    // Written whole beside the log, then moved into place: at no point is there no complete log.
    const std::string staged = FinishedLogPath(path_);
    if (!platform::WriteWholeFile(files_, staged, finished)) {
        (void)files_.RemoveFile(staged);
        failed_ = true;
        return;
    }
    (void)files_.WriteAttributes(path_, platform::attributes::normal);
    const platform::Outcome removed = files_.RemoveFile(path_);
    if ((!removed && removed.status() != platform::Status::not_found) || !files_.RenameFile(staged, path_)) {
        failed_ = true;
        return;
    }
    if (working_path_ != path_) (void)files_.RemoveFile(working_path_);
}

void UninstallLog::Abandon() {
    file_.reset();
    finished_lines_.clear();
}

}  // namespace rvx::uninstall_log
