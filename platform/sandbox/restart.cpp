// Restarting the simulated machine.
#include "platform/sandbox/restart.h"

#include <string>

#include "common/text/text.h"
#include "platform/sandbox/ini_text.h"
#include "platform/sandbox/pending_renames.h"
#include "platform/sandbox/sandbox_files.h"

namespace rvx::sandbox {

using platform::Status;

namespace {

class Restart {
public:
    Restart(Machine& machine, SandboxFiles& files) : journal_(machine.journal()), files_(files) {}

    void Delete(const std::string& path) {
        platform::Outcome done = platform::IsFolder(files_, path) ? files_.RemoveFolder(path) : files_.RemoveFile(path);
        Note({Word("action", "delete"), Field("path", path)}, done);
    }

    // Moves from to to; an existing target is replaced only when replace_existing.
    void Move(const std::string& from, const std::string& to, bool replace_existing) {
        platform::Outcome done = MoveFile(from, to, replace_existing);
        Note({Word("action", "move"), Field("from", from), Field("to", to)}, done);
    }

    void Begin(const char* family, size_t pending) {
        (void)journal_.Write("RESTART", {Word("family", family), Word("pending", std::to_string(pending))});
    }

    const RestartReport& report() const { return report_; }

private:
    platform::Outcome MoveFile(const std::string& from, const std::string& to, bool replace_existing) {
        // The source is looked for first, so a missing one never costs the target.
        auto source = files_.ReadAttributes(from);
        if (!source) return source.error();
        if (platform::Exists(files_, to)) {
            if (!replace_existing) return platform::Fail(Status::already_exists, to);
            if (auto removed = files_.RemoveFile(to); !removed) return removed;
        }
        return files_.RenameFile(from, to);
    }

    void Note(std::vector<std::string> fields, const platform::Outcome& done) {
        if (done) {
            fields.push_back(Word("result", "ok"));
            ++report_.done;
        } else {
            fields.push_back(Word("result", "failed"));
            fields.push_back(Field("reason", done.error().Describe()));
            ++report_.failed;
        }
        (void)journal_.Write("RESTART", fields);
    }

    Journal& journal_;
    SandboxFiles& files_;
    RestartReport report_;
};

platform::Outcome CarryOutPendingRenames(Machine& machine, Restart& restart) {
    platform::Registry& registry = machine.registry();
    auto value = registry.ReadValue(platform::RootKey::local_machine, kSessionManagerKey, kPendingRenamesValue);
    const std::vector<PendingRename> renames = value ? ParsePendingRenames(value->data) : std::vector<PendingRename>{};
    restart.Begin("nt", renames.size());
    for (const auto& rename : renames) {
        if (rename.to.empty()) restart.Delete(rename.from);
        else restart.Move(rename.from, rename.to, rename.replace_existing);
    }
    if (!value) return {};
    return registry.DeleteValue(platform::RootKey::local_machine, kSessionManagerKey, kPendingRenamesValue);
}

void CarryOutWininit(Machine& machine, SandboxFiles& files, Restart& restart) {
    const std::string folder = machine.config().windows_folder;
    const std::string wininit = folder + "\\WININIT.INI";
    auto content = platform::ReadWholeFile(files, wininit);
    const std::vector<IniEntry> lines = content ? IniSectionEntries(content.value(), "Rename") : std::vector<IniEntry>{};
    restart.Begin("95", lines.size());
    for (const auto& line : lines) {
        if (text::EqualsIgnoreCase(line.key, "NUL")) restart.Delete(line.value);
        else restart.Move(line.value, line.key, true);
    }
    // The file is kept as WININIT.BAK, so it is carried out once.
    if (content) restart.Move(wininit, folder + "\\WININIT.BAK", true);
}

}  // namespace

platform::Result<RestartReport> RestartMachine(Machine& machine) {
    machine.config().files_in_use.clear();
    SandboxFiles files(machine, SandboxFiles::Rights::system);
    Restart restart(machine, files);
    if (machine.config().version.family == platform::PlatformFamily::windows_nt) {
        if (auto done = CarryOutPendingRenames(machine, restart); !done) return done.error();
    } else {
        CarryOutWininit(machine, files, restart);
    }
    if (auto saved = machine.SaveState(); !saved) return saved.error();
    return restart.report();
}

}  // namespace rvx::sandbox
