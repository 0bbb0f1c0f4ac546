// The transcript of user-interface interactions, one line per message box or page in the
// journal's spelling: the simulated machine writes it into its journal, and the Windows GUI
// driver writes the same lines for the real dialogs, so that both editions can be compared.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/user_interface.h"

namespace rvx::sandbox {

// key="escaped value"
std::string Field(std::string_view key, std::string_view value);
// key=value for values that never need quoting (numbers, single words).
std::string Word(std::string_view key, std::string_view value);

// The letter that names a control's kind in a transcript: t, e, m, x, r or b.
char KindLetter(platform::ControlKind kind);

// caption, text, buttons, icon and default button of a message box.
std::vector<std::string> MessageFields(const platform::MessageRequest& request);

// id and caption of a page, then one field per visible control: t106="static text",
// e101="edit value", x1009="1":"its text", b1="Next"; a "!" after the id marks a disabled control.
std::vector<std::string> PageFields(const platform::PageModel& page);

// The values the user changed on a page, one field per control whose value differs from before.
std::vector<std::string> ChangedValueFields(const platform::PageModel& before, const platform::PageModel& after);

}  // namespace rvx::sandbox
