// Opening, creating and running programs on a simulated machine.
#include "platform/sandbox/machine.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <system_error>

#include "common/text/field_splitter.h"
#include "platform/sandbox/batch_runner.h"
#include "platform/sandbox/default_machine.h"
#include "platform/sandbox/machine_ini_update.h"
#include "platform/sandbox/sandbox_directx.h"
#include "platform/sandbox/sandbox_files.h"
#include "platform/sandbox/sandbox_fonts.h"
#include "platform/sandbox/sandbox_power.h"
#include "platform/sandbox/sandbox_processes.h"
#include "platform/sandbox/sandbox_registry.h"
#include "platform/sandbox/sandbox_services.h"
#include "platform/sandbox/sandbox_system.h"
#include "platform/sandbox/sandbox_ui.h"

namespace rvx::sandbox {

namespace fs = std::filesystem;
using platform::Fail;
using platform::Status;

namespace {

constexpr const char* kConfigName = "machine.ini";
constexpr const char* kRegistryName = "registry.reg";
// The key a user without administrator rights may not write, with everything below it.
constexpr std::string_view kMachineSoftwareKey = "SOFTWARE";
constexpr const char* kJournalName = "journal.log";
constexpr const char* kMetadataName = "file-attributes.ini";

platform::Result<std::string> ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(Status::not_found, path.string() + " cannot be read");
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

platform::Outcome WriteHostFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out) return Fail(Status::io_error, path.string() + " cannot be written");
    return {};
}

uint64_t KilobytesToBytes(uint64_t kilobytes) {
    return kilobytes > std::numeric_limits<uint64_t>::max() / 1024 ? std::numeric_limits<uint64_t>::max() : kilobytes * 1024;
}

bool IsEmptyOrMissing(const fs::path& folder) {
    std::error_code error;
    if (!fs::exists(folder, error)) return true;
    return fs::is_directory(folder, error) && fs::is_empty(folder, error);
}

}  // namespace

Machine::Machine(std::string folder, MachineConfig config, FileMetadataStore metadata)
    : folder_(std::move(folder)),
      config_(std::move(config)),
      journal_(folder_ + "/" + kJournalName, &folder_names_),
      metadata_(std::move(metadata)),
      saved_files_in_use_(config_.files_in_use) {
    for (const auto& drive : config_.drives)
        space_.Set(drive.letter, KilobytesToBytes(drive.size_kilobytes), DriveHostFolder(folder_, drive));
}

Machine::~Machine() { (void)SaveState(); }

platform::Registry& Machine::registry() { return *registry_; }

platform::Outcome Machine::Create(const std::string& folder, const MachineConfig& config) {
    const fs::path target(folder);
    if (!IsEmptyOrMissing(target)) return Fail(Status::already_exists, folder + " already holds files");
    // Build the machine beside its final place and move it there in one step, so that a
    // failure never leaves a half-made machine behind.
    std::error_code error;
    const fs::path staging = target.string() + ".new";
    fs::remove_all(staging, error);
    fs::create_directories(staging / "drives", error);
    if (error) return Fail(Status::io_error, "cannot create " + staging.string() + ": " + error.message());

    for (const auto& drive : config.drives)
        if (drive.host_folder.empty()) fs::create_directories(staging / "drives" / std::string(1, drive.letter), error);
    // Where a Windows path of a drive the machine keeps itself lies in the staging folder.
    const auto staged = [&](const std::string& windows_path) -> std::optional<fs::path> {
        if (config.Drive(windows_path[0]) == nullptr || !config.Drive(windows_path[0])->host_folder.empty()) return std::nullopt;
        fs::path host = staging / "drives" / std::string(1, static_cast<char>(std::toupper(windows_path[0])));
        for (const auto& component : text::SplitFields(windows_path.substr(3), "\\")) host /= component;
        return host;
    };
    for (const auto& windows_folder : DefaultFolders(config))
        if (auto host = staged(windows_folder)) fs::create_directories(*host, error);
    if (error) return Fail(Status::io_error, "cannot create the folders of " + staging.string() + ": " + error.message());
    for (const auto& program : DefaultPrograms(config)) {
        auto host = staged(program);
        if (!host) continue;
        fs::create_directories(host->parent_path(), error);
        if (auto written = WriteHostFile(*host, ""); !written) return written;
    }

    if (auto written = WriteHostFile(staging / kConfigName, FormatMachineConfig(config)); !written) return written;
    if (auto written = WriteHostFile(staging / kJournalName, ""); !written) return written;
    {
        // The fresh registry is written once, when it is complete.
        auto registry = SandboxRegistry::CreateEmpty((staging / kRegistryName).string(), SandboxRegistry::Saving::on_flush);
        if (!registry) return registry.error();
        if (auto filled = WriteDefaultRegistry(*registry.value(), config); !filled) return filled;
        if (auto saved = registry.value()->Flush(); !saved) return saved;
    }

    if (fs::exists(target, error)) fs::remove(target, error);  // an empty folder
    fs::rename(staging, target, error);
    if (error) return Fail(Status::io_error, "cannot move " + staging.string() + " to " + folder + ": " + error.message());
    return {};
}

platform::Result<std::unique_ptr<Machine>> Machine::Open(const std::string& folder) {
    if (IsEmptyOrMissing(folder))
        if (auto created = Create(folder, MachineConfig::Default()); !created) return created.error();

    const fs::path base(folder);
    auto config_text = ReadHostFile(base / kConfigName);
    if (!config_text) return Fail(Status::not_found, folder + " is not a simulated machine (it has no machine.ini)");
    // The machine writes machine.ini whole, every line ended: a file that ends inside a line was
    // cut short, and reading what is left would fill the rest with defaults.
    if (!config_text->empty() && config_text->back() != '\n')
        return Fail(Status::invalid_argument, (base / kConfigName).string() + " is cut short: its last line has no end");
    auto config = ParseMachineConfig(config_text.value(), (base / kConfigName).string());
    if (!config) return config.error();

    auto metadata = FileMetadataStore::Load((base / kMetadataName).string());
    if (!metadata) return metadata.error();

    std::unique_ptr<Machine> machine(new Machine(fs::absolute(base).lexically_normal().string(), std::move(config.value()),
                                                 std::move(metadata.value())));
    auto registry = SandboxRegistry::Load((base / kRegistryName).string());
    if (!registry) return registry.error();
    // A limited user of the NT family reads the machine's software keys but may not write them;
    // the 95 family has no such rights.
    if (!machine->config_.administrator && machine->config_.version.family == platform::PlatformFamily::windows_nt)
        registry.value()->SetReadOnlyKeys({{platform::RootKey::local_machine, std::string(kMachineSoftwareKey)}});
    machine->registry_ = std::move(registry.value());
    return machine;
}

platform::Result<std::string> Machine::MapDrive(const DriveConfig& drive) {
    std::error_code error;
    if (!fs::is_directory(drive.host_folder, error))
        return Fail(Status::path_not_found, drive.host_folder + " is not a folder");
    DriveConfig mounted = drive;
    mounted.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive.letter)));
    mounted.host_folder = fs::absolute(drive.host_folder).lexically_normal().string();
    if (DriveConfig* existing = config_.Drive(mounted.letter)) {
        *existing = mounted;
    } else {
        config_.drives.push_back(mounted);
    }
    space_.Set(mounted.letter, KilobytesToBytes(mounted.size_kilobytes), mounted.host_folder);
    metadata_.MapDriveForOneRun(mounted.letter);
    return mounted.host_folder;
}

platform::Outcome Machine::Mount(const DriveConfig& drive) {
    auto mapped = MapDrive(drive);
    if (!mapped) return mapped.error();
    return journal_.Write("MOUNT", {Word("drive", std::string(1, drive.letter) + ":"), Word("type", DriveTypeName(drive.type)),
                                    Field("host", mapped.value()), Word("access", drive.read_only ? "readonly" : "readwrite")});
}

platform::Outcome Machine::OfferDisks(DiskSet set) {
    if (set.folders.empty()) return Fail(Status::invalid_argument, "a set of disks needs at least one disk");
    for (const auto& folder : set.folders) {
        std::error_code error;
        if (!fs::is_directory(folder, error)) return Fail(Status::path_not_found, folder + " is not a folder");
    }
    set.drive.host_folder = set.folders.front();
    if (auto mounted = Mount(set.drive); !mounted) return mounted;
    disk_set_ = std::move(set);
    return platform::Outcome();
}

platform::Outcome Machine::InsertDisk(int number) {
    if (!disk_set_ || number < 1 || static_cast<size_t>(number) > disk_set_->folders.size())
        return Fail(Status::invalid_argument, "the medium has no disk " + std::to_string(number));
    DiskSet& set = *disk_set_;
    set.drive.host_folder = set.folders[static_cast<size_t>(number - 1)];
    auto mapped = MapDrive(set.drive);
    if (!mapped) return mapped.error();
    return journal_.Write("DISK", {Word("drive", std::string(1, set.drive.letter) + ":"), Word("disk", std::to_string(number)),
                                   Word("of", std::to_string(set.folders.size())), Field("host", mapped.value())});
}

platform::Outcome Machine::SaveState() {
    const fs::path config_path = fs::path(folder_) / kConfigName;
    auto text = ReadHostFile(config_path);
    if (!text) return text.error();
    std::string updated = text.value();
    if (config_.files_in_use != saved_files_in_use_) {
        auto changed = WithFilesInUse(updated, config_.files_in_use, config_path.string());
        if (!changed) return changed.error();
        updated = std::move(changed.value());
    }
    if (updated != text.value()) {
        // A new file renamed over the old one: machine.ini is never left half-written.
        const fs::path temporary = config_path.string() + ".tmp";
        if (auto written = WriteHostFile(temporary, updated); !written) return written;
        std::error_code error;
        fs::rename(temporary, config_path, error);
        if (error) return Fail(Status::io_error, "cannot replace " + config_path.string() + ": " + error.message());
        saved_files_in_use_ = config_.files_in_use;
    }
    return metadata_.Save();
}

struct ProgramSession::Services {
    Services(Machine& machine, const ProgramStart& start, Responder& responder, ScreenObserver* observer)
        : files(machine),
          environment(machine.config(), start.program_path, start.command_line),
          processes(machine.config(), files, machine.journal(), start.program_path),
          shell(machine.config(), files, machine.registry(), processes, machine.journal()),
          resources(start.strings, start.dialogs, files, machine.journal()),
          services(machine.config(), machine.registry(), machine.journal()),
          power(machine),
          fonts(files, machine.journal()),
          program_manager(machine.journal()),
          directx(machine.config(), files, machine.journal()),
          ui(machine.journal(), responder, observer) {}

    SandboxFiles files;
    SandboxEnvironment environment;
    SandboxProcesses processes;  // before the shell, which starts the programs of associations
    SandboxShell shell;
    SandboxResources resources;
    SandboxServices services;
    SandboxPower power;
    SandboxFonts fonts;
    SandboxProgramManager program_manager;
    SandboxDirectX directx;
    SandboxUi ui;
    SandboxClock clock;
};

ProgramSession::ProgramSession(Machine& machine, const ProgramStart& start, Responder& responder, ScreenObserver* observer)
    : machine_(machine), services_(std::make_unique<Services>(machine, start, responder, observer)) {
    Services& s = *services_;
    platform_ = std::make_unique<platform::Platform>(platform::Platform{
        s.files, machine.registry(), s.environment, s.shell, s.services, s.processes, s.power, s.fonts,
        s.program_manager, s.resources, s.directx, s.ui, s.clock});
    std::string folder = start.current_folder.empty() ? start.program_path.substr(0, start.program_path.rfind('\\') + 1)
                                                      : start.current_folder;
    if (!folder.empty()) (void)s.files.SetCurrentFolder(folder);
    if (const auto& disks = machine.disk_set()) {
        responder.OfferDisks(disks->drive.letter, static_cast<int>(disks->folders.size()));
        s.ui.SetDiskChanger([&machine](int disk) { (void)machine.InsertDisk(disk); });
    }
    // As on the system, the program's own file cannot be deleted or written while it runs.
    s.files.HoldInUse(start.program_path);
    (void)machine.journal().Write("PROGRAM", {Field("path", start.program_path), Field("arguments", start.command_line)});
}

ProgramSession::~ProgramSession() {
    const std::vector<OpenedBatch> batches = services_->shell.opened_batches();
    platform_.reset();
    services_.reset();
    // The lines that were let wait end with the program.
    (void)machine_.journal().Flush();
    // The batch files the program opened run now that it is gone and its file free.
    for (const auto& batch : batches) {
        SandboxFiles files(machine_);
        (void)files.SetCurrentFolder(batch.folder);
        if (auto ran = BatchRunner(files, machine_.journal()).Run(batch.path); !ran)
            (void)machine_.journal().Write("BATCH", {Field("batch", batch.path), Word("result", "unreadable"),
                                                     Field("message", ran.error().Describe())});
    }
    // The program's changes to the files in use and file attributes outlive it.
    if (auto saved = machine_.SaveState(); !saved)
        (void)machine_.journal().Write("SAVE", {Field("error", saved.error().Describe())});
}

}  // namespace rvx::sandbox
