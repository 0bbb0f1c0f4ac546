// Opening documents and web addresses on the simulated machine, as the system's shell does: a
// web address opens in the browser registered for ".htm", a document through its file type's
// association, each journaled (OPEN) with the command line the system would run; a folder or a
// program on the machine opens as it is; a batch file is kept to run once the program has ended,
// since the command interpreter it starts runs beside the program and usually waits for it to go.
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "platform/sandbox/file_association.h"
#include "platform/sandbox/program_lookup.h"
#include "platform/sandbox/sandbox_processes.h"
#include "platform/sandbox/sandbox_system.h"

namespace rvx::sandbox {

namespace code = platform::shell_code;

namespace {

constexpr std::string_view kWebPageType = ".htm";

bool IsWebAddress(std::string_view target) {
    for (const char* prefix : {"http:", "https:", "www."})
        if (text::StartsWithIgnoreCase(target, prefix)) return true;
    return false;
}

bool EndsWithOneOf(std::string_view path, std::initializer_list<std::string_view> ends) {
    const std::string upper = text::ToUpper(path::NameOf(path));
    for (std::string_view end : ends)
        if (upper.size() > end.size() && upper.compare(upper.size() - end.size(), end.size(), end) == 0) return true;
    return false;
}

bool IsBatchFile(std::string_view path) { return EndsWithOneOf(path, {".BAT", ".CMD"}); }
bool IsProgramFile(std::string_view path) { return EndsWithOneOf(path, {".EXE", ".COM"}); }

bool IsFullPath(std::string_view path) {
    return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) || path.rfind("\\\\", 0) == 0;
}

}  // namespace

platform::ShellCode SandboxShell::OpenThroughAssociation(std::string_view type_key, std::string_view target,
                                                         std::vector<std::string>& fields) {
    const auto command = OpenCommandOf(registry_, type_key);
    if (!command) {
        fields.push_back(Word("result", "no-association"));
        (void)journal_.Write("OPEN", fields);
        return {code::no_association};
    }
    const std::string line = CommandLineFor(*command, target);
    fields.push_back(Field("command", line));
    // As the shell does, the associated program must be there to be started.
    const bool found = programs_.FindProgram(line).has_value();
    fields.push_back(Word("result", found ? "ok" : "no-program"));
    (void)journal_.Write("OPEN", fields);
    return {found ? code::opened : code::file_not_found};
}

platform::ShellCode SandboxShell::Open(std::string_view target, std::string_view parameters, std::string_view folder,
                                       platform::ShowState show) {
    const std::string shown(text::TrimBlanks(target));
    std::vector<std::string> fields{Field("target", shown), Field("parameters", parameters), Field("folder", folder),
                                    Word("show", ShowStateName(show))};
    if (IsWebAddress(shown)) return OpenThroughAssociation(kWebPageType, shown, fields);

    // A name without a folder is looked for in the folder given, as the shell does.
    const std::string path = !folder.empty() && !NamesAFolder(shown) ? path::Join(folder, shown) : shown;
    if (shown.empty() || !platform::Exists(files_, path)) {
        fields.push_back(Word("result", "not-found"));
        (void)journal_.Write("OPEN", fields);
        return {code::file_not_found};
    }
    const bool is_folder = platform::IsFolder(files_, path);
    if (!is_folder && !IsBatchFile(path) && !IsProgramFile(path)) {
        const std::string type = TypeKeyOf(path);
        if (type.empty()) {
            fields.push_back(Word("result", "no-association"));
            (void)journal_.Write("OPEN", fields);
            return {code::no_association};
        }
        return OpenThroughAssociation(type, IsFullPath(path) ? path : path::Join(files_.CurrentFolder(), path), fields);
    }
    const bool batch = IsBatchFile(path) && !is_folder;
    fields.push_back(Word("result", batch ? "batch-after-exit" : "ok"));
    if (auto written = journal_.Write("OPEN", fields); !written) return {code::out_of_memory};
    if (batch) {
        // Without a folder the batch runs where it lies (docs/simulated-machine.md says why).
        const std::string absolute = IsFullPath(path) ? path : path::Join(files_.CurrentFolder(), path);
        opened_batches_.push_back({absolute, folder.empty() ? path::FolderOf(absolute) : std::string(folder)});
    }
    return {code::opened};
}

platform::Outcome SandboxShell::OpenDocument(std::string_view target, std::string_view parameters, std::string_view folder,
                                             platform::ShowState show) {
    const platform::ShellCode answer = Open(target, parameters, folder, show);
    if (answer.opened()) return {};
    const std::string name = text::TrimBlanks(target).empty() ? "an empty name" : std::string(text::TrimBlanks(target));
    switch (answer.value) {
    case code::no_association:
        return platform::Fail(platform::Status::not_found, "no program is associated with " + name);
    case code::file_not_found: return platform::Fail(platform::Status::not_found, "nothing to open at " + name);
    default: return platform::Fail(platform::Status::io_error, "the journal cannot be written");
    }
}

platform::ShellCode SandboxShell::Execute(platform::ShellVerb /*verb*/, std::string_view target, platform::ShowState show) {
    // The machine's associations register the open verb only, which is then also the default one.
    return Open(target, "", "", show);
}

}  // namespace rvx::sandbox
