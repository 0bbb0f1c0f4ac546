// The start question.
#include "installer/actions/start_question.h"

#include <string>

#include "installer/core/state/install_state.h"
#include "installer/script/variables.h"

namespace rvx::installer {

bool AskStartQuestion(InstallState& app) {
    const TextList& lines = app.script().init_text;
    if (lines.empty() || app.answers().unattended) return true;
    std::string question;
    for (const std::string& line : lines) question += SubstituteDisplayText(app.script(), line) + "\n";
    return app.Message(question, platform::Buttons::yes_no, platform::Icon::information, 2) == platform::Answer::yes;
}

}  // namespace rvx::installer
