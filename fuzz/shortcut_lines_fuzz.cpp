// Fuzz target: the shortcut stage and the desktop shortcuts on arbitrary script lines ("-" starts
// a [DELETEOLDITEMS] line, "+" a [DESKTOPICON] line, any other line is an [ICONS] line), over one
// simulated machine kept for the whole run. Whatever the lines say, nothing outside the Programs
// menu and the desktop may appear or disappear.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "installer/core/install_app.h"
#include "installer/registration/shortcuts.h"
#include "installer/script/variables.h"
#include "tests/support/scratch_machine.h"

namespace fs = std::filesystem;

namespace {

struct Fixture {
    Fixture()
        : machine("rvx-shortcut-lines-fuzz", "/E"),
          menu(machine.DriveC("Documents and Settings/All Users/Start Menu/Programs").string()),
          desktop(machine.DriveC("Documents and Settings/All Users/Desktop").string()) {}

    // Every path on drive C except those in the two folders the stage may change.
    std::set<std::string> Outside() const {
        std::set<std::string> paths;
        for (const auto& entry : fs::recursive_directory_iterator(machine.DriveC(""))) {
            const std::string path = entry.path().string();
            if (path.starts_with(menu + "/") || path.starts_with(desktop + "/")) continue;
            paths.insert(path);
        }
        return paths;
    }

    rvx::test_support::ScratchMachine machine;
    std::string menu;
    std::string desktop;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    static const std::set<std::string> outside = fixture.Outside();
    fixture.machine.StartRun();
    rvx::installer::InstallApp app(fixture.machine.platform());
    if (!app.ProcessCommandLine()) __builtin_trap();
    app.folders().installation = "C:\\Fuzz";
    app.script().desktop_icons.push_back("Desktop icons");
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start <= input.size();) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(start, end - start);
        if (line.starts_with('-')) {
            app.script().delete_old_items.push_back(line.substr(1));
        } else if (line.starts_with('+')) {
            app.script().desktop_icons.push_back(line.substr(1));
        } else {
            app.script().icons.push_back(line);
        }
        start = end + 1;
    }
    // An undefined variable stops the installer; a valid outcome for a script line.
    if (!rvx::installer::RunShortcutStage(app).stopped()) (void)rvx::installer::CreateDesktopShortcuts(app);
    if (fixture.Outside() != outside) __builtin_trap();
    return 0;
}
