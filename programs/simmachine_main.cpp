// simmachine: creates and inspects simulated Windows machines.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "common/app/exit_codes.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "host/host_session.h"
#include "host/uninstall_entry.h"
#include "platform/sandbox/file_metadata.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/registry_file.h"
#include "platform/sandbox/restart.h"
#include "platform/sandbox/sandbox_files.h"
#include "platform/sandbox/screen_pictures.h"
#include "platform/sandbox/screen_replay.h"
#include "installer_pages.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller_pages.h"
#include "uninstaller_strings.h"

namespace {

namespace fs = std::filesystem;
using rvx::sandbox::Machine;
using rvx::sandbox::MachineConfig;

constexpr const char* kHelp = R"(Usage: simmachine COMMAND ...

Creates and inspects simulated Windows machines (docs/simulated-machine.md).

Commands:
  create DIR [--family nt|95] [--version MAJOR.MINOR.BUILD] [--no-admin]
                         write a fresh machine into DIR (which must not hold one)
  show DIR               the machine's description and the files of its drives
  journal DIR            the journal: actions and the user-interface transcript
  diff BEFORE AFTER      what changed between two copies of a machine: files added,
                         removed or changed on its drives, registry values and file
                         attributes likewise
  restart DIR            restart the machine: carry out the replacements programs left
                         for the next system start, and release the files in use
  programs DIR           the installed products: each uninstall entry of the registry
                         with its DisplayName and UninstallString
  uninstall DIR NAME [--ui console|script:FILE]
                         remove a product as the system's list of removable software
                         would: NAME is the entry's key or DisplayName (any case); its
                         UninstallString must name Dismara.exe on the machine, which
                         then runs with the rest of the text as its command line. The
                         exit code is the uninstaller's; 1 when it cannot be started
  screen DIR [--out FILE] [--line N] [--medium HOSTDIR]
                         draw the screen as the journal last recorded it: the background
                         window and the progress page of the last program, as they stood
                         before its background window was destroyed (--line N: after the
                         journal's first N lines), into FILE (DIR/screen.png); --medium
                         mounts the installation medium again as drive D: so that its
                         pictures can be read
  --help                 show this text
)";

int Usage(const std::string& message) {
    std::cerr << "simmachine: " << message << "\nTry 'simmachine --help'.\n";
    return rvx::app::kExitUsage;
}

int Create(int argc, char** argv) {
    if (argc < 3) return Usage("create needs a folder");
    MachineConfig config = MachineConfig::Default();
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--family" && i + 1 < argc) {
            const std::string family = argv[++i];
            if (family == "95") config.version = {rvx::platform::PlatformFamily::windows_95, 4, 10, 2222};
            else if (family != "nt") return Usage("--family needs nt or 95");
        } else if (arg == "--version" && i + 1 < argc) {
            unsigned major = 0, minor = 0, build = 0;
            if (std::sscanf(argv[++i], "%u.%u.%u", &major, &minor, &build) != 3) return Usage("--version needs MAJOR.MINOR.BUILD");
            config.version.major = major;
            config.version.minor = minor;
            config.version.build = build;
        } else if (arg == "--no-admin") {
            config.administrator = false;
        } else {
            return Usage("unknown option " + arg);
        }
    }
    if (auto created = Machine::Create(argv[2], config); !created) {
        std::cerr << "simmachine: " << created.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    std::cout << "created " << argv[2] << "\n";
    return 0;
}

// Files of the machine's own drives, by Windows path, with their sizes ("<folder>" for folders).
std::map<std::string, std::string> DriveFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    const fs::path drives = fs::path(folder) / "drives";
    std::error_code error;
    if (!fs::is_directory(drives, error)) return files;
    for (const auto& drive : fs::directory_iterator(drives, error)) {
        const std::string letter = drive.path().filename().string();
        for (auto it = fs::recursive_directory_iterator(drive.path(), error); it != fs::recursive_directory_iterator(); it.increment(error)) {
            std::string windows = letter + ":\\" + fs::relative(it->path(), drive.path()).string();
            std::replace(windows.begin(), windows.end(), '/', '\\');
            if (it->is_directory(error)) {
                files[windows] = "<folder>";
            } else {
                std::ifstream in(it->path(), std::ios::binary);
                std::ostringstream content;
                content << in.rdbuf();
                files[windows] = std::to_string(it->file_size(error)) + " bytes " + std::to_string(std::hash<std::string>{}(content.str()));
            }
        }
    }
    return files;
}

int Show(const std::string& folder) {
    auto machine = Machine::Open(folder);
    if (!machine) {
        std::cerr << "simmachine: " << machine.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    std::cout << rvx::sandbox::FormatMachineConfig(machine.value()->config()) << "\n; files of the machine's drives\n";
    for (const auto& [path, what] : DriveFiles(folder))
        std::cout << path << (what == "<folder>" ? "\\" : "  (" + what.substr(0, what.find(" bytes") + 6) + ")") << "\n";
    return 0;
}

int Journal(const std::string& folder) {
    std::ifstream in(fs::path(folder) / "journal.log", std::ios::binary);
    if (!in) {
        std::cerr << "simmachine: " << folder << " has no journal\n";
        return rvx::app::kExitMachineError;
    }
    std::cout << in.rdbuf();
    return 0;
}

std::map<std::string, std::string> RegistryValues(const std::string& folder, std::string& error) {
    std::ifstream in(fs::path(folder) / "registry.reg", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    auto values = rvx::sandbox::RegistryFileLines(text.str(), (fs::path(folder) / "registry.reg").string());
    if (!values) {
        error = values.error().detail;
        return {};
    }
    return values.value();
}

// The machine's kept attributes and creation times, by upper-case Windows path; each value is the
// store's whole line, which keeps the path's own spelling for the report.
std::map<std::string, std::string> FileAttributes(const std::string& folder, std::string& error) {
    const std::string path = (fs::path(folder) / "file-attributes.ini").string();
    auto store = rvx::sandbox::FileMetadataStore::Load(path);
    if (!store) {
        error = store.error().detail;
        return {};
    }
    std::map<std::string, std::string> lines;
    std::istringstream text(store.value().Format());
    for (std::string line; std::getline(text, line);) {
        const size_t equals = line.rfind('=');
        if (line.empty() || line[0] == ';' || line[0] == '[' || equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        lines[key] = line;
    }
    return lines;
}

int Diff(const std::string& before, const std::string& after) {
    int changes = 0;
    auto report = [&](const std::map<std::string, std::string>& old_items, const std::map<std::string, std::string>& new_items,
                      const char* what, bool show_value = false) {
        auto shown = [&](const std::string& key, const std::string& value) { return show_value ? value : key; };
        for (const auto& [key, value] : new_items) {
            auto found = old_items.find(key);
            if (found == old_items.end()) std::cout << "+ " << what << " " << shown(key, value) << "\n", ++changes;
            else if (found->second != value) std::cout << "~ " << what << " " << shown(key, value) << "\n", ++changes;
        }
        for (const auto& [key, value] : old_items)
            if (!new_items.count(key)) std::cout << "- " << what << " " << shown(key, value) << "\n", ++changes;
    };
    report(DriveFiles(before), DriveFiles(after), "file");
    std::string error;
    auto old_values = RegistryValues(before, error);
    auto new_values = RegistryValues(after, error);
    if (!error.empty()) {
        std::cerr << "simmachine: " << error << "\n";
        return rvx::app::kExitMachineError;
    }
    report(old_values, new_values, "registry");
    auto old_attributes = FileAttributes(before, error);
    auto new_attributes = FileAttributes(after, error);
    if (!error.empty()) {
        std::cerr << "simmachine: " << error << "\n";
        return rvx::app::kExitMachineError;
    }
    report(old_attributes, new_attributes, "attributes", true);
    std::cout << changes << " change(s)\n";
    return 0;
}

int Restart(const std::string& folder) {
    auto machine = Machine::Open(folder);
    if (!machine) {
        std::cerr << "simmachine: " << machine.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    auto report = rvx::sandbox::RestartMachine(*machine.value());
    if (!report) {
        std::cerr << "simmachine: " << report.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    std::cout << "restarted " << folder << ": " << report->done << " action(s) done, " << report->failed
              << " failed (see the journal's RESTART lines)\n";
    return 0;
}

int Programs(const std::string& folder) {
    auto machine = Machine::Open(folder);
    if (!machine) {
        std::cerr << "simmachine: " << machine.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    const auto entries = rvx::host::ReadUninstallEntries(machine.value()->registry());
    for (const auto& entry : entries)
        std::cout << entry.key << "\n  DisplayName=" << entry.display_name << "\n  UninstallString=" << entry.uninstall_string
                  << "\n";
    std::cout << entries.size() << " installed product(s)\n";
    return 0;
}

// Finds the uninstaller an entry names; the machine is closed again before the uninstaller
// opens it for its own run.
int FindUninstaller(const std::string& folder, const std::string& name, rvx::host::RunOptions& options) {
    auto machine = Machine::Open(folder);
    if (!machine) {
        std::cerr << "simmachine: " << machine.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    const auto entry = rvx::host::FindUninstallEntry(rvx::host::ReadUninstallEntries(machine.value()->registry()), name);
    if (!entry) {
        std::cerr << "simmachine: the machine has no uninstall entry named " << name << " (see 'simmachine programs')\n";
        return rvx::app::kExitCouldNotStart;
    }
    if (entry->uninstall_string.empty()) {
        std::cerr << "simmachine: the uninstall entry " << entry->key << " has no UninstallString\n";
        return rvx::app::kExitCouldNotStart;
    }
    rvx::sandbox::SandboxFiles files(*machine.value(), rvx::sandbox::SandboxFiles::Rights::system);
    const auto command = rvx::host::SplitUninstallString(entry->uninstall_string, [&files](const std::string& path) {
        auto location = files.Locate(path);
        if (!location || !location->exists || rvx::platform::IsFolder(files, path)) return std::optional<std::string>();
        return std::optional<std::string>(location->path.Text());
    });
    if (!command.found) {
        std::cerr << "simmachine: the program of the uninstall entry " << entry->key << " is not on the machine: "
                  << command.program << " (UninstallString=" << entry->uninstall_string << ")\n";
        return rvx::app::kExitCouldNotStart;
    }
    if (!rvx::text::EqualsIgnoreCase(rvx::path::NameOf(command.program), "Dismara.exe")) {
        std::cerr << "simmachine: the uninstall entry " << entry->key << " starts " << command.program
                  << ", but the only Windows program the simulated machine can run is Dismara.exe\n";
        return rvx::app::kExitCouldNotStart;
    }
    options.machine = folder;
    options.program = command.program;
    options.cwd = rvx::path::FolderOf(command.program);
    options.command_line = command.arguments;
    return 0;
}

int Uninstall(int argc, char** argv) {
    if (argc < 4) return Usage("uninstall needs a folder and a product name");
    rvx::host::RunOptions options;
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg != "--ui" || i + 1 >= argc) return Usage("uninstall: unknown option " + arg);
        options.ui = argv[++i];
        if (options.ui != "console" && (options.ui.rfind("script:", 0) != 0 || options.ui.size() == 7))
            return Usage("--ui needs console or script:FILE");
    }
    if (int found = FindUninstaller(argv[2], argv[3], options); found != 0) return found;
    return rvx::host::RunOnMachine(options, {"simmachine", "Dismara.exe", rvx::uninstaller::kBuiltInStrings, rvx::uninstaller::dialogs::kAllDialogs},
                                   [](rvx::platform::Platform& platform) {
                                       rvx::uninstaller::UninstallApp app(platform);
                                       return app.Execute(rvx::app::kExitCouldNotStart);
                                   });
}

int Screen(int argc, char** argv) {
    if (argc < 3) return Usage("screen needs a folder");
    const std::string folder = argv[2];
    std::string out = (fs::path(folder) / "screen.png").string();
    std::string medium;
    std::optional<size_t> up_to_line;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            out = argv[++i];
        } else if (arg == "--medium" && i + 1 < argc) {
            medium = argv[++i];
        } else if (arg == "--line" && i + 1 < argc) {
            const std::string number = argv[++i];
            if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos)
                return Usage("--line needs a line number");
            up_to_line = size_t(std::stoul(number));
        } else {
            return Usage("screen: unknown option " + arg);
        }
    }
    if (!fs::is_directory(folder)) {
        std::cerr << "simmachine: " << folder << " is no machine folder\n";
        return rvx::app::kExitMachineError;
    }
    auto machine = Machine::Open(folder);
    if (!machine) {
        std::cerr << "simmachine: " << machine.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    if (!medium.empty()) {
        rvx::sandbox::DriveConfig drive;
        drive.letter = 'D';
        drive.type = rvx::platform::DriveType::cdrom;
        drive.host_folder = medium;
        drive.read_only = true;
        if (auto mounted = machine.value()->Mount(drive); !mounted) {
            std::cerr << "simmachine: cannot mount the medium: " << mounted.error().Describe() << "\n";
            return rvx::app::kExitMachineError;
        }
    }
    std::ifstream in(machine.value()->journal().host_path(), std::ios::binary);
    std::ostringstream journal;
    journal << in.rdbuf();
    auto replayed = rvx::sandbox::ReplayScreen(journal.str(), up_to_line);
    if (!replayed) {
        std::cerr << "simmachine: " << machine.value()->journal().host_path() << ": " << replayed.error().detail << "\n";
        return rvx::app::kExitMachineError;
    }
    auto fonts = rvx::sandbox::HostFonts::Open();
    if (!fonts) {
        std::cerr << "simmachine: " << fonts.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    const bool uninstaller = rvx::text::EqualsIgnoreCase(rvx::path::NameOf(replayed->program), "Dismara.exe");
    rvx::sandbox::SandboxFiles files(*machine.value(), rvx::sandbox::SandboxFiles::Rights::system);
    rvx::sandbox::ScreenPainter painter(uninstaller ? rvx::sandbox::DialogList(rvx::uninstaller::dialogs::kAllDialogs)
                                                    : rvx::sandbox::DialogList(rvx::installer::dialogs::kAllDialogs),
                                        files);
    const auto image = rvx::sandbox::PaintScreenImage(machine.value()->config().display, painter, *fonts.value(), replayed->screen);
    if (auto written = rvx::sandbox::WritePng(image, out); !written) {
        std::cerr << "simmachine: " << written.error().Describe() << "\n";
        return rvx::app::kExitMachineError;
    }
    std::cout << "drew the screen of " << (replayed->program.empty() ? std::string("no program") : replayed->program)
              << " at journal line " << replayed->line << " into " << out << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage("a command is needed");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kHelp;
        return 0;
    }
    if (command == "create") return Create(argc, argv);
    if (command == "screen") return Screen(argc, argv);
    if (command == "show" && argc == 3) return Show(argv[2]);
    if (command == "journal" && argc == 3) return Journal(argv[2]);
    if (command == "diff" && argc == 4) return Diff(argv[2], argv[3]);
    if (command == "restart" && argc == 3) return Restart(argv[2]);
    if (command == "programs" && argc == 3) return Programs(argv[2]);
    if (command == "uninstall") return Uninstall(argc, argv);
    return Usage("unknown command or wrong arguments: " + command);
}
