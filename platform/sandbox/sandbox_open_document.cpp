// Opening documents on the simulated machine: a file or folder on the machine is opened (OPEN in
// the journal); a batch file is kept to run once the program has ended, since the command
// interpreter it starts runs beside the program and usually waits for it to go.
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "platform/sandbox/program_lookup.h"
#include "platform/sandbox/sandbox_system.h"

namespace rvx::sandbox {

namespace {

bool IsWebAddress(std::string_view target) {
    for (const char* prefix : {"http:", "https:", "www.", "mailto:"})
        if (text::StartsWithIgnoreCase(target, prefix)) return true;
    return false;
}

bool IsBatchFile(std::string_view path) {
    const std::string upper = text::ToUpper(path::NameOf(path));
    const auto ends_with = [&upper](std::string_view end) {
        return upper.size() > end.size() && upper.compare(upper.size() - end.size(), end.size(), end) == 0;
    };
    return ends_with(".BAT") || ends_with(".CMD");
}

bool IsFullPath(std::string_view path) {
    return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) || path.rfind("\\\\", 0) == 0;
}

}  // namespace

platform::Outcome SandboxShell::OpenDocument(std::string_view target, std::string_view parameters, std::string_view folder,
                                             platform::ShowState show) {
    const std::string shown(text::TrimBlanks(target));
    if (IsWebAddress(shown)) return platform::NotAvailableYet("opening web addresses");
    std::vector<std::string> fields{Field("target", shown), Field("parameters", parameters), Field("folder", folder),
                                    Word("show", ShowStateName(show))};
    // A name without a folder is looked for in the folder given, as the shell does.
    const std::string path = !folder.empty() && !NamesAFolder(shown) ? path::Join(folder, shown) : shown;
    if (shown.empty() || !platform::Exists(files_, path)) {
        fields.push_back(Word("result", "not-found"));
        (void)journal_.Write("OPEN", fields);
        return platform::Fail(platform::Status::not_found, "nothing to open at " + (shown.empty() ? "an empty name" : shown));
    }
    const bool batch = IsBatchFile(path) && !platform::IsFolder(files_, path);
    fields.push_back(Word("result", batch ? "batch-after-exit" : "ok"));
    if (auto written = journal_.Write("OPEN", fields); !written) return written;
    if (batch) {
        // Without a folder the batch runs where it lies (docs/simulated-machine.md says why).
        const std::string absolute = IsFullPath(path) ? path : path::Join(files_.CurrentFolder(), path);
        opened_batches_.push_back({absolute, folder.empty() ? path::FolderOf(absolute) : std::string(folder)});
    }
    return {};
}

}  // namespace rvx::sandbox
