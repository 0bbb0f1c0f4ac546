// The start question.
#include "installer/actions/start_question.h"

#include <string>

#include "installer/core/state/install_state.h"
#include "installer/script/variables.h"

namespace rvx::installer {

bool AskStartQuestion(platform::UserInterface& ui, platform::Resources& resources, const ScriptSections& script,
                      const Answers& answers) {
    const TextList& lines = script.init_text;
    if (lines.empty() || answers.unattended) return true;
    std::string question;
    for (const std::string& line : lines) question += SubstituteDisplayText(script, line) + "\n";
    return ShowInstallerMessage(ui, resources, question, platform::Buttons::yes_no, platform::Icon::information, 2) ==
           platform::Answer::yes;
}

}  // namespace rvx::installer
