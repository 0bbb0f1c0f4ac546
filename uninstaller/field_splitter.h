// The uninstaller's field splitter for registry lines and the warning condition. It is not the
// installer's: only double quotes group, only blanks are trimmed, and only the quotes at a
// field's two ends are removed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rvx::uninstaller {

// Splits text at ",". A run in double quotes may hold commas (single quotes mean nothing). Each
// field is trimmed of blanks (not tabs), then loses every double quote at its start and at its
// end; double quotes inside the field stay. Two commas in a row give an empty field; a comma at
// the very end gives no further field; an empty text gives no field.
std::vector<std::string> SplitUninstallFields(std::string_view text);

}  // namespace rvx::uninstaller
