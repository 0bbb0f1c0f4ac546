// The dependency of the probe's medium library; one copy lies beside that library, another is
// planted in the current folder. Which copy the loader took is told by its path.
#include "platform/win32/win32_api.h"

extern "C" __declspec(dllexport) int rvx_beside_marker() { return 1; }
