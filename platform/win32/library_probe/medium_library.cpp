// A library of the medium with a dependency of its own (rvxbeside.dll), loaded by the probe by
// its full path as the installer loads the medium's set-up library.
#include "platform/win32/win32_api.h"

extern "C" int rvx_beside_marker();

extern "C" __declspec(dllexport) int rvx_medium_marker() { return rvx_beside_marker() + 1; }
