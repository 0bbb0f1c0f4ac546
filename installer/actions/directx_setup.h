// The DirectX step near the end of an installation: when the script names a minimum DirectX
// version ([DIRECTX]), the set-up library on the medium tells the installed one, and an older
// one is brought up to date by the library's own set-up, after the script's question.
#pragma once

#include "platform/platform.h"

namespace rvx::installer {

struct Folders;
struct RunFlags;
struct ScriptSections;

// [DIRECTX] lines, by position: required version (hexadecimal), required revision (hexadecimal),
// the redistributable's folder below the source folder (dsetup.dll lies in it). Every failure is
// reported at most once and none stops the installation; a set-up that needs a restart sets the
// restart flag.
void InstallDirectXIfNeeded(platform::Platform& platform, const ScriptSections& script, const Folders& folders,
                            RunFlags& flags);

// What the set-up is asked to do, as the library defines its flag bits.
inline constexpr unsigned kDirectXSetupFlags = 0x02010018;

}  // namespace rvx::installer
