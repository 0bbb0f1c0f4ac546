// The library-search probe of the GUI tests: shows under the real loader that the restriction
// both programs make first keeps a library planted beside the program or in the current folder
// from loading by name, and that a medium's library loaded by full path finds its dependency
// beside it rather than a planted copy in the current folder.
//
//   rvxlibprobe.exe MEDIUM-LIBRARY     (from a current folder holding planted copies)
//
// It first loads the planted library once without the restriction, so that a loader which
// would never have found it cannot make the check pass. Prints one line per check; exit 0 when
// every check holds.
#include <cstdio>
#include <string>

#include "platform/win32/win32_library_search.h"

namespace {

constexpr const char* kPlanted = "rvxplanted.dll";
constexpr const char* kDependency = "rvxbeside.dll";

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(path, length);
}

std::string FolderOf(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool SameFolder(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: rvxlibprobe MEDIUM-LIBRARY\n");
        return 2;
    }
    const std::string medium_library = argv[1];
    bool held = true;

    HMODULE planted = LoadLibraryA(kPlanted);
    if (planted) {
        std::printf("unrestricted: %s loads from %s\n", kPlanted, ModulePath(planted).c_str());
        FreeLibrary(planted);
    } else {
        std::printf("unrestricted: %s does not load, so the check below could not fail: FAILED\n", kPlanted);
        held = false;
    }

    rvx::win32::RestrictLibrarySearch();

    planted = LoadLibraryA(kPlanted);
    if (planted) {
        std::printf("restricted: %s still loads from %s: FAILED\n", kPlanted, ModulePath(planted).c_str());
        held = false;
    } else {
        std::printf("restricted: %s is not loaded\n", kPlanted);
    }

    HMODULE library = rvx::win32::LoadLibraryByFullPath(medium_library);
    if (!library) {
        std::printf("full path: %s does not load (error %lu): FAILED\n", medium_library.c_str(), GetLastError());
        return 1;
    }
    const std::string dependency = ModulePath(GetModuleHandleA(kDependency));
    if (SameFolder(FolderOf(dependency), FolderOf(ModulePath(library)))) {
        std::printf("full path: %s loads its dependency from %s\n", medium_library.c_str(), dependency.c_str());
    } else {
        std::printf("full path: %s took its dependency from %s, not from beside it: FAILED\n", medium_library.c_str(),
                    dependency.empty() ? "nowhere" : dependency.c_str());
        held = false;
    }
    return held ? 0 : 1;
}
