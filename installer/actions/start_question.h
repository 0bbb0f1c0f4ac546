// The question the installer asks before anything else, from [INITTEXT].
#pragma once

#include "platform/platform.h"

namespace rvx::installer {

struct Answers;
struct ScriptSections;

// True to go on: the answer Yes, or no question at all (an empty [INITTEXT] or an unattended
// installation). The run sequence ends the installation on false.
bool AskStartQuestion(platform::UserInterface& ui, platform::Resources& resources, const ScriptSections& script,
                      const Answers& answers);

}  // namespace rvx::installer
