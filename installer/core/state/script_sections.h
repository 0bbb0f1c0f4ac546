// What the install script says, section by section, as the reader stores it. Flags of flag
// sections live with the run flags of the install state; everything else is here, under names
// that say what each section is for.
#pragma once

#include <string>
#include <vector>

#include "installer/core/state/user_variables.h"

namespace rvx::installer {

using TextList = std::vector<std::string>;

struct ScriptSections {
    // Single values (the last line wins unless said otherwise).
    std::string title;                        // [TITLE] / [TITLENET]
    std::string disk_id;                      // [DISKID]
    std::string version;                      // [VERSION]
    std::string required_version;             // [PATCH]: the version an update needs installed
    std::string uninstall_file;               // [UNINSTALLFILE]
    std::string uninstall_display;            // [UNINSTALLDISP] (kept, not used)
    std::string uninstall_name;               // [UNINSTALLNAME] (kept, not used)
    std::string uninstall_string;             // [UNINSTALLSTRING] (kept, not used)
    std::string product_name;                 // [PRODUCTNAME] / [PRODUCTNAMENET]
    std::string examples_subfolder;           // [EXEMPLES]
    std::string kill_dirs_text;               // [KILLDIRSTEXT]
    std::string web_button_text;              // [WWWBUTTONTEXT]
    std::string web_link_id;                  // [WWWLINKID]: the first line of the script wins
    std::string web_link;                     // [WWWLINK]: the first line of the script wins
    std::string uninstall_message_condition;  // [UNINSTALLMESSAGECOND]
    std::string warn_dir_condition;           // [WARNDIRCOND]

    // Numbers.
    long long size = 0;                       // [SIZE], in bytes
    int variant_number = 0;                   // the number of the last [NORVNO] line

    // Joined texts.
    std::string uninstall_message;            // [UNINSTALLMESSAGE]: each line followed by "\n"
    std::string warn_dir;                     // [WARNDIR]: each line followed by "\n"
    std::string directx_question;             // [DIRECTXASK]: each line followed by "\n"
    std::string web_info_text;                // [WWWINFOTEXT]: lines separated by "\n"

    // Lists.
    TextList files;                           // [FILES], wildcard lines expanded
    TextList uninstall_commands;              // [UNINSTALLCOMMANDS]
    TextList uninstall_commands_conditional;  // [UNINSTALLCOMMANDSCOND]
    TextList read_registry;                   // [READREGISTRY]
    TextList init_text;                       // [INITTEXT]
    TextList force_delete;                    // [FORCEDELETE]
    TextList delete_files;                    // [DELETE]
    TextList old_dir;                         // [OLDDIR]
    TextList final_commands;                  // [FINALCOMMAND]
    UserVariables user_variables;             // [STRINGS] / [STRINGSNET], then [READREGISTRY] entries
    TextList named_values;                    // [SYSSTRINGS]
    TextList registry_uninstall;              // [REGISTRYUNINSTALL] / [REGISTRYUNINSTALLNET]
    TextList registry;                        // [REGISTRY] / [REGISTRYNET]
    TextList stop_services;                   // [STOPNTSERVICES]
    TextList uninstall_stop_services;         // [UNINSTALLSTOPNTSERVICES] (kept, not used)
    TextList search_install;                  // [SEARCHINSTALL]
    TextList create_files;                    // [CREATEFILES]
    TextList fonts;                           // [FONTS]
    TextList registry_restart;                // [REGRESTART]
    TextList working_dir;                     // [WORKINGDIR]
    TextList licence_text;                    // [LICENSETEXT]
    TextList auto_launch;                     // [AUTOLAUNCH]
    TextList desktop_icons;                   // [DESKTOPICON]
    TextList small_image;                     // [SMALLIMAGE]
    TextList background_image;                // [BACKGROUNDIMAGE]
    TextList kill_dirs;                       // [KILLDIRS]
    TextList directx;                         // [DIRECTX]
    TextList install_dir_text;                // [INSTALLDIRTEXT]
    TextList success_text;                    // [SUCCESSTEXT]
    TextList personalize_text;                // [PERSONALIZETEXT]
    TextList icons;                           // [ICONS]
    TextList delete_old_groups;               // [DELETEOLDGROUPS] (kept, not used)
    TextList delete_old_items;                // [DELETEOLDITEMS]
    TextList publisher_update;                // [KESTRAUPDATE]
    TextList publisher_error_text;            // [KESTRAERRORTEXT]
    TextList user_info_net;                   // [USERINFONET]
    TextList final_text_net;                  // [FINALTEXTNET]
    TextList stop_services_uninstall;         // [STOPSVCUNINSTALL]
    TextList stop_services_update;            // [STOPSVCUPDATE]
    TextList stop_programs;                   // [STOPPROGRAM]

    // Variants tested by "#if" lines.
    std::string variant_symbols;              // |NUMBER|NAME| for every [NORVNO] line
    std::string active_variant_name;          // no stage sets these yet: every valid "#if" holds
    std::string active_variant_number;        // "|NUMBER|"

    // Set by [READREGISTRY] when a value and its default are both missing; shown before the wizard.
    std::string pending_start_error;
};

}  // namespace rvx::installer
