// How each section of the install script is stored.
#include "installer/script/section_store.h"

#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/script/variables.h"

namespace rvx::installer {

namespace {

// A number line: leading decimal digits with an optional sign; a line without them changes nothing.
bool ReadNumber(std::string_view line, long long& number) {
    std::string_view rest = text::TrimBlanks(line);
    size_t digits_at = (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) ? 1 : 0;
    if (digits_at >= rest.size() || rest[digits_at] < '0' || rest[digits_at] > '9') return false;
    number = text::ParseDecimalPrefix(rest);
    return true;
}

}  // namespace

void SectionStore::ResetForReading() {
    ScriptSections& s = app_.script();
    for (TextList* list :
         {&s.files, &s.uninstall_commands, &s.uninstall_commands_conditional, &s.read_registry, &s.init_text,
          &s.force_delete, &s.delete_files, &s.old_dir, &s.final_commands, &s.named_values,
          &s.registry_uninstall, &s.registry, &s.stop_services, &s.uninstall_stop_services, &s.search_install,
          &s.create_files, &s.fonts, &s.registry_restart, &s.working_dir, &s.licence_text, &s.auto_launch,
          &s.desktop_icons, &s.small_image, &s.background_image, &s.kill_dirs, &s.directx, &s.install_dir_text,
          &s.success_text, &s.personalize_text, &s.icons, &s.delete_old_groups, &s.delete_old_items,
          &s.publisher_update, &s.publisher_error_text, &s.user_info_net, &s.final_text_net,
          &s.stop_services_uninstall, &s.stop_services_update, &s.stop_programs})
        list->clear();
    s.user_variables.clear();
    s.uninstall_message.clear();
    s.warn_dir.clear();
    s.directx_question.clear();
    s.web_info_text.clear();
    s.web_link_id.clear();
    s.web_link.clear();
    s.variant_symbols.clear();
    marks_ = PresenceMarks{};
    web_info_lines_ = 0;
}

bool SectionStore::SetFlagOf(Section code) {
    ScriptFlags& flags = flags_;
    switch (code) {
    case Section::allow_version_update: flags.allow_version_update = true; return true;
    case Section::admin: flags.administrator_rights = true; return true;
    case Section::restart: flags.restart = true; return true;
    case Section::nt_only: flags.nt_only = true; return true;
    case Section::no_windows_95: flags.no_windows_95 = true; return true;
    case Section::install_over: flags.install_over = true; return true;
    case Section::no_search_previous: flags.no_search = true; return true;
    case Section::desktop_icon_on: flags.desktop_shortcut_on = true; return true;
    default: return false;
    }
}

bool SectionStore::KeepsEmptyLines(Section code) {
    return code == Section::init_text || code == Section::licence_text || code == Section::web_info_text ||
           code == Section::directx_question || code == Section::final_text_net;
}

bool SectionStore::Kept(bool network_form) const {
    // An earlier reading of the same run may have raised the flag already.
    return (app_.flags().network_install || flags_.network_install) == network_form;
}

OrStop<bool> SectionStore::Store(Section code, std::string_view line) {
    ScriptSections& s = app_.script();
    // Each line is copied once, into where it is kept.
    const std::string_view text = line;
    switch (code) {
    // Network variants.
    case Section::title:
    case Section::title_net:
        marks_.title = true;
        if (Kept(code == Section::title_net)) s.title.assign(text);
        break;
    case Section::default_dir:
    case Section::default_dir_net:
        if (Kept(code == Section::default_dir_net)) {
            Expansion folder = Expanded(app_, text);
            if (folder.stopped()) return folder.stop();
            app_.folders().default_folder = std::move(*folder);
            marks_.default_folder = true;
        }
        break;
    case Section::product_name:
    case Section::product_name_net:
        if (Kept(code == Section::product_name_net)) s.product_name.assign(text);
        break;
    case Section::strings:
    case Section::strings_net:
        if (Kept(code == Section::strings_net)) s.user_variables.emplace_back(text);
        break;
    case Section::registry_uninstall:
    case Section::registry_uninstall_net:
        if (Kept(code == Section::registry_uninstall_net)) s.registry_uninstall.emplace_back(text);
        break;
    case Section::registry:
    case Section::registry_net:
        if (Kept(code == Section::registry_net)) s.registry.emplace_back(text);
        break;

    // Single values.
    case Section::disk_id: s.disk_id.assign(text); marks_.disk_id = true; break;
    case Section::version: s.version.assign(text); marks_.version = true; break;
    case Section::uninstall_file: s.uninstall_file.assign(text); marks_.uninstall_file = true; break;
    case Section::uninstall_display: s.uninstall_display.assign(text); break;
    case Section::uninstall_name: s.uninstall_name.assign(text); break;
    case Section::uninstall_string: s.uninstall_string.assign(text); break;
    case Section::examples: s.examples_subfolder.assign(text); break;
    case Section::kill_dirs_text: s.kill_dirs_text.assign(text); break;
    case Section::web_button_text: s.web_button_text.assign(text); break;
    case Section::web_link_id: if (s.web_link_id.empty()) s.web_link_id.assign(text); break;
    case Section::web_link: if (s.web_link.empty()) s.web_link.assign(text); break;
    case Section::uninstall_message_condition: s.uninstall_message_condition.assign(text); return false;
    case Section::warn_dir_condition: s.warn_dir_condition.assign(text); return false;

    // Numbers.
    case Section::size: {
        long long number = s.size;
        if (ReadNumber(text, number)) s.size = number;
        marks_.size = true;
        break;
    }
    case Section::colours: {
        auto fields = text::SplitFields(text, ",");
        int* parts[] = {&app_.colours().red, &app_.colours().green, &app_.colours().blue};
        for (size_t i = 0; i < fields.size() && i < 3; ++i) {
            long long number = *parts[i];
            if (ReadNumber(fields[i], number)) *parts[i] = static_cast<int>(number);
        }
        break;
    }

    // Joined texts.
    case Section::uninstall_message: s.uninstall_message.append(text).append("\n"); break;
    case Section::warn_dir: s.warn_dir.append(text).append("\n"); break;
    case Section::directx_question: s.directx_question.append(text).append("\n"); break;
    case Section::web_info_text:
        s.web_info_text.append(web_info_lines_++ ? "\n" : "").append(text);
        break;

    // Special handlers.
    case Section::variants: {
        long long number = s.variant_number;
        if (ReadNumber(text, number)) s.variant_number = static_cast<int>(number);
        std::string symbol(text);
        if (size_t space = symbol.find(' '); space != std::string::npos) symbol[space] = '|';
        s.variant_symbols += "|" + symbol + "|";
        marks_.variants = true;
        break;
    }
    case Section::patch:
        // A line of exactly 100 characters is not a version.
        if (text.size() != 100) {
            s.required_version.assign(text);
            marks_.patch_mode = true;
        }
        break;
    case Section::publisher_update:
        s.publisher_update.emplace_back(text);
        flags_.publisher_update = true;
        break;
    case Section::files: StoreFilesLine(text); break;

    // Lists.
    case Section::install_dir_text: s.install_dir_text.emplace_back(text); marks_.dialog_texts = true; break;
    case Section::success_text: s.success_text.emplace_back(text); marks_.dialog_texts = true; break;
    case Section::personalize_text: s.personalize_text.emplace_back(text); marks_.dialog_texts = true; break;
    case Section::uninstall_commands: s.uninstall_commands.emplace_back(text); break;
    case Section::uninstall_commands_conditional: s.uninstall_commands_conditional.emplace_back(text); break;
    case Section::read_registry: s.read_registry.emplace_back(text); break;
    case Section::init_text: s.init_text.emplace_back(text); break;
    case Section::force_delete: s.force_delete.emplace_back(text); break;
    case Section::delete_files: s.delete_files.emplace_back(text); break;
    case Section::old_dir: s.old_dir.emplace_back(text); break;
    case Section::final_command: s.final_commands.emplace_back(text); break;
    case Section::sys_strings: s.named_values.emplace_back(text); break;
    case Section::stop_nt_services: s.stop_services.emplace_back(text); break;
    case Section::uninstall_stop_nt_services: s.uninstall_stop_services.emplace_back(text); break;
    case Section::search_install: s.search_install.emplace_back(text); break;
    case Section::create_files: s.create_files.emplace_back(text); break;
    case Section::fonts: s.fonts.emplace_back(text); break;
    case Section::registry_restart: s.registry_restart.emplace_back(text); break;
    case Section::working_dir: s.working_dir.emplace_back(text); break;
    case Section::licence_text: s.licence_text.emplace_back(text); break;
    case Section::auto_launch: s.auto_launch.emplace_back(text); break;
    case Section::desktop_icon: s.desktop_icons.emplace_back(text); break;
    case Section::small_image: s.small_image.emplace_back(text); break;
    case Section::background_image: s.background_image.emplace_back(text); break;
    case Section::kill_dirs: s.kill_dirs.emplace_back(text); break;
    case Section::directx: s.directx.emplace_back(text); break;
    case Section::icons: s.icons.emplace_back(text); break;
    case Section::delete_old_groups: s.delete_old_groups.emplace_back(text); break;
    case Section::delete_old_items: s.delete_old_items.emplace_back(text); break;
    case Section::publisher_error_text: s.publisher_error_text.emplace_back(text); break;
    case Section::user_info_net: s.user_info_net.emplace_back(text); break;
    case Section::final_text_net: s.final_text_net.emplace_back(text); break;
    case Section::stop_services_uninstall: s.stop_services_uninstall.emplace_back(text); break;
    case Section::stop_services_update: s.stop_services_update.emplace_back(text); break;
    case Section::stop_program: s.stop_programs.emplace_back(text); break;

    // Flag sections, [NETINSTALL], [NOVERSIONIDEM], [EOF] and the table's end store nothing.
    default: break;
    }
    return true;
}

// A "[FILES]" line with a wildcard becomes one line per file found on the medium, each ending
// in that file's size; a line without one is kept as written.
void SectionStore::StoreFilesLine(std::string_view line) {
    TextList& files = app_.script().files;
    const size_t star = line.find('*');
    if (star == std::string_view::npos) {
        files.emplace_back(line);
        return;
    }
    const std::string prefix(line.substr(0, star));
    const auto fields = text::SplitFields(line, ",");
    if (fields.empty()) return;
    // The pattern is joined to the source folder with exactly one "\", so that it does not
    // depend on the drive's current folder.
    const std::string pattern = path::Join(app_.folders().source, fields[0]);
    auto found = app_.platform().files.FindFiles(pattern);
    if (!found) return;
    std::string middle;
    for (size_t i = 1; i + 1 < fields.size(); ++i) middle += "," + fields[i];
    for (const auto& entry : found.value()) {
        if (entry.is_folder() || entry.name.empty() || entry.name[0] == '.') continue;
        files.push_back(prefix + entry.name + middle + "," + std::to_string(entry.size));
    }
}

}  // namespace rvx::installer
