// The system's entry point of every Windows program: the platform bound to the real machine,
// then the program's own run step (platform/program_entry.h).
#include "platform/program_entry.h"
#include "platform/win32/win32_library_search.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before any library is loaded on demand. What the system loads for the program's own
    // imports before this line (the common controls and what they load in turn) is beyond an
    // in-program restriction.
    rvx::win32::RestrictLibrarySearch();
    rvx::win32::Win32Platform machine(instance, rvx::platform::ProgramStrings(), rvx::platform::ProgramDialogs());
    return rvx::platform::RunProgram(machine.bundle);
}
