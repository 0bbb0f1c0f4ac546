// rvxdrive.exe: the GUI tests' driver. It starts a program as the system would, then answers
// its message boxes, pages and folder browser from an answer script (the format of the host
// programs, docs/answer-scripts.md) with ordinary window messages, as a user's clicks would;
// it writes the transcript of every interaction in the simulated machine's journal spelling,
// and a screenshot of each, and of every modeless window as it closes (held for it by the hook
// of shot_hold.h, rvxhook.dll beside the driver). It fails with the pending window's description when what appears
// is not what the script expects.
//
//   rvxdrive SCRIPT TRANSCRIPT SHOTS-FOLDER run COMMAND LINE...
//   rvxdrive SCRIPT TRANSCRIPT SHOTS-FOLDER uninstall "ENTRY"
//
// "run" starts the rest of its command line unchanged; "uninstall" starts the UninstallString
// of that uninstall entry, unchanged, as the system's list of removable software does.
// Exit code: 0 when every answer was used and the program ended (its exit code is the
// transcript's last line), 1 when the script did not fit, 2 for a wrong command line.
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/text/text.h"
#include "platform/sandbox/scripted_responder.h"
#include "platform/sandbox/transcript.h"
#include "platform/win32/gui_driver/screenshot.h"
#include "platform/win32/gui_driver/shot_hold.h"
#include "platform/win32/gui_driver/window_reader.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_text_rules.h"

namespace rvx::gui_driver {
namespace {

// Why the driver stops before the program ends (the script does not fit what it shows, or a
// window does not take an answer); nothing while it goes on.
using Stop = std::optional<std::string>;

constexpr DWORD kPollMilliseconds = 50;
// The time a window's last painting needs to reach the screen before it is copied.
constexpr DWORD kPaintMilliseconds = 300;
// A held window has painted already; the screen only has to catch up.
constexpr DWORD kHeldPaintMilliseconds = 100;
// A program that shows nothing for this long while answers are left is taken to hang.
constexpr DWORD kQuietLimitMilliseconds = 60000;

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Options {
    std::string script;
    std::string transcript;
    std::string shots;
    std::string command_line;
};

// The next blank-separated word of text (quotes group blanks), and the text after it.
std::string NextWord(std::string& text) {
    std::string rest(text::TrimBlanks(text));
    std::string word;
    size_t position = 0;
    bool quoted = false;
    for (; position < rest.size() && (quoted || !text::IsBlank(rest[position])); ++position) {
        if (rest[position] == '"') quoted = !quoted;
        else word += rest[position];
    }
    text = rest.substr(position);
    return word;
}

std::optional<std::string> UninstallString(const std::string& entry) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kUninstallKey + entry).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char value[2048] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    const LONG read = RegQueryValueExA(key, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    return std::string(value);
}

std::optional<Options> ParseOptions(std::string& error) {
    std::string rest = win32::ArgumentsAfterProgramName(GetCommandLineA());
    Options options;
    options.script = NextWord(rest);
    options.transcript = NextWord(rest);
    options.shots = NextWord(rest);
    const std::string how = NextWord(rest);
    rest = std::string(text::TrimBlanks(rest));
    if (how == "run" && !rest.empty()) {
        options.command_line = rest;
    } else if (how == "uninstall" && !rest.empty()) {
        const std::string entry = NextWord(rest);
        auto command = UninstallString(entry);
        if (!command) {
            error = "the uninstall entry \"" + entry + "\" has no UninstallString";
            return std::nullopt;
        }
        options.command_line = *command;
    } else {
        error = "usage: rvxdrive SCRIPT TRANSCRIPT SHOTS-FOLDER (run COMMAND LINE | uninstall ENTRY)";
        return std::nullopt;
    }
    return options;
}

class Driver {
public:
    Driver(Options options, sandbox::ScriptedResponder responder)
        : options_(std::move(options)), responder_(std::move(responder)), transcript_(options_.transcript, std::ios::app) {}

    int Run() {
        Write("START", {sandbox::Field("command", options_.command_line)});
        if (!Start()) return 1;
        if (const Stop stop = Answer()) {
            std::fprintf(stderr, "rvxdrive: %s\n", stop->c_str());
            TerminateProcess(process_.hProcess, 1);
            return 1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        Write("EXIT", {sandbox::Word("code", std::to_string(code))});
        if (responder_.remaining() > 0) {
            std::fprintf(stderr, "rvxdrive: the program ended with exit code %lu, but %zu answers are left\n", code,
                         responder_.remaining());
            return 1;
        }
        return 0;
    }

private:
    bool Start() {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string line = options_.command_line;
        // No program name apart: the system finds the program in the command line itself. It
        // starts held, so that the hook is in place before its first window.
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                            &process_)) {
            std::fprintf(stderr, "rvxdrive: cannot start %s (error %lu)\n", line.c_str(), GetLastError());
            return false;
        }
        if (!PlaceShotHook()) {
            TerminateProcess(process_.hProcess, 1);
            return false;
        }
        ResumeThread(process_.hThread);
        return true;
    }

    // The hook in the program's main thread, where both programs show all their windows.
    bool PlaceShotHook() {
        shot_request_ = CreateEventA(nullptr, FALSE, FALSE, ShotRequestName(process_.dwProcessId).c_str());
        shot_taken_ = CreateEventA(nullptr, FALSE, FALSE, ShotTakenName(process_.dwProcessId).c_str());
        char own_path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(nullptr, own_path, MAX_PATH);
        std::string library(own_path, length);
        library = library.substr(0, library.find_last_of('\\') + 1) + kShotHookLibrary;
        HMODULE module = LoadLibraryA(library.c_str());
        auto* entry = module ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, kShotHookEntry))) : nullptr;
        if (shot_request_ && shot_taken_ && entry) hook_ = SetWindowsHookExA(WH_CBT, entry, module, process_.dwThreadId);
        if (!hook_) {
            std::fprintf(stderr, "rvxdrive: cannot place the window hook %s (error %lu)\n", library.c_str(), GetLastError());
            return false;
        }
        return true;
    }

    // Waits up to that long for a held window; shoots it and lets the program go on. True when
    // one was served.
    bool ServeShotRequest(DWORD milliseconds) {
        if (!shot_request_ || WaitForSingleObject(shot_request_, milliseconds) != WAIT_OBJECT_0) return false;
        for (const auto& window : FindWindows(process_.dwProcessId)) {
            if (window.kind != WindowKind::modeless) continue;
            // The program is held: nothing may be asked of its windows now, only the screen read.
            Sleep(kHeldPaintMilliseconds);
            SaveShot("window-" + std::to_string(window.dialog_id));
            break;
        }
        SetEvent(shot_taken_);
        return true;
    }

    bool Ended() { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

    // Answers every window the program shows until it ends.
    Stop Answer() {
        DWORD quiet = 0;
        while (!Ended()) {
            const auto windows = FindWindows(process_.dwProcessId);
            bool answered = false;
            for (const auto& window : windows) {
                if (window.kind == WindowKind::modeless) continue;  // shot when it closes
                // A modal window that another modal window has disabled is not the pending one.
                if (!IsWindowEnabled(window.window)) continue;
                if (Stop stop = AnswerWindow(window)) return stop;
                answered = true;
                break;
            }
            if (answered) {
                quiet = 0;
                continue;
            }
            if (ServeShotRequest(kPollMilliseconds)) quiet = 0;
            else quiet += kPollMilliseconds;
            if (quiet >= kQuietLimitMilliseconds && responder_.remaining() > 0) {
                std::string shown;
                for (const auto& window : windows) shown += "\n  " + DescribeWindow(window.window);
                return "the program shows nothing that can be answered" + (shown.empty() ? std::string() : ":" + shown);
            }
        }
        return std::nullopt;
    }

    Stop AnswerWindow(const PendingWindow& window) {
        Stop stop;
        switch (window.kind) {
        case WindowKind::page: stop = AnswerPage(window); break;
        case WindowKind::message_box: stop = AnswerMessageBox(window.window); break;
        case WindowKind::folder_browser: stop = AnswerBrowser(window.window); break;
        case WindowKind::modeless: break;
        }
        if (!stop) WaitUntilGone(window.window);
        return stop;
    }

    Stop AnswerPage(const PendingWindow& window) {
        Shoot("page-" + std::to_string(window.dialog_id), window.window);
        platform::PageModel page = ReadPage(window);
        const platform::PageModel before = page;
        std::vector<std::string> fields = sandbox::PageFields(page);
        const int button = responder_.AnswerPage(page);
        if (responder_.mismatch()) {
            fields.push_back("-> button=none");
            Write("PAGE", fields);
            return responder_.mismatch();
        }
        fields.push_back("-> " + sandbox::Word("button", std::to_string(button)));
        for (auto& field : sandbox::ChangedValueFields(before, page)) fields.push_back(std::move(field));
        Write("PAGE", fields);
        ApplyValues(window.window, before, page);
        if (!PressButton(window.window, button))
            return "button " + std::to_string(button) + " cannot be pressed on " + DescribeWindow(window.window);
        return std::nullopt;
    }

    Stop AnswerMessageBox(HWND box) {
        Shoot("message", box);
        const platform::MessageRequest request = ReadMessageBox(box);
        std::vector<std::string> fields = sandbox::MessageFields(request);
        const platform::Answer answer = responder_.AnswerMessage(request);
        if (responder_.mismatch()) {
            fields.push_back(sandbox::Word("answer", "none"));
            Write("MESSAGE", fields);
            return responder_.mismatch();
        }
        fields.push_back(sandbox::Word("answer", sandbox::AnswerName(answer)));
        Write("MESSAGE", fields);
        if (!PressButton(box, int(answer))) return "the message box has no such button: " + DescribeWindow(box);
        return std::nullopt;
    }

    Stop AnswerBrowser(HWND browser) {
        Shoot("browse", browser);
        const std::string title = ReadBrowserTitle(browser);
        auto folder = responder_.AnswerBrowse(title, "");
        if (responder_.mismatch()) return responder_.mismatch();
        Write("BROWSE", {sandbox::Field("title", title),
                         folder ? sandbox::Field("answer", *folder) : sandbox::Word("answer", "cancel")});
        if (folder && !SelectBrowserFolder(browser, process_.dwProcessId, *folder))
            return "the folder browser did not take \"" + *folder + "\"";
        PressButton(browser, folder ? IDOK : IDCANCEL);
        return std::nullopt;
    }

    void WaitUntilGone(HWND window) {
        while (IsWindow(window) && IsWindowVisible(window) && !Ended()) (void)ServeShotRequest(kPollMilliseconds);
    }

    void Shoot(const std::string& name, HWND window) {
        // The window paints what is pending before the screen is copied.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(kPaintMilliseconds);
        SaveShot(name);
    }

    void SaveShot(const std::string& name) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", ++shots_);
        const std::string path = options_.shots + "\\" + number + "-" + name + ".bmp";
        if (auto saved = SaveScreenshot(path); !saved)
            std::fprintf(stderr, "rvxdrive: no screenshot %s: %s\n", path.c_str(), saved.error().Describe().c_str());
    }

    void Write(const char* kind, const std::vector<std::string>& fields) {
        std::string line = kind;
        for (const auto& field : fields) line += " " + field;
        transcript_ << line << "\n";
        transcript_.flush();
    }

    Options options_;
    sandbox::ScriptedResponder responder_;
    std::ofstream transcript_;
    PROCESS_INFORMATION process_ = {};
    HANDLE shot_request_ = nullptr;
    HANDLE shot_taken_ = nullptr;
    HHOOK hook_ = nullptr;
    int shots_ = 0;
};

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace
}  // namespace rvx::gui_driver

int main() {
    using namespace rvx::gui_driver;
    std::string error;
    auto options = ParseOptions(error);
    if (!options) {
        std::fprintf(stderr, "rvxdrive: %s\n", error.c_str());
        return 2;
    }
    auto text = ReadWholeFile(options->script);
    if (!text) {
        std::fprintf(stderr, "rvxdrive: cannot read %s\n", options->script.c_str());
        return 2;
    }
    auto responder = rvx::sandbox::ScriptedResponder::Parse(*text, options->script);
    if (!responder) {
        std::fprintf(stderr, "rvxdrive: %s\n", responder.error().Describe().c_str());
        return 2;
    }
    return Driver(std::move(*options), std::move(responder.value())).Run();
}
