// The font stage: registers the fonts that [FONTS] names with the system, so that they can be
// used at once and are listed again after the next start.
#pragma once

#include "platform/platform.h"

namespace rvx::installer {

struct CopyState;
struct ScriptSections;

// For each "registry name, file name" line of [FONTS]: the file name becomes the value of that
// name under the system's fonts key, and the font in the fonts folder is added to the running
// session. Files the copy stage found already installed as the same font are passed over. False
// when the fonts key cannot be opened for writing or a line does not hold exactly two fields
// (the lines after it are not registered); nothing is reported either way.
bool RegisterFonts(platform::Platform& platform, const ScriptSections& script, const CopyState& copy);

}  // namespace rvx::installer
