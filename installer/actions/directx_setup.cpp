// The DirectX step.
#include "installer/actions/directx_setup.h"

#include <cstdint>
#include <string>

#include "common/app/dialogs.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

// The negative results of the set-up have their texts at 40200 minus the result.
constexpr int kSetupResultTexts = 40200;

bool IsOlder(const platform::DirectXVersion& installed, const platform::DirectXVersion& required) {
    return installed.version < required.version ||
           (installed.version == required.version && installed.revision < required.revision);
}

void ReportSetupResult(platform::Platform& platform, int32_t result) {
    // Computed wide, so that no result can overflow the id; an id without a text shows nothing.
    const int64_t id = int64_t{kSetupResultTexts} - result;
    if (id > INT32_MAX) return;
    const std::string text = app::LoadText(platform.resources, static_cast<int>(id));
    // Ids whose text is a single blank stand for results that are not worth a message.
    if (text.size() > 2) ShowInstallerMessage(platform.ui, platform.resources, text, platform::Buttons::ok, platform::Icon::warning);
}

}  // namespace

void InstallDirectXIfNeeded(platform::Platform& platform, const ScriptSections& script, const Folders& folders,
                            RunFlags& flags) {
    const TextList& lines = script.directx;
    if (lines.empty()) return;
    // A section with fewer than three lines reads the missing ones as empty.
    auto line = [&lines](size_t index) { return index < lines.size() ? lines[index] : std::string(); };

    const std::string folder = path::Join(folders.source, line(2));
    auto library = platform.directx.Load(path::Join(folder, "dsetup.dll"));
    if (!library) {
        ShowInstallerMessage(platform.ui, platform.resources, app::LoadText(platform.resources, kDirectXLibraryMissing));
        return;
    }
    const platform::DirectXVersion required{text::ParseHexPrefix(line(0)), text::ParseHexPrefix(line(1))};
    // A library that cannot tell the installed version finds none installed: its own set-up
    // is then the one to decide what to bring up to date.
    const platform::DirectXVersion installed = library.value()->InstalledVersion().value_or(platform::DirectXVersion{});
    if (!IsOlder(installed, required)) return;

    if (const std::string& question = script.directx_question; !question.empty()) {
        const auto answer =
            ShowInstallerMessage(platform.ui, platform.resources, question, platform::Buttons::yes_no, platform::Icon::question, 2);
        if (answer != platform::Answer::yes) return;
    }

    auto result = library.value()->Run(folder, kDirectXSetupFlags);
    if (!result) return;  // the set-up could not be called: nothing it did to report
    if (result.value() == 1) flags.restart = true;
    else if (result.value() < 0) ReportSetupResult(platform, result.value());
    // The library is unloaded as it goes out of scope.
}

}  // namespace rvx::installer
