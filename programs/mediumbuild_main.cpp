// mediumbuild: makes an installation medium from a product folder and a script template.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

#include "host/check_output.h"
#include "host/medium_builder.h"

namespace {

constexpr const char* kHelp = R"(Usage: mediumbuild --product DIR --template FILE --output DIR [options]

Makes a complete installation medium in the folder DIR (which must not exist or be empty)
from the product's files and a script template: an Install.ini whose [FILES] lines may
leave their size out, or name a folder ("docs\", every file below it) or a wildcard
("samples\*.txt"). Each file is stored plain or compressed (its name ending in "_"), the
[FILES] sizes and [SIZE] are filled in, the files are split into disks by capacity (never
a file across two) with their marker lines and marker files, the installer, the
uninstaller and the language libraries are placed where the script expects them, and
the finished script is checked (as scriptcheck does) before the medium is handed out.

Options:
  --product DIR          the product's files, as the [FILES] lines name them
  --template FILE        the script template
  --output DIR           the medium to make
  --compress all|auto|none|PATTERN[,PATTERN...]
                         which files are stored compressed (default none), e.g. "*.exe,*.dll";
                         auto: every file whose compressed form is smaller than the file
  --layout single|disk-folders|underscore-disks|floppies
                         everything in one folder (default); DISK1\, DISK2\ ... folders;
                         _DISK_1\, _DISK_2\ ... folders (the installer asks for each disk);
                         or one folder per floppy disk (floppy1, floppy2, ...)
  --capacity BYTES       the room on one disk (floppies: 1457664 unless given)
  --label TEXT           the disk label, [DISKID], with %s for the disk's number
  --windows-build DIR    take Rovexa.exe, Dismara.exe and the language libraries from this
                         Windows build (default: the host stand-ins for the simulated machine);
                         its Dismara.exe replaces one the product folder holds
  --languages DIR        without --windows-build: the language libraries rovexeng.dll and
                         rovexdeu.dll from this folder (default: the host build's languages
                         folder, beside the folder of this program)
  --add FILE             put FILE beside the script as it is (an answer file, a read-me);
                         may be given more than once
  --help                 show this text

Exit codes: 0 built, 1 the product, the template or the finished script has errors (the
medium is then incomplete), 2 an input cannot be read, 64 wrong options.
)";

// The host build puts its language libraries into <build>/languages and this program into
// <build>/host: the folder beside this program's own, when it is there.
std::string HostLanguagesFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const std::filesystem::path languages = self.parent_path().parent_path() / "languages";
    return std::filesystem::is_directory(languages, error) ? languages.string() : std::string();
}

int Usage(const std::string& message) {
    std::cerr << "mediumbuild: " << message << "\nTry 'mediumbuild --help'.\n";
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    rvx::host::BuildRequest request;
    bool languages_given = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--product" && has_value) {
            request.product = argv[++i];
        } else if (arg == "--template" && has_value) {
            request.script = argv[++i];
        } else if (arg == "--output" && has_value) {
            request.output = argv[++i];
        } else if (arg == "--compress" && has_value) {
            const std::string value = argv[++i];
            request.compress.clear();
            request.compress_only_smaller = false;
            if (value == "all" || value == "auto") {
                request.compress.push_back("*");
                request.compress_only_smaller = value == "auto";
            } else if (value != "none") {
                size_t start = 0;
                while (start <= value.size()) {
                    const size_t comma = value.find(',', start);
                    const std::string pattern = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                    if (!pattern.empty()) request.compress.push_back(pattern);
                    if (comma == std::string::npos) break;
                    start = comma + 1;
                }
            }
        } else if (arg == "--layout" && has_value) {
            const std::string layout = argv[++i];
            if (layout == "single") request.layout = rvx::host::MediumLayout::single;
            else if (layout == "disk-folders") request.layout = rvx::host::MediumLayout::disk_folders;
            else if (layout == "underscore-disks") request.layout = rvx::host::MediumLayout::underscore_disks;
            else if (layout == "floppies") request.layout = rvx::host::MediumLayout::floppies;
            else return Usage("--layout needs single, disk-folders, underscore-disks or floppies");
        } else if (arg == "--capacity" && has_value) {
            char* end = nullptr;
            request.capacity = std::strtoull(argv[++i], &end, 10);
            if (!end || *end != '\0' || request.capacity == 0) return Usage("--capacity needs a number of bytes");
        } else if (arg == "--label" && has_value) {
            request.label = argv[++i];
        } else if (arg == "--windows-build" && has_value) {
            request.windows_build = argv[++i];
        } else if (arg == "--languages" && has_value) {
            request.languages = argv[++i];
            languages_given = true;
        } else if (arg == "--add" && has_value) {
            request.beside_script.emplace_back(argv[++i]);
        } else {
            return Usage("unknown option " + arg);
        }
    }
    if (request.product.empty() || request.script.empty() || request.output.empty())
        return Usage("--product, --template and --output are needed");
    if (!languages_given) request.languages = HostLanguagesFolder();

    const auto result = rvx::host::BuildMedium(request, [](const std::string& line) { std::cerr << "  " << line << "\n"; });
    for (const auto& note : result.notes) std::cout << "note: " << note << "\n";
    if (!result.check.problems.empty()) std::cout << rvx::host::ReportForPeople(result.check, isatty(STDOUT_FILENO) != 0);
    for (const auto& error : result.errors) std::cerr << "mediumbuild: " << error << "\n";
    if (!result.built) return result.unreadable ? 2 : 1;
    std::cout << "built " << request.output << ": " << result.disks << " disk(s), " << result.expanded_bytes << " bytes stored in "
              << result.stored_bytes << "\n";
    return 0;
}
