// The user interface of the real machine: message boxes, the pages as modal dialogs from the
// programs' templates, the progress page and the search window as modeless dialogs, the shell's
// folder browser and the background window.
#pragma once

#include <span>

#include "platform/dialog_description.h"
#include "platform/files.h"
#include "platform/painting/background_painter.h"
#include "platform/user_interface.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_modeless.h"
#include "platform/win32/win32_resources.h"

namespace rvx::win32 {

// The background window's class name, which other programs of the product look for.
inline constexpr const char* kBackgroundClass = "TalmorRovexaNorvane";

class Win32UserInterface : public platform::UserInterface {
public:
    // Templates and pictures come from the resources' language library, else from the program.
    // dialogs: the program's page descriptions, for what a template cannot carry.
    // Pictures of the background window are read through files.
    Win32UserInterface(HINSTANCE instance, const Win32Resources& resources,
                       std::span<const platform::DialogDescription* const> dialogs, platform::FileSystem& files)
        : instance_(instance), resources_(resources), dialogs_(dialogs), files_(files) {}
    ~Win32UserInterface() override;
    Win32UserInterface(const Win32UserInterface&) = delete;
    Win32UserInterface& operator=(const Win32UserInterface&) = delete;

    platform::Result<platform::Answer> ShowMessage(const platform::MessageRequest& request) override;
    platform::Result<int> ShowPage(platform::PageModel& page) override;
    platform::Result<std::optional<std::string>> BrowseForFolder(std::string_view title, std::string_view initial) override;

    void ShowProgress(std::string_view caption) override;
    void SetProgressText(int line, std::string_view text) override;
    void SetProgressBars(int file_percent, int total_percent) override;
    void CloseProgress() override;

    void ShowSearch(std::string_view text) override;
    void SetSearchFolder(std::string_view folder) override;
    void CloseSearch() override;

    platform::Outcome RegisterBackgroundClass() override;
    platform::Outcome CreateBackground() override;
    void SetBackgroundLook(const platform::BackgroundLook& look) override { look_ = look; }
    void SetBackgroundTitle(std::string_view title) override;
    void DestroyBackground() override;

    void KeepAlive() override;
    void ShowWaitCursor(bool waiting) override;

    // The background window's painting (its window procedure calls it).
    void PaintBackground(HWND window);

private:
    DialogSource Source() const { return {resources_.language_module(), resources_.program_module(), dialogs_}; }
    // The owner of pages and boxes: the background window once it exists.
    HWND Owner() const { return background_; }

    // The look the installer asked for, and what the window shows once its title is set.
    platform::BackgroundLook look_;
    platform::painting::BackgroundScene scene_;
    HINSTANCE instance_;
    const Win32Resources& resources_;
    std::span<const platform::DialogDescription* const> dialogs_;
    platform::FileSystem& files_;
    ProgressWindow progress_;
    SearchWindow search_;
    HWND background_ = nullptr;  // owner of the message boxes once it exists
};

}  // namespace rvx::win32
