// The texts of the shell's error codes.
#include "installer/actions/open_error.h"

#include "common/app/dialogs.h"
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

std::string OpenErrorMessage(platform::Resources& resources, platform::ShellCode code) {
    std::string message = app::LoadText(resources, kOpenErrorIntro);
    for (const auto& entry : kCodeTexts)
        if (entry.code == code.value) return message + app::LoadText(resources, entry.text_id);
    return message + text::FormatMessage(app::LoadText(resources, kOpenErrorUnknown), {code.value});
}

void ShowOpenError(platform::UserInterface& ui, platform::Resources& resources, platform::ShellCode code) {
    (void)ShowInstallerMessage(ui, resources, OpenErrorMessage(resources, code), platform::Buttons::ok, platform::Icon::warning);
}

}  // namespace rvx::installer
