// How each section of the install script is stored: flags, values, lists, joined texts,
// numbers and the special handlers ([NORVNO], [PATCH], [FILES] wildcards, network variants).
#pragma once

#include <string_view>

#include "installer/core/state/install_state.h"
#include "installer/script/expansion.h"
#include "installer/script/section_catalogue.h"

namespace rvx::installer {

class InstallState;

// What the required-section check looks for, gathered while reading.
struct PresenceMarks {
    bool title = false;
    bool disk_id = false;
    bool size = false;
    bool default_folder = false;
    bool dialog_texts = false;
    bool variants = false;
    bool uninstall_file = false;
    bool version = false;
    bool end_marker = false;
    bool patch_mode = false;
};

class SectionStore {
public:
    explicit SectionStore(InstallState& app) : app_(app) {}

    // Empties what every reading starts without: lists, joined texts, the first-line-only web
    // values, the variant symbols. Single values and flags keep what an earlier reading stored.
    void ResetForReading();

    // A flag section's header raises its flag; true when code is one (its lines are not stored).
    bool SetFlagOf(Section code);
    // Sections whose empty lines are part of their text.
    static bool KeepsEmptyLines(Section code);

    // Stores one cleaned line of a section. Returns false when the section ends with this line
    // (the condition sections read only their first line); the stop for an undefined variable
    // in a line stored expanded.
    OrStop<bool> Store(Section code, std::string_view line);

    const PresenceMarks& marks() const { return marks_; }
    // The flags raised so far by this reading.
    ScriptFlags& flags() { return flags_; }
    const ScriptFlags& flags() const { return flags_; }
    void MarkEndReached() { marks_.end_marker = true; }

private:
    void StoreFilesLine(std::string_view line);
    // The plain form of a network-variant section is kept unless [NETINSTALL] came first; the
    // network form only after it.
    bool Kept(bool network_form) const;

    InstallState& app_;
    PresenceMarks marks_;
    ScriptFlags flags_;
    int web_info_lines_ = 0;
};

}  // namespace rvx::installer
