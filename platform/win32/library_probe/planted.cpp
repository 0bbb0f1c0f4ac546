// A library planted where a program might look for it by name (its own folder, the current
// folder): the probe checks that the restricted search never loads it.
#include "platform/win32/win32_api.h"

extern "C" __declspec(dllexport) int rvx_planted_marker() { return 1; }
