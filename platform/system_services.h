// System services the installer acts on beyond files and registry: the service manager,
// processes and top-level windows, restart, fonts, the program manager, the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"
#include "platform/shell.h"

namespace rvx::platform {

// The service control manager. The 95 family has none: every call answers unsupported.
class ServiceControl {
public:
    virtual ~ServiceControl() = default;
    // Opens the manager with full access (the administrator-rights test).
    virtual Outcome OpenManager() = 0;
    // Asks a service to stop without waiting for it; not_found when there is no such service.
    virtual Outcome Stop(std::string_view name) = 0;
    // Marks a service for deletion; not_found when there is no such service.
    virtual Outcome MarkForDeletion(std::string_view name) = 0;
};

struct StartRequest {
    std::string command_line;
    std::string folder;  // empty: the current folder
    ShowState show = ShowState::normal;
};

// Identifies a top-level window found by FindTopLevelWindow.
struct WindowRef {
    uint64_t id = 0;
};

class Processes {
public:
    virtual ~Processes() = default;
    // Starts a program and returns at once.
    virtual Outcome Start(const StartRequest& request) = 0;
    // Starts a program and waits for it to end, calling keep_alive while it waits; the program's exit code.
    virtual Result<uint32_t> StartAndWait(const StartRequest& request, const std::function<void()>& keep_alive) = 0;
    // Runs a command line the way the system's simple program start does (no wait).
    virtual Outcome RunCommand(std::string_view command_line, ShowState show) = 0;
    // An empty class name matches any class.
    virtual std::optional<WindowRef> FindTopLevelWindow(std::string_view class_name, std::string_view title) = 0;
    // Sends a menu command (WM_COMMAND) and waits until the window has handled it.
    virtual Outcome SendCommand(WindowRef window, uint32_t command_id) = 0;
};

class Power {
public:
    virtual ~Power() = default;
    // Takes the shutdown privilege where needed and restarts the computer.
    virtual Outcome Restart() = 0;
};

class Fonts {
public:
    virtual ~Fonts() = default;
    // Makes a font file available to the running session; the number of fonts added.
    virtual Result<int> AddFont(std::string_view path) = 0;
};

// Commands to the program manager ("[CreateGroup(...)]", "[DeleteGroup(...)]").
class ProgramManager {
public:
    virtual ~ProgramManager() = default;
    virtual Outcome Execute(std::string_view command) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(uint32_t milliseconds) = 0;
    virtual uint64_t Milliseconds() = 0;  // a monotonic count
};

}  // namespace rvx::platform
