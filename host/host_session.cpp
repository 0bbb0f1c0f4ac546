// Running a Windows program on a simulated machine.
#include "host/host_session.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "common/app/exit_codes.h"
#include "platform/sandbox/console_responder.h"
#include "platform/sandbox/screen_pictures.h"
#include "platform/sandbox/scripted_responder.h"

namespace rvx::host {

namespace {

platform::DriveType DriveTypeFromName(const std::string& name) {
    if (name == "removable") return platform::DriveType::removable;
    if (name == "fixed") return platform::DriveType::fixed;
    if (name == "network") return platform::DriveType::remote;
    return platform::DriveType::cdrom;
}

}  // namespace

const char* DescribeExitCode(int code) {
    switch (code) {
    case app::kExitCompleted: return "completed";
    case app::kExitCouldNotStart: return "could not start";
    case app::kExitCancelled: return "cancelled by the user";
    case app::kExitFailed: return "failed";
    case app::kExitFatalStop: return "fatal stop";
    case app::kExitNotAvailableYet: return "stopped where this build has no further stages yet";
    case app::kExitUsage: return "wrong options";
    case app::kExitMachineError: return "machine folder error";
    case app::kExitAnswerScript: return "the answer script did not fit";
    default: return "unknown";
    }
}

int RunOnMachine(const RunOptions& options, const ProgramInfo& info,
                 const std::function<int(platform::Platform&)>& run_app) {
    auto machine = sandbox::Machine::Open(options.machine);
    if (!machine) {
        std::cerr << info.host_name << ": " << machine.error().Describe() << "\n";
        return app::kExitMachineError;
    }

    std::string program = options.program;
    if (!options.medium.empty()) {
        sandbox::DriveConfig medium;
        medium.letter = options.medium_drive;
        medium.type = DriveTypeFromName(options.medium_type);
        medium.host_folder = options.medium;
        medium.read_only = !options.medium_writable;
        platform::Outcome mounted;
        if (options.disks.empty()) {
            mounted = machine.value()->Mount(medium);
        } else {
            sandbox::DiskSet set{medium, {options.medium}};
            set.folders.insert(set.folders.end(), options.disks.begin(), options.disks.end());
            mounted = machine.value()->OfferDisks(std::move(set));
        }
        if (!mounted) {
            std::cerr << info.host_name << ": cannot mount the medium: " << mounted.error().Describe() << "\n";
            return app::kExitMachineError;
        }
        if (program.empty()) program = std::string(1, options.medium_drive) + ":\\" + info.default_program;
    }
    if (program.empty()) {
        std::string folder = options.cwd.empty() ? "C:\\" : options.cwd;
        if (folder.back() != '\\') folder += '\\';
        program = folder + info.default_program;
    }

    std::unique_ptr<sandbox::Responder> responder;
    if (options.ui.rfind("script:", 0) == 0) {
        const std::string file = options.ui.substr(7);
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << info.host_name << ": cannot read the answer script " << file << "\n";
            return app::kExitUsage;
        }
        std::ostringstream text;
        text << in.rdbuf();
        auto scripted = sandbox::ScriptedResponder::Parse(text.str(), file);
        if (!scripted) {
            std::cerr << info.host_name << ": " << scripted.error().detail << "\n";
            return app::kExitUsage;
        }
        responder = std::make_unique<sandbox::ScriptedResponder>(std::move(scripted.value()));
    } else {
        responder = std::make_unique<sandbox::ConsoleResponder>(std::cin, std::cout);
    }

    sandbox::ProgramStart start{program, options.command_line ? *options.command_line : WindowsCommandLine(options.arguments),
                                options.cwd, info.strings, info.dialogs};
    int code = app::kExitFailed;
    {
        sandbox::ScreenPictures pictures(*machine.value(), info.dialogs);
        sandbox::ProgramSession session(*machine.value(), start, *responder, &pictures);
        pictures.TranslateWith(session.platform().resources);
        code = run_app(session.platform());
        // The program has ended here; what it left to run afterwards (a batch file) runs as the
        // session closes, after this line. A program whose answers stopped fitting did not end
        // of its own accord: its exit code says nothing.
        if (!responder->mismatch())
            (void)machine.value()->journal().Write("EXIT", {sandbox::Word("code", std::to_string(code))});
    }
    if (const std::optional<std::string>& mismatch = responder->mismatch()) {
        std::cerr << info.host_name << ": " << *mismatch << "\n";
        (void)machine.value()->journal().Write("STOPPED", {sandbox::Field("reason", *mismatch)});
        return app::kExitAnswerScript;
    }
    if (auto* scripted = dynamic_cast<sandbox::ScriptedResponder*>(responder.get()); scripted && scripted->remaining() > 0)
        std::cerr << info.host_name << ": note: " << scripted->remaining() << " answer(s) of the answer script were not used\n";
    std::cerr << info.host_name << ": exit code " << code << " (" << DescribeExitCode(code) << ")\n";
    return code;
}

}  // namespace rvx::host
