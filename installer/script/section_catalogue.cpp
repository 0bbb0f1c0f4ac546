// The catalogue of section headers.
#include "installer/script/section_catalogue.h"

#include <string>
#include <unordered_map>

#include "common/text/text.h"

namespace rvx::installer {

const CatalogueRow kCatalogue[] = {
    {Section::files, "[FILES]"},
    {Section::title, "[TITLE]"},
    {Section::title_net, "[TITLENET]"},
    {Section::disk_id, "[DISKID]"},
    {Section::version, "[VERSION]"},
    {Section::patch, "[PATCH]"},
    {Section::end_of_file, "[EOF]"},
    {Section::uninstall_file, "[UNINSTALLFILE]"},
    {Section::uninstall_display, "[UNINSTALLDISP]"},
    {Section::uninstall_name, "[UNINSTALLNAME]"},
    {Section::uninstall_string, "[UNINSTALLSTRING]"},
    {Section::uninstall_commands, "[UNINSTALLCOMMANDS]"},
    {Section::default_dir, "[DEFAULTDIR]"},
    {Section::default_dir_net, "[DEFAULTDIRNET]"},
    {Section::read_registry, "[READREGISTRY]"},
    {Section::init_text, "[INITTEXT]"},
    {Section::product_name, "[PRODUCTNAME]"},
    {Section::product_name_net, "[PRODUCTNAMENET]"},
    {Section::allow_version_update, "[ALLOWVERSIONUPDATE]"},
    {Section::force_delete, "[FORCEDELETE]"},
    {Section::delete_files, "[DELETE]"},
    {Section::size, "[SIZE]"},
    {Section::variants, "[NORVNO]"},
    {Section::old_dir, "[OLDDIR]"},
    {Section::final_command, "[FINALCOMMAND]"},
    {Section::strings, "[STRINGS]"},
    {Section::strings_net, "[STRINGSNET]"},
    {Section::sys_strings, "[SYSSTRINGS]"},
    {Section::registry_uninstall, "[REGISTRYUNINSTALL]"},
    {Section::registry_uninstall_net, "[REGISTRYUNINSTALLNET]"},
    {Section::registry, "[REGISTRY]"},
    {Section::registry_net, "[REGISTRYNET]"},
    {Section::stop_nt_services, "[STOPNTSERVICES]"},
    {Section::uninstall_stop_nt_services, "[UNINSTALLSTOPNTSERVICES]"},
    {Section::search_install, "[SEARCHINSTALL]"},
    {Section::create_files, "[CREATEFILES]"},
    {Section::fonts, "[FONTS]"},
    {Section::registry_restart, "[REGRESTART]"},
    {Section::admin, "[ADMIN]"},
    {Section::uninstall_message, "[UNINSTALLMESSAGE]"},
    {Section::uninstall_message_condition, "[UNINSTALLMESSAGECOND]"},
    {Section::warn_dir, "[WARNDIR]"},
    {Section::warn_dir_condition, "[WARNDIRCOND]"},
    {Section::restart, "[RESTART]"},
    {Section::nt_only, "[NTONLY]"},
    {Section::no_windows_95, "[NOWIN95]"},
    {Section::working_dir, "[WORKINGDIR]"},
    {Section::licence_text, "[LICENSETEXT]"},
    {Section::colours, "[COLORS]"},
    {Section::install_over, "[INSTALLOVER]"},
    {Section::web_info_text, "[WWWINFOTEXT]"},
    {Section::examples, "[EXEMPLES]"},
    {Section::no_search_previous, "[NOSEARCHPREVIOUS]"},
    {Section::auto_launch, "[AUTOLAUNCH]"},
    {Section::desktop_icon, "[DESKTOPICON]"},
    {Section::small_image, "[SMALLIMAGE]"},
    {Section::background_image, "[BACKGROUNDIMAGE]"},
    {Section::kill_dirs, "[KILLDIRS]"},
    {Section::kill_dirs_text, "[KILLDIRSTEXT]"},
    {Section::directx, "[DIRECTX]"},
    {Section::install_dir_text, "[INSTALLDIRTEXT]"},
    {Section::success_text, "[SUCCESSTEXT]"},
    {Section::personalize_text, "[PERSONALIZETEXT]"},
    {Section::directx_question, "[DIRECTXASK]"},
    {Section::web_link_id, "[WWWLINKID]"},
    {Section::web_link, "[WWWLINK]"},
    {Section::uninstall_commands_conditional, "[UNINSTALLCOMMANDSCOND]"},
    {Section::icons, "[ICONS]"},
    {Section::delete_old_groups, "[DELETEOLDGROUPS]"},
    {Section::delete_old_items, "[DELETEOLDITEMS]"},
    {Section::web_info_text, "[WWWINFOTEXT]"},
    {Section::web_button_text, "[WWWBUTTONTEXT]"},
    {Section::desktop_icon_on, "[DESKTOPICONON]"},
    {Section::publisher_update, "[KESTRAUPDATE]"},
    {Section::publisher_error_text, "[KESTRAERRORTEXT]"},
    {Section::network_install, "[NETINSTALL]"},
    {Section::user_info_net, "[USERINFONET]"},
    {Section::final_text_net, "[FINALTEXTNET]"},
    {Section::stop_services_uninstall, "[STOPSVCUNINSTALL]"},
    {Section::stop_services_update, "[STOPSVCUPDATE]"},
    {Section::stop_program, "[STOPPROGRAM]"},
    {Section::no_version_idem, "[NOVERSIONIDEM]"},
    {Section::end_of_table, "[]"},
};
const size_t kCatalogueSize = sizeof kCatalogue / sizeof kCatalogue[0];

namespace {

// Upper-cased header without its brackets, to the code: built once, so that matching a line
// costs one lookup instead of a walk over the whole table.
const std::unordered_map<std::string, Section>& HeaderIndex() {
    static const std::unordered_map<std::string, Section> index = [] {
        std::unordered_map<std::string, Section> built;
        for (const auto& row : kCatalogue)
            if (row.code != Section::end_of_table) built[text::ToUpper(row.header)] = row.code;
        return built;
    }();
    return index;
}

}  // namespace

std::string_view HeaderOf(Section code) {
    std::string_view header;
    for (const auto& row : kCatalogue)
        if (row.code == code) header = row.header;
    return header;
}

std::optional<Section> MatchHeader(std::string_view line, char language) {
    if (line.size() < 3 || line.front() != '[' || line.back() != ']') return std::nullopt;
    const auto& index = HeaderIndex();
    if (auto found = index.find(text::ToUpper(line)); found != index.end()) return found->second;
    // "[NAME.X]" with X the language letter reads as "[NAME]".
    if (line.size() >= 5 && line[line.size() - 3] == '.' && text::ToUpper(line[line.size() - 2]) == text::ToUpper(language)) {
        std::string plain = text::ToUpper(line.substr(0, line.size() - 3)) + "]";
        if (auto found = index.find(plain); found != index.end()) return found->second;
    }
    return std::nullopt;
}

}  // namespace rvx::installer
