// What a language library holds for the installer: its string table and its dialog templates,
// decoded from the resources of the library's file (string blocks of 16 texts, DLGTEMPLATEEX or
// plain DLGTEMPLATE dialogs) into the program's ANSI code page (1252). The host reads a library
// with these alone; the Windows edition decodes the templates the system loaded with the same
// functions, so both take the same texts from the same file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/dialog_description.h"

namespace rvx::platform {

struct TemplateControl {
    int id = kNoControlId;
    DialogRect place;
    std::string text;  // empty when the template names a resource by number instead (an icon)
};

struct DialogTemplate {
    DialogRect place;
    std::string caption;
    std::vector<TemplateControl> controls;
};

struct LanguageLibrary {
    std::map<int, std::string> strings;
    std::map<int, DialogTemplate> dialogs;
};

// A UTF-16 text in code page 1252; a character the code page lacks becomes "?", as the
// system's conversion for the ANSI functions makes it.
std::string ToCodePage1252(std::u16string_view text);

// The texts of string block `block` (ids (block - 1) * 16 to block * 16 - 1) by id; empty slots
// are left out. Nothing when the block is cut off or is block 0, which cannot exist.
std::optional<std::map<int, std::string>> DecodeStringBlock(uint32_t block, std::span<const uint8_t> data);

// A dialog template, extended or plain. Nothing when any part runs past the data.
std::optional<DialogTemplate> DecodeDialogTemplate(std::span<const uint8_t> data);

// Every string and dialog of a library's image. Nothing when the bytes are not a Windows image
// with resources, or any string block or dialog template in it is damaged: such a library is
// not used at all, as one that cannot be loaded.
std::optional<LanguageLibrary> ReadLanguageLibrary(std::span<const uint8_t> image);

}  // namespace rvx::platform
