// The system's entry point of every Windows program: the platform bound to the real machine,
// then the program's own run step (platform/program_entry.h).
#include "platform/program_entry.h"
#include "platform/win32/win32_library_search.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before any library is loaded on demand.
    rvx::win32::RestrictLibrarySearch();
    rvx::win32::Win32Platform machine(instance, rvx::platform::ProgramStrings(), rvx::platform::ProgramDialogs());
    return rvx::platform::RunProgram(machine.bundle);
}
