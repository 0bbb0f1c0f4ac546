// The catalogue of the install script's section headers: a fixed table of section codes and
// header texts, ending with the empty header "[]" that no line can select.
#pragma once

#include <optional>
#include <string_view>

namespace rvx::installer {

enum class Section {
    files, title, title_net, disk_id, version, patch, end_of_file, uninstall_file, uninstall_display,
    uninstall_name, uninstall_string, uninstall_commands, default_dir, default_dir_net, read_registry,
    init_text, product_name, product_name_net, allow_version_update, force_delete, delete_files, size,
    variants, old_dir, final_command, strings, strings_net, sys_strings, registry_uninstall,
    registry_uninstall_net, registry, registry_net, stop_nt_services, uninstall_stop_nt_services,
    search_install, create_files, fonts, registry_restart, admin, uninstall_message,
    uninstall_message_condition, warn_dir, warn_dir_condition, restart, nt_only, no_windows_95,
    working_dir, licence_text, colours, install_over, web_info_text, examples, no_search_previous,
    auto_launch, desktop_icon, small_image, background_image, kill_dirs, kill_dirs_text, directx,
    install_dir_text, success_text, personalize_text, directx_question, web_link_id, web_link,
    uninstall_commands_conditional, icons, delete_old_groups, delete_old_items, web_button_text,
    desktop_icon_on, publisher_update, publisher_error_text, network_install, user_info_net,
    final_text_net, stop_services_uninstall, stop_services_update, stop_program, no_version_idem,
    end_of_table,
};

struct CatalogueRow {
    Section code;
    std::string_view header;
};

// Every row, in the catalogue's order; "[WWWINFOTEXT]" has two rows with one code.
extern const CatalogueRow kCatalogue[];
extern const size_t kCatalogueSize;

// The header text of a code ("[TITLE]"); when two rows share the code, the later row's header.
std::string_view HeaderOf(Section code);

// The section a header line selects, ignoring case: "[TITLE]", or "[TITLE.E]" when the
// language letter is E. Nothing when no row matches.
std::optional<Section> MatchHeader(std::string_view line, char language);

}  // namespace rvx::installer
