// A user interface that cannot show some pages (as a build without their dialog templates):
// ShowPage fails for those dialog ids, everything else goes to the machine's own interface.
#pragma once

#include <set>

#include "platform/platform.h"

namespace rvx::test_support {

class PagelessUi : public platform::UserInterface {
public:
    PagelessUi(platform::UserInterface& inner, std::set<int> missing) : inner_(inner), missing_(std::move(missing)) {}

    platform::Result<platform::Answer> ShowMessage(const platform::MessageRequest& request) override {
        return inner_.ShowMessage(request);
    }
    platform::Result<int> ShowPage(platform::PageModel& page) override {
        if (missing_.count(page.dialog_id)) return platform::NotAvailableYet("this page");
        return inner_.ShowPage(page);
    }
    platform::Result<std::optional<std::string>> BrowseForFolder(std::string_view title, std::string_view initial) override {
        return inner_.BrowseForFolder(title, initial);
    }
    void ShowProgress(std::string_view caption) override { inner_.ShowProgress(caption); }
    void SetProgressText(int line, std::string_view text) override { inner_.SetProgressText(line, text); }
    void SetProgressBars(int file_percent, int total_percent) override { inner_.SetProgressBars(file_percent, total_percent); }
    void CloseProgress() override { inner_.CloseProgress(); }
    void ShowSearch(std::string_view text) override { inner_.ShowSearch(text); }
    void SetSearchFolder(std::string_view folder) override { inner_.SetSearchFolder(folder); }
    void CloseSearch() override { inner_.CloseSearch(); }
    platform::Outcome RegisterBackgroundClass() override { return inner_.RegisterBackgroundClass(); }
    platform::Outcome CreateBackground() override { return inner_.CreateBackground(); }
    void SetBackgroundLook(const platform::BackgroundLook& look) override { inner_.SetBackgroundLook(look); }
    void SetBackgroundTitle(std::string_view title) override { inner_.SetBackgroundTitle(title); }
    void DestroyBackground() override { inner_.DestroyBackground(); }
    void KeepAlive() override { inner_.KeepAlive(); }
    void ShowWaitCursor(bool waiting) override { inner_.ShowWaitCursor(waiting); }

private:
    platform::UserInterface& inner_;
    std::set<int> missing_;
};

// The same machine with that user interface.
inline platform::Platform WithUi(const platform::Platform& machine, platform::UserInterface& ui) {
    return platform::Platform{machine.files,    machine.registry,        machine.environment, machine.shell,
                              machine.services, machine.processes,       machine.power,       machine.fonts,
                              machine.program_manager, machine.resources, machine.directx,     ui,
                              machine.clock};
}

}  // namespace rvx::test_support
