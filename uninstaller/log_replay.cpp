// The replay of the uninstall log: services are stopped and deleted first, then every other
// record is undone in the order the installer wrote it, each shown on the progress window.
#include "uninstaller/uninstall_app.h"

#include "common/system/services.h"
#include "common/text/text.h"
#include "common/uninstall_log/records.h"
#include "uninstaller_strings.h"

namespace rvx::uninstaller {

namespace {

using uninstall_log::RecordCode;

// The text of the line after an A record, taken as its command whatever the line holds: the line
// from its third character.
std::string_view CommandText(std::string_view line) { return line.size() > 2 ? line.substr(2) : std::string_view(); }

// The waits let the progress window keep up on the system; the simulated machine's clock only
// counts them.
constexpr uint32_t kServicePassWait = 5;
constexpr uint32_t kRecordPassWait = 1;

}  // namespace

void UninstallApp::ReleaseSharedFileOnce(std::string_view path) {
    for (const auto& released : state_.released_shared_files)
        if (text::EqualsIgnoreCase(released, path)) return;
    // Noted before the count is lowered: a stop in between leaves the count one too high, and
    // the file with it, rather than taking the file from another program.
    state_.released_shared_files.emplace_back(path);
    if (!state_.progress_path.empty()) {
        // Appended, so that no stop can lose what an earlier line noted.
        auto progress = platform_.files.Open({state_.progress_path, platform::Access::write, platform::share::read,
                                              platform::Disposition::open_always});
        const std::string line = std::string(path) + "\r\n";
        if (progress && progress.value()->Seek(0, platform::SeekFrom::end)) (void)progress.value()->Write(line.data(), line.size());
    }
    ReleaseSharedFile(path);
}

void UninstallApp::ReplayLog() {
    PrepareBounds();
    const auto& lines = state_.log_lines;
    for (size_t i = 0; i < lines.size(); ++i) {
        platform_.clock.Sleep(kServicePassWait);
        progress_.SetPosition(i + 1);
        const auto record = uninstall_log::ParseRecord(lines[i]);
        if (record && record->code == RecordCode::service) {
            (void)system::StopService(platform_.services, record->text);
            (void)system::DeleteService(platform_.services, record->text);
        }
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        platform_.clock.Sleep(kRecordPassWait);
        progress_.SetPosition(i + 1);
        if (auto record = uninstall_log::ParseRecord(lines[i])) i = ReplayRecord(i, std::move(*record));
    }
    ShowStatus("");
}

size_t UninstallApp::ReplayRecord(size_t index, uninstall_log::Record record) {
    const auto& lines = state_.log_lines;
    // The record holds its own copy of the text: an action may not keep a view into the lines.
    const std::string& text = record.text;
    switch (record.code) {
    case RecordCode::conditional_file: {
        // The next line is the command whatever its code, and it is passed over either way.
        if (index + 1 >= lines.size()) return index;
        const std::string command(CommandText(lines[index + 1]));
        for (const auto& removed : state_.removed_shared_files) {
            if (text::EqualsIgnoreCase(removed, text)) {
                SendProgramManagerCommand(command);
                break;
            }
        }
        return index + 1;
    }
    case RecordCode::warning_condition:
        EvaluateWarningCondition(text);
        return index;
    case RecordCode::file:
        // The log goes last, once everything it names is done.
        if (IsLogFile(text)) return index;
        ShowStatus(Text(kRemovingFile) + text);
        DeleteLoggedFile(text);
        return index;
    case RecordCode::shared_file:
        ShowStatus(Text(kRemovingFile) + text);
        ReleaseSharedFileOnce(text);
        return index;
    case RecordCode::install_folder:
        ShowStatus(Text(kRemovingFolder) + text);
        state_.current_folder = text;
        WalkFolder(text, true);
        return index;
    case RecordCode::warning: {
        state_.warning_text = text + "\n";
        size_t next = index + 1;
        for (; next < lines.size() && uninstall_log::IsContinuationLine(lines[next]); ++next)
            state_.warning_text += lines[next].starts_with(uninstall_log::kEmptyWarningLine) ? std::string("\n") : lines[next] + "\n";
        return next - 1;
    }
    case RecordCode::command:
        ShowStatus(text);
        SendProgramManagerCommand(text);
        return index;
    case RecordCode::product:
        ShowStatus(Text(kRemovingRegistryEntry) + text);
        RemoveProductKeys(text);
        return index;
    case RecordCode::registry_key:
        ShowStatus(Text(kRemovingRegistryEntry) + text);
        DeleteKeyByLine(text);
        return index;
    case RecordCode::selected_registry_key: {
        // A selector character, then a registry line. Nothing ever sets a selector's flag, so
        // every selected line is removed as an X record's would be.
        if (text.empty()) return index;
        const unsigned char selector = static_cast<unsigned char>(text[0]);
        if (selector >= '0' && selector <= '9' && state_.selector_flags[selector - '0']) return index;
        const std::string line = text.substr(1);
        ShowStatus(Text(kRemovingRegistryEntry) + line);
        DeleteKeyByLine(line);
        return index;
    }
    case RecordCode::folder_to_remove:
        RemoveEmptyFolderTree(text);
        return index;
    default:
        return index;
    }
}

}  // namespace rvx::uninstaller
