// Creating folder paths, removing folder trees (a very deep one too) and deleting wildcard
// matches on a simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "installer/script/folder_operations.h"
#include "tests/support/forwarding_files.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::CreateFolderPath;
using installer::DeleteMatchingFiles;
using installer::RemoveFolderTree;
using platform::Status;
using test_support::TempMachine;

namespace {

struct Machine {
    explicit Machine(const sandbox::MachineConfig& config = sandbox::MachineConfig::Default())
        : temp(config), files(temp.Start("C:\\Setup\\Rovexa.exe", "").files) {}
    bool Has(const std::string& path) { return platform::Exists(files, path); }
    TempMachine temp;
    platform::FileSystem& files;
};

// Passes every call on, noting how far apart the stack frames of the listings lie: a walk
// that recursed once per folder level would spread them over the whole depth.
class StackWatch : public test_support::ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    uintptr_t spread() const { return highest_ - lowest_; }

    platform::Result<std::vector<platform::FoundEntry>> FindFiles(std::string_view pattern) override {
        const auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        lowest_ = lowest_ == 0 ? frame : std::min(lowest_, frame);
        highest_ = std::max(highest_, frame);
        return files_.FindFiles(pattern);
    }

private:
    uintptr_t lowest_ = 0;
    uintptr_t highest_ = 0;
};

}  // namespace

TEST(FolderOperations, CreateFolderPathMakesEveryMissingLevel) {
    auto config = sandbox::MachineConfig::Default();
    config.denied_paths = {"C:\\Locked"};
    Machine machine(config);
    machine.temp.PutFile("C:\\Apps\\existing.txt", "");
    EXPECT_TRUE(CreateFolderPath(machine.files, "C:\\Apps\\Demo\\Bin\\"));
    EXPECT_TRUE(platform::IsFolder(machine.files, "C:\\Apps\\Demo\\Bin"));
    EXPECT_TRUE(CreateFolderPath(machine.files, "c:\\apps\\demo"));  // all there already

    machine.temp.PutFile("C:\\Apps\\Blocker", "a file");
    auto blocked = CreateFolderPath(machine.files, "C:\\Apps\\Blocker\\Sub");
    EXPECT_EQ(blocked.status(), Status::already_exists) << blocked.error().Describe();
    EXPECT_EQ(CreateFolderPath(machine.files, "C:\\Locked\\Sub").status(), Status::access_denied);
    EXPECT_EQ(CreateFolderPath(machine.files, "Q:\\Nowhere").status(), Status::path_not_found);
    EXPECT_FALSE(machine.Has("C:\\Locked"));
}

TEST(FolderOperations, RemoveFolderTreeDeletesNestedFoldersAndFiles) {
    auto config = sandbox::MachineConfig::Default();
    config.files_in_use = {"C:\\Busy\\Sub\\open.dll"};
    Machine machine(config);
    for (const char* file : {"C:\\Old\\a.txt", "C:\\Old\\Bin\\b.exe", "C:\\Old\\Bin\\Deep\\er\\c.dat", "C:\\Old\\Empty\\x\\y.z",
                             "C:\\Busy\\Sub\\open.dll", "C:\\Busy\\Sub\\other.dll", "C:\\Busy\\free.txt",
                             "C:\\Dotted\\.keep", "C:\\Dotted\\plain.txt"})
        machine.temp.PutFile(file, "x");
    EXPECT_TRUE(RemoveFolderTree(machine.files, "C:\\Old\\"));
    EXPECT_FALSE(machine.Has("C:\\Old"));

    // What can be deleted is, the folders that still hold something stay.
    EXPECT_FALSE(RemoveFolderTree(machine.files, "C:\\Busy"));
    EXPECT_TRUE(machine.Has("C:\\Busy\\Sub\\open.dll"));
    EXPECT_FALSE(machine.Has("C:\\Busy\\Sub\\other.dll"));
    EXPECT_FALSE(machine.Has("C:\\Busy\\free.txt"));

    // Names starting with a dot are never touched.
    EXPECT_FALSE(RemoveFolderTree(machine.files, "C:\\Dotted"));
    EXPECT_TRUE(machine.Has("C:\\Dotted\\.keep"));
    EXPECT_FALSE(machine.Has("C:\\Dotted\\plain.txt"));

    EXPECT_FALSE(RemoveFolderTree(machine.files, "C:\\Missing"));
}

TEST(FolderOperations, RemoveFolderTreeKeepsTheStackFlatOnADeepTree) {
    Machine machine;
    // One-letter names keep the host path within its length limit. The simulated machine looks
    // up every level of every path it is given, so the cost grows with the cube of the depth:
    // 500 levels keep the test to seconds while a recursive walk already shows in the spread.
    constexpr int kDepth = 500;
    std::filesystem::path host = machine.temp.HostPath("C:\\T");
    std::string windows = "C:\\T";
    for (int level = 0; level < kDepth; ++level) {
        host /= "d";
        windows += "\\d";
    }
    std::filesystem::create_directories(host);
    std::ofstream(host / "bottom.txt") << "x";
    machine.temp.PutFile("C:\\T\\d\\d\\note.txt", "x");
    ASSERT_TRUE(machine.Has(windows + "\\bottom.txt"));

    StackWatch watch(machine.files);
    EXPECT_TRUE(RemoveFolderTree(watch, "C:\\T"));
    EXPECT_FALSE(machine.Has("C:\\T"));
    EXPECT_LT(watch.spread(), 16u * 1024) << "the walk recursed";
}

TEST(FolderOperations, DeleteMatchingFilesDeletesFilesOnly) {
    auto config = sandbox::MachineConfig::Default();
    config.files_in_use = {"C:\\Work\\busy.tmp"};
    Machine machine(config);
    for (const char* file : {"C:\\Work\\a.tmp", "C:\\Work\\B.TMP", "C:\\Work\\keep.txt", "C:\\Work\\dir.tmp\\inside.tmp"})
        machine.temp.PutFile(file, "x");
    EXPECT_TRUE(DeleteMatchingFiles(machine.files, "C:\\Work\\*.tmp"));
    EXPECT_FALSE(machine.Has("C:\\Work\\a.tmp"));
    EXPECT_FALSE(machine.Has("C:\\Work\\B.TMP"));
    EXPECT_TRUE(machine.Has("C:\\Work\\keep.txt"));
    EXPECT_TRUE(machine.Has("C:\\Work\\dir.tmp\\inside.tmp"));
    EXPECT_TRUE(DeleteMatchingFiles(machine.files, "C:\\Work\\*.none"));  // nothing to delete

    machine.temp.PutFile("C:\\Work\\busy.tmp", "x");
    machine.temp.PutFile("C:\\Work\\c.tmp", "x");
    EXPECT_FALSE(DeleteMatchingFiles(machine.files, "C:\\Work\\*.tmp"));
    EXPECT_FALSE(machine.Has("C:\\Work\\c.tmp"));
    EXPECT_TRUE(machine.Has("C:\\Work\\busy.tmp"));
}
