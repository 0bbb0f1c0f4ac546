// The script checker's line checks of the stored sections.
#include "host/script_line_checks.h"

#include <variant>

#include "common/system/root_keys.h"
#include "common/text/field_splitter.h"
#include "common/text/text.h"
#include "installer/actions/final_commands.h"
#include "installer/actions/stop_programs.h"
#include "installer/registration/registry_lines.h"
#include "installer/registration/uninstall_records.h"
#include "installer/script/variables.h"

namespace rvx::host {

namespace {

using installer::Section;
using installer::TextList;

bool ProgramPathQuoted(std::string_view value) {
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    return value.empty() || value.front() == '"';
}

// Expands a line as its stage will; reports an undefined variable and gives nothing then.
std::optional<std::string> ExpandedOrReported(installer::InstallState& app, const TextList& list, size_t index,
                                              const char* section, const ReportLine& report) {
    auto expanded = installer::Expanded(app, list[index]);
    if (expanded.stopped()) {
        report(list, index, Severity::error,
               "undefined variable " + expanded.stop().variable + " when this " + section +
                   " line is used: the installer stops with \"Fatal error: undefined variable\" (is it defined later "
                   "in [STRINGS] than where it is used, or never?)");
        return std::nullopt;
    }
    return *expanded;
}

void CheckRegistryLines(installer::InstallState& app, const TextList& list, const char* section, const ReportLine& report) {
    for (size_t i = 0; i < list.size(); ++i) {
        const auto expanded = ExpandedOrReported(app, list, i, section, report);
        if (!expanded) continue;
        const auto parsed = installer::ParseRegistryLine(*expanded);
        if (const auto* problem = std::get_if<installer::RegistryLineProblem>(&parsed)) {
            switch (*problem) {
                case installer::RegistryLineProblem::too_few_fields:
                    report(list, i, Severity::error, std::string(section) + " line needs five fields (root, key, value name, "
                                                                            "type, data): the installer writes nothing");
                    break;
                case installer::RegistryLineProblem::unknown_root:
                    report(list, i, Severity::error, std::string(section) + " line with an unknown root: the roots are "
                                                                            "HKLM, HKCR, HKCU and HKU, in capitals");
                    break;
                case installer::RegistryLineProblem::bad_hex:
                    report(list, i, Severity::error, std::string(section) + " \"hex\" data must be 8 lower-case hexadecimal "
                                                                            "digits (4 bytes): the installer writes nothing");
                    break;
            }
            continue;
        }
        const auto& line = std::get<installer::RegistryLine>(parsed);
        // The data as the splitter leaves it: quotes survive only inside a single-quoted field.
        if (text::EqualsIgnoreCase(line.name, "UninstallString") && !ProgramPathQuoted(line.text))
            report(list, i, Severity::warning, "the UninstallString's program path is not quoted: a path with blanks is split "
                                               "by the system (write the data as '\"%DSTPATH%\\Dismara.exe\" ...')");
    }
}

// [REGISTRYUNINSTALL]: root and key of what the uninstaller deletes.
void CheckUninstallKeys(installer::InstallState& app, const ReportLine& report) {
    const TextList& list = app.script().registry_uninstall;
    for (size_t i = 0; i < list.size(); ++i) {
        const auto expanded = ExpandedOrReported(app, list, i, "[REGISTRYUNINSTALL]", report);
        if (!expanded) continue;
        const auto fields = text::SplitFields(*expanded, ",");
        if (fields.empty() || !system::RootKeyFromName(fields[0])) {
            report(list, i, Severity::error, "a [REGISTRYUNINSTALL] line needs a root (HKLM, HKCR, HKCU or HKU, in "
                                             "capitals) and a key");
        } else if (installer::KeyToRemoveHasEmptyPart(*expanded)) {
            report(list, i, Severity::error, "the key comes out with an empty part (\"" + (fields.size() > 1 ? fields[1] : "") +
                                                 "\") when a value it is built from is empty, as a missing registry "
                                                 "reference is: the installer then leaves it out and the uninstaller keeps it");
        }
    }
}

void CheckIcons(installer::InstallState& app, const ReportLine& report) {
    const TextList& list = app.script().icons;
    for (size_t i = 0; i < list.size(); ++i) {
        const auto expanded = ExpandedOrReported(app, list, i, "[ICONS]", report);
        if (!expanded) continue;
        const auto fields = text::SplitFields(*expanded, ",");
        if (fields.size() < 2 || fields[0].empty() || fields[1].empty()) {
            report(list, i, Severity::error, "an [ICONS] line needs a shortcut name and a target");
            continue;
        }
        if (fields[0].find('\\') == std::string::npos)
            report(list, i, Severity::warning, "the shortcut lies directly in the Programs folder, not in a group of its "
                                               "own (write Group\\Name)");
    }
}

void CheckCreatedFiles(installer::InstallState& app, const ReportLine& report) {
    const TextList& list = app.script().create_files;
    for (size_t i = 0; i < list.size(); ++i) {
        const auto expanded = ExpandedOrReported(app, list, i, "[CREATEFILES]", report);
        if (expanded && text::SplitFields(*expanded, ",").size() != 3)
            report(list, i, Severity::error, "a [CREATEFILES] line needs exactly three fields (name, folder, size in "
                                             "kilobytes): the installer's copy stage ends at it");
    }
}

void CheckFinalCommands(installer::InstallState& app, const ReportLine& report) {
    const TextList& list = app.script().final_commands;
    for (size_t i = 0; i < list.size(); ++i) {
        auto parsed = installer::ParseFinalCommand(app, list[i]);
        if (parsed.stopped())
            report(list, i, Severity::error, "undefined variable " + parsed.stop().variable + " when this [FINALCOMMAND] "
                                             "line is used: the installer stops with \"Fatal error\"");
    }
}

void CheckStopPrograms(const installer::InstallState& app, const ReportLine& report) {
    const TextList& list = app.script().stop_programs;
    for (size_t i = 0; i < list.size(); ++i)
        if (!installer::ParseStopProgramLine(list[i]))
            report(list, i, Severity::error, "a [STOPPROGRAM] line needs exactly three fields (window class, title, "
                                             "command number): the installer passes it over");
}

// Sections whose lines are expanded when their stage uses them, without a parser of their own here.
void CheckExpansions(installer::InstallState& app, const ReportLine& report) {
    const auto& script = app.script();
    const std::pair<const TextList*, const char*> sections[] = {
        {&script.registry_restart, "[REGRESTART]"}, {&script.desktop_icons, "[DESKTOPICON]"},
        {&script.delete_files, "[DELETE]"},         {&script.auto_launch, "[AUTOLAUNCH]"},
        {&script.fonts, "[FONTS]"},                 {&script.directx, "[DIRECTX]"},
        {&script.kill_dirs, "[KILLDIRS]"},          {&script.old_dir, "[OLDDIR]"},
    };
    for (const auto& [list, name] : sections)
        for (size_t i = 0; i < list->size(); ++i) (void)ExpandedOrReported(app, *list, i, name, report);
}

void CheckForceDelete(const installer::InstallState& app, const ReportLine& report) {
    const TextList& list = app.script().force_delete;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].find("*.*") != std::string::npos)
            report(list, i, Severity::error, "[FORCEDELETE] of \"*.*\" deletes every file of the folder at uninstall, the "
                                             "user's own documents too");
}

}  // namespace

const TextList* ListOf(const installer::ScriptSections& script, Section code) {
    switch (code) {
        case Section::files: return &script.files;
        case Section::registry:
        case Section::registry_net: return &script.registry;
        case Section::registry_uninstall:
        case Section::registry_uninstall_net: return &script.registry_uninstall;
        case Section::registry_restart: return &script.registry_restart;
        case Section::icons: return &script.icons;
        case Section::create_files: return &script.create_files;
        case Section::final_command: return &script.final_commands;
        case Section::stop_program: return &script.stop_programs;
        case Section::force_delete: return &script.force_delete;
        case Section::delete_files: return &script.delete_files;
        case Section::desktop_icon: return &script.desktop_icons;
        case Section::auto_launch: return &script.auto_launch;
        case Section::fonts: return &script.fonts;
        case Section::directx: return &script.directx;
        case Section::kill_dirs: return &script.kill_dirs;
        case Section::old_dir: return &script.old_dir;
        case Section::strings:
        case Section::strings_net: return &script.user_variables.lines();
        default: return nullptr;
    }
}

void CheckSectionLines(installer::InstallState& app, const ReportLine& report) {
    CheckRegistryLines(app, app.script().registry, "[REGISTRY]", report);
    CheckUninstallKeys(app, report);
    CheckIcons(app, report);
    CheckCreatedFiles(app, report);
    CheckFinalCommands(app, report);
    CheckStopPrograms(app, report);
    CheckExpansions(app, report);
    CheckForceDelete(app, report);
}

}  // namespace rvx::host
