// The texts of the shell's error codes.
#include "installer/actions/open_error.h"

#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

struct CodeText {
    int code;
    int text_id;
};

constexpr CodeText kCodeTexts[] = {
    {0, kOpenErrorOutOfMemory},         {2, kOpenErrorFileNotFound},       {3, kOpenErrorPathNotFound},
    {5, kOpenErrorAccessDenied},        {8, kOpenErrorNotEnoughMemory},    {11, kOpenErrorBadFormat},
    {26, kOpenErrorSharingViolation},   {27, kOpenErrorAssociationIncomplete}, {28, kOpenErrorDdeTimeout},
    {29, kOpenErrorDdeFailed},          {30, kOpenErrorDdeBusy},           {31, kOpenErrorNoAssociation},
    {32, kOpenErrorLibraryNotFound},
};

}  // namespace

std::string OpenErrorMessage(InstallState& app, platform::ShellCode code) {
    std::string message = app.Text(kOpenErrorIntro);
    for (const auto& entry : kCodeTexts)
        if (entry.code == code.value) return message + app.Text(entry.text_id);
    return message + text::FormatMessage(app.Text(kOpenErrorUnknown), {code.value});
}

void ShowOpenError(InstallState& app, platform::ShellCode code) {
    (void)app.Message(OpenErrorMessage(app, code), platform::Buttons::ok, platform::Icon::warning);
}

}  // namespace rvx::installer
