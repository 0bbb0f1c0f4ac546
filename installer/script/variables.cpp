// Variables of the install script: the built-in and user variables that Expanded substitutes, the
// undefined-variable stop, the registry reader of "$" values and [READREGISTRY], and the
// substitutions of texts shown to the user.
#include "installer/script/variables.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/app/dialogs.h"
#include "common/system/common_files.h"
#include "common/system/root_keys.h"
#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/script/system_folders.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

// A value of another type is read as a fixed buffer of this size would receive it.
constexpr size_t kRawValueLimit = 500;

enum class Mode {
    plain,  // the value as it stands
    path,   // the value ends in exactly one "\", shared with a "\" that already follows
};

// Replaces every occurrence of name in text in one left-to-right pass; a value put in is not
// scanned again. value_of is called only when name occurs, so system folders and registry
// values are asked for only when a text needs them.
template <class ValueOf>
void Substitute(std::string& text, std::string_view name, Mode mode, ValueOf&& value_of) {
    size_t hit = text.find(name);
    if (hit == std::string::npos) return;
    std::string value = value_of();
    if (mode == Mode::path) value = path::RemoveTrailingBackslash(value);

    std::string out;
    out.reserve(text.size() + value.size() + 1);
    size_t pos = 0;
    while (hit != std::string::npos) {
        out.append(text, pos, hit - pos);
        out += value;
        pos = hit + name.size();
        if (mode == Mode::path && (pos >= text.size() || text[pos] != '\\')) out += '\\';
        hit = text.find(name, pos);
    }
    out.append(text, pos);
    text = std::move(out);
}

std::string WithoutQuotes(std::string_view value) {
    if (!value.empty() && value.front() == '"') value.remove_prefix(1);
    if (!value.empty() && value.back() == '"') value.remove_suffix(1);
    return std::string(value);
}

// A NAME=VALUE line as "%NAME%" and its value without its quotes; nothing unless the line gives
// exactly two fields.
struct NamedLine {
    std::string name;
    std::string value;
};
std::optional<NamedLine> ParseNamedLine(std::string_view line) {
    auto fields = text::SplitFields(line, "=");
    if (fields.size() != 2) return std::nullopt;
    return NamedLine{"%" + fields[0] + "%", WithoutQuotes(fields[1])};
}

void SubstituteSystemFolders(const ExpansionSources& from, std::string& text) {
    Substitute(text, "%SYSTEM%", Mode::path, [&] { return from.environment.SystemFolder(); });
    Substitute(text, "%WINDOWS%", Mode::path, [&] { return from.environment.WindowsFolder(); });
    Substitute(text, "%FONTDIR%", Mode::path, [&] { return FontsFolder(from.environment, from.files); });
    Substitute(text, "%COMFILESPATH%", Mode::plain,
               [&] { return system::CommonFilesFolder(from.registry, from.environment.WindowsFolder()); });
}

// In list order: each variable whose name occurs in the text as it stands when its line's turn
// comes. The index skips the lines whose names do not occur, so a value put in may still use a
// variable defined later in the list, never one defined earlier; and of two definitions of one
// name the first wins, unless a value in between brought the name back.
void SubstituteUserVariables(const ExpansionSources& from, std::string& text) {
    const UserVariables& variables = from.script.user_variables;
    for (auto at = variables.FirstNamedIn(text, 0); at; at = variables.FirstNamedIn(text, *at + 1)) {
        const auto definition = UserVariables::Parse(variables[*at]);
        const std::string value = WithoutQuotes(definition->value);
        Substitute(text, "%" + std::string(definition->name) + "%", Mode::plain, [&] {
            if (value.empty() || value.front() != '$') return value;
            // A registry reference that cannot be read stands for nothing.
            return ReadRegistrySpecification(from.registry, std::string_view(value).substr(1)).value_or(std::string());
        });
    }
}

void SubstituteInstallFolders(const ExpansionSources& from, std::string& text) {
    const Folders& folders = from.folders;
    Substitute(text, "%PROGFILES%", Mode::path, [&] { return folders.program_files; });
    Substitute(text, "%ROOTDRIVE%", Mode::path, [&] { return folders.windows_drive; });
    // Before the folder is chosen the reference stays, so that texts expanded early can be
    // expanded again once it is known.
    if (!folders.installation.empty())
        Substitute(text, "%DSTPATH%", Mode::path, [&] { return folders.installation; });
    Substitute(text, "%SRCPATH%", Mode::path, [&] { return folders.source; });
    Substitute(text, "%WRKPATH%", Mode::path, [&] { return folders.documents; });
    Substitute(text, "%EXEMPLEPATH%", Mode::path, [&] { return folders.documents + from.script.examples_subfolder; });
    Substitute(text, "%USER1%", Mode::plain, [&] { return from.user.name; });
    Substitute(text, "%USER2%", Mode::plain, [&] { return from.user.company; });
    Substitute(text, "%VERSION%", Mode::plain, [&] { return from.script.version; });
}

bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }

// The first "%" followed by capitals and then "%" or the end of the text, as written there.
std::optional<std::string> FirstVariableLeft(const std::string& text) {
    for (size_t start = text.find('%'); start != std::string::npos; start = text.find('%', start + 1)) {
        size_t end = start + 1;
        while (end < text.size() && IsCapital(text[end])) ++end;
        if (end == text.size()) return text.substr(start);
        if (text[end] == '%') return text.substr(start, end + 1 - start);
    }
    return std::nullopt;
}

// The text of a value as a fixed buffer would hold it: up to the first zero byte.
std::string ValueText(const platform::RegValue& value) {
    if (auto text = value.AsText(); text && value.type != platform::value_type::multi_string) return *text;
    // Other types read as raw bytes into the fixed buffer the installer has always used, so a
    // REG_DWORD of 65 reads as "A" and one of 0 as nothing.
    size_t size = std::min(value.data.size(), kRawValueLimit);
    auto end = std::find(value.data.begin(), value.data.begin() + static_cast<std::ptrdiff_t>(size), uint8_t{0});
    return std::string(value.data.begin(), end);
}

std::string LineOr(const TextList& lines, size_t index) { return index < lines.size() ? lines[index] : std::string(); }

}  // namespace

ExpansionSources::ExpansionSources(InstallState& state)
    : script(state.script()),
      folders(state.folders()),
      user(state.user()),
      environment(state.platform().environment),
      files(state.platform().files),
      registry(state.platform().registry),
      ui(state.platform().ui),
      resources(state.platform().resources) {}

namespace {

void SubstituteAll(const ExpansionSources& from, std::string& text) {
    // Every name substituted begins with "%": a text without one stays as it is.
    if (text.find('%') == std::string::npos) return;
    SubstituteSystemFolders(from, text);
    // User variables before the built-ins, so that their values may use built-ins.
    SubstituteUserVariables(from, text);
    SubstituteInstallFolders(from, text);
    // Again, for the built-ins that user variables brought in.
    SubstituteSystemFolders(from, text);
    Substitute(text, "%ROOTDRIVE%", Mode::path, [&] { return from.folders.windows_drive; });
}

enum class TextUse {
    script,   // a script line the installer acts on
    display,  // a text shown to the user, where "%VERSION" and "%PATCH" are markers
};

// The stop when text still holds an undefined variable, after its message. Only the first
// candidate is examined: an unexpanded "%DSTPATH%" there lets the text pass, and so does a
// display marker, which a title such as "Demo %VERSION" ends with.
std::optional<FatalStop> CheckDefined(const ExpansionSources& from, const std::string& text, TextUse use) {
    auto variable = FirstVariableLeft(text);
    if (!variable || *variable == "%DSTPATH%") return std::nullopt;
    if (use == TextUse::display && (*variable == "%VERSION" || *variable == "%PATCH")) return std::nullopt;
    ShowInstallerMessage(from.ui, from.resources,
                         text::FormatMessage(app::LoadText(from.resources, kUndefinedVariable), {*variable}),
                         platform::Buttons::ok, platform::Icon::stop);
    return FatalStop{*variable};
}

}  // namespace

std::optional<FatalStop> ExpandInPlace(const ExpansionSources& from, std::string& text) {
    SubstituteAll(from, text);
    return CheckDefined(from, text, TextUse::script);
}

Expansion Expanded(const ExpansionSources& from, std::string_view text) {
    std::string expanded(text);
    if (auto stop = ExpandInPlace(from, expanded)) return std::move(*stop);
    return expanded;
}

Expansion ExpandedDisplayText(const ExpansionSources& from, std::string_view text) {
    std::string expanded(text);
    SubstituteAll(from, expanded);
    if (auto stop = CheckDefined(from, expanded, TextUse::display)) return std::move(*stop);
    return SubstituteDisplayText(from.script, expanded);
}

std::string LookUpNamedValue(const TextList& list, std::string_view name) {
    for (const auto& line : list) {
        auto named = ParseNamedLine(line);
        if (named && named->name == name) return named->value;
    }
    return {};
}

std::optional<std::string> ReadRegistrySpecification(platform::Registry& registry, std::string_view where) {
    auto fields = text::SplitFields(where, ",");
    if (fields.size() < 3) return std::nullopt;
    auto root = system::RootKeyFromName(fields[0]);
    if (!root) return std::nullopt;
    // A key that cannot be opened fails the read like a missing value.
    auto value = registry.ReadValue(*root, fields[1], fields[2]);
    if (!value.ok()) return std::nullopt;
    return ValueText(value.value());
}

Completion ResolveReadRegistry(InstallState& app) {
    // Lines are appended to user_variables while reading these, never to read_registry; a copy
    // keeps the loop independent of either.
    const TextList groups = app.script().read_registry;
    // An incomplete last group is used as far as it goes: its missing lines count as empty.
    for (size_t first = 0; first < groups.size(); first += 3) {
        const Expansion line = Expanded(app, groups[first]);
        if (line.stopped()) return line.stop();
        auto fields = text::SplitFields(*line, "=");
        std::string name = fields.empty() ? std::string() : fields[0];
        std::string where = fields.size() < 2 ? std::string() : fields[1];

        std::string value;
        if (auto read = ReadRegistrySpecification(app.platform().registry, where)) {
            value = std::move(*read);
        } else {
            value = WithoutQuotes(LineOr(groups, first + 1));
            if (value.empty()) app.script().pending_start_error = LineOr(groups, first + 2);
        }
        Expansion variable = Expanded(app, name + " = \"" + value + "\"");
        if (variable.stopped()) return variable.stop();
        app.script().user_variables.push_back(std::move(*variable));
    }
    return Completion::Done();
}

std::string SubstituteDisplayText(const ScriptSections& script, std::string_view text) {
    // "%VERSION" without its closing "%" on purpose: "%VERSION%" keeps the "%" after the version.
    std::string out = text::ReplaceAll(text, "%VERSION", script.version);
    return text::ReplaceAll(out, "%PATCH", script.required_version);
}

std::string ConvertLineBreaks(std::string_view text) { return text::ReplaceAll(text, "\\n", "\n"); }

}  // namespace rvx::installer
