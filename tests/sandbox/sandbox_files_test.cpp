// The simulated machine's file system: Windows semantics over host folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/sandbox/sandbox_files.h"
#include "platform/sandbox/wildcard.h"
#include "tests/support/temp_machine.h"

using namespace rvx::platform;
using rvx::sandbox::MachineConfig;
using rvx::sandbox::MatchesSearchPattern;
using rvx::test_support::TempMachine;

namespace {

MachineConfig ConfigWithRules() {
    MachineConfig config = MachineConfig::Default();
    config.files_in_use = {"C:\\WINDOWS\\system32\\busy.dll"};
    config.denied_paths = {"C:\\Locked"};
    return config;
}

Outcome Write(FileSystem& files, const std::string& path, const std::string& text) { return WriteWholeFile(files, path, text); }

}  // namespace

TEST(SandboxFiles, CreatesReadsAndFindsFilesIgnoringCase) {
    TempMachine temp;
    Platform& platform = temp.Start("C:\\Rovexa.exe", "");
    FileSystem& files = platform.files;

    ASSERT_TRUE(files.MakeFolder("c:\\program files\\Demo"));
    ASSERT_TRUE(Write(files, "C:\\PROGRAM FILES\\demo\\ReadMe.txt", "hello"));
    EXPECT_EQ(temp.ReadFile("C:\\Program Files\\Demo\\ReadMe.txt"), "hello");
    EXPECT_EQ(ReadWholeFile(files, "c:\\program files\\DEMO\\README.TXT").value_or(""), "hello");
    EXPECT_EQ(files.ReadAttributes("C:\\Program Files\\Demo").value_or(0), attributes::directory);
    EXPECT_EQ(files.ReadAttributes("C:\\Program Files\\Demo\\readme.txt").value_or(0), attributes::archive);

    auto found = files.FindFiles("C:\\Program Files\\Demo\\*.TXT");
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(found->front().name, "ReadMe.txt");
    EXPECT_EQ(found->front().size, 5u);

    auto all = files.FindFiles("C:\\Program Files\\Demo\\*.*");
    ASSERT_TRUE(all);
    std::vector<std::string> names;
    for (const auto& entry : all.value()) names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "ReadMe.txt"}));
    // A drive's root has no "." and "..".
    auto root = files.FindFiles("C:\\*");
    ASSERT_TRUE(root);
    EXPECT_TRUE(std::none_of(root->begin(), root->end(), [](const FoundEntry& e) { return e.name == "."; }));
}

TEST(SandboxFiles, MissingFilesAndFoldersAnswerLikeTheSystem) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    EXPECT_EQ(files.ReadAttributes("C:\\WINDOWS\\nothing.txt").status(), Status::not_found);
    EXPECT_EQ(files.ReadAttributes("C:\\Nowhere\\nothing.txt").status(), Status::path_not_found);
    EXPECT_EQ(Write(files, "C:\\Nowhere\\x.txt", "x").status(), Status::path_not_found);
    EXPECT_EQ(files.FindFiles("C:\\WINDOWS\\*.none").status(), Status::not_found);
    EXPECT_EQ(files.FindFiles("C:\\Nowhere\\*.*").status(), Status::path_not_found);
    EXPECT_EQ(files.MakeFolder("C:\\WINDOWS").status(), Status::already_exists);
    EXPECT_EQ(files.MakeFolder("C:\\A\\B").status(), Status::path_not_found);
    EXPECT_EQ(files.ReadAttributes("Q:\\x").status(), Status::path_not_found);
    EXPECT_EQ(files.Open(OpenRequest{"C:\\WINDOWS", Access::read, share::read, Disposition::open_existing}).status(),
              Status::access_denied);
}

TEST(SandboxFiles, FilesInUseCannotBeChangedButCanBeRead) {
    TempMachine temp(ConfigWithRules());
    temp.PutFile("C:\\WINDOWS\\system32\\busy.dll", "old");
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    EXPECT_EQ(files.RemoveFile("C:\\windows\\SYSTEM32\\Busy.dll").status(), Status::sharing_violation);
    EXPECT_EQ(Write(files, "C:\\WINDOWS\\system32\\busy.dll", "new").status(), Status::sharing_violation);
    EXPECT_EQ(files.RenameFile("C:\\WINDOWS\\system32\\busy.dll", "C:\\WINDOWS\\x.dll").status(), Status::sharing_violation);
    EXPECT_EQ(ReadWholeFile(files, "C:\\WINDOWS\\system32\\busy.dll").value_or(""), "old");
    EXPECT_EQ(temp.ReadFile("C:\\WINDOWS\\system32\\busy.dll"), "old");
}

TEST(SandboxFiles, FilesInUseRefuseEveryOpenThatSharesNothing) {
    TempMachine temp(ConfigWithRules());
    temp.PutFile("C:\\WINDOWS\\system32\\busy.dll", "old");
    temp.PutFile("C:\\WINDOWS\\system32\\free.dll", "free");
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    for (Access access : {Access::read, Access::write, Access::read_write}) {
        EXPECT_EQ(files.Open(OpenRequest{"C:\\WINDOWS\\SYSTEM32\\busy.dll", access, share::none, Disposition::open_existing})
                      .status(),
                  Status::sharing_violation);
        EXPECT_TRUE(files.Open(OpenRequest{"C:\\WINDOWS\\system32\\free.dll", access, share::none, Disposition::open_existing}));
    }
    // Shared for reading it still opens for reading.
    EXPECT_TRUE(files.Open(OpenRequest{"C:\\WINDOWS\\system32\\busy.dll", Access::read, share::read, Disposition::open_existing}));
    EXPECT_EQ(temp.ReadFile("C:\\WINDOWS\\system32\\busy.dll"), "old");
}

TEST(SandboxFiles, DeniedPathsAndReadOnlyDrivesRefuseChanges) {
    TempMachine temp(ConfigWithRules());
    temp.PutFile("C:\\Locked\\inside.txt", "keep");
    std::filesystem::path medium = rvx::test_support::MakeTempFolder("rvx-medium");
    ASSERT_TRUE(temp.machine().Mount({'D', DriveType::cdrom, 0, medium.string(), true}));
    FileSystem& files = temp.Start("D:\\Rovexa.exe", "").files;

    EXPECT_EQ(Write(files, "C:\\Locked\\new.txt", "x").status(), Status::access_denied);
    EXPECT_EQ(files.MakeFolder("C:\\Locked\\Sub").status(), Status::access_denied);
    EXPECT_EQ(files.RemoveFile("C:\\LOCKED\\inside.txt").status(), Status::access_denied);
    EXPECT_EQ(ReadWholeFile(files, "C:\\Locked\\inside.txt").value_or(""), "keep");
    EXPECT_EQ(Write(files, "D:\\x.txt", "x").status(), Status::access_denied);
    EXPECT_FALSE(std::filesystem::exists(medium / "x.txt"));
    EXPECT_EQ(files.DriveKind("D:\\"), DriveType::cdrom);
    EXPECT_EQ(files.DriveKind("E:\\"), DriveType::no_root);
    EXPECT_EQ(files.Drives(), (std::vector<char>{'C', 'D'}));
    std::filesystem::remove_all(medium);
}

TEST(SandboxFiles, RemovalAndRenameFollowTheSystemsRules) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(files.MakeFolder("C:\\Work"));
    ASSERT_TRUE(Write(files, "C:\\Work\\a.txt", "a"));
    EXPECT_EQ(files.RemoveFolder("C:\\Work").status(), Status::not_empty);
    EXPECT_EQ(files.RenameFile("C:\\Work\\a.txt", "C:\\Work\\A.TXT").status(), Status::already_exists);
    ASSERT_TRUE(files.RenameFile("C:\\Work\\a.txt", "C:\\Work\\b.txt"));
    EXPECT_EQ(files.RemoveFile("C:\\Work").status(), Status::access_denied);
    EXPECT_TRUE(files.ReadAttributes("Work\\b.txt"));
    ASSERT_TRUE(files.SetCurrentFolder("c:\\work"));
    EXPECT_EQ(files.CurrentFolder(), "C:\\Work");
    EXPECT_EQ(files.ReadAttributes("Work\\b.txt").status(), Status::path_not_found);  // the same text, from the new current folder
    EXPECT_EQ(ReadWholeFile(files, "b.txt").value_or(""), "a");  // relative to the current folder
    ASSERT_TRUE(files.RemoveFile("b.txt"));
    EXPECT_EQ(files.RemoveFolder("C:\\Work").status(), Status::sharing_violation);  // the current folder
    ASSERT_TRUE(files.SetCurrentFolder("C:\\"));
    EXPECT_TRUE(files.RemoveFolder("C:\\Work"));
    EXPECT_EQ(files.RemoveFolder("C:\\").status(), Status::access_denied);
}

TEST(SandboxFiles, OpenDispositions) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    auto request = [](Disposition disposition) {
        return OpenRequest{"C:\\f.bin", Access::read_write, share::none, disposition};
    };
    EXPECT_EQ(files.Open(request(Disposition::open_existing)).status(), Status::not_found);
    ASSERT_TRUE(files.Open(request(Disposition::create_new)));
    EXPECT_EQ(files.Open(request(Disposition::create_new)).status(), Status::already_exists);
    {
        auto file = files.Open(request(Disposition::open_always));
        ASSERT_TRUE(file);
        ASSERT_TRUE(file.value()->Write("abcdef", 6));
        EXPECT_EQ(file.value()->Seek(-2, SeekFrom::end).value_or(0), 4u);
        char tail[4] = {};
        EXPECT_EQ(file.value()->Read(tail, sizeof tail).value_or(0), 2u);
        EXPECT_EQ(std::string(tail, 2), "ef");
    }
    {
        auto reader = files.Open(OpenRequest{"C:\\f.bin", Access::read, share::read, Disposition::open_existing});
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader.value()->Write("x", 1).status(), Status::access_denied);
        EXPECT_EQ(reader.value()->Size().value_or(0), 6u);
    }
    ASSERT_TRUE(files.Open(request(Disposition::create_always)));
    EXPECT_EQ(temp.ReadFile("C:\\f.bin"), "");
}

TEST(SandboxFiles, ReadsAndWritesAtTheHandlesOwnPosition) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    auto file = files.Open(OpenRequest{"C:\\pos.bin", Access::read_write, share::none, Disposition::create_always});
    ASSERT_TRUE(file);
    File& handle = *file.value();
    ASSERT_TRUE(handle.Write("0123456789", 10));
    // Back and over: the write replaces bytes in the middle and the size stays.
    EXPECT_EQ(handle.Seek(3, SeekFrom::begin).value_or(0), 3u);
    ASSERT_TRUE(handle.Write("ab", 2));
    EXPECT_EQ(handle.Seek(-1, SeekFrom::current).value_or(0), 4u);
    char got[3] = {};
    EXPECT_EQ(handle.Read(got, sizeof got).value_or(0), 3u);
    EXPECT_EQ(std::string(got, 3), "b56");
    // Before the start: refused, and the position stays where it was.
    EXPECT_FALSE(handle.Seek(-8, SeekFrom::current));
    EXPECT_EQ(handle.Seek(0, SeekFrom::current).value_or(0), 7u);
    // Beyond the end: a write there leaves zeros in between.
    EXPECT_EQ(handle.Seek(2, SeekFrom::end).value_or(0), 12u);
    ASSERT_TRUE(handle.Write("z", 1));
    EXPECT_EQ(handle.Size().value_or(0), 13u);
    EXPECT_EQ(handle.Read(got, sizeof got).value_or(9), 0u);
    file.value().reset();
    EXPECT_EQ(temp.ReadFile("C:\\pos.bin"), std::string("012ab56789\0\0z", 13));
}

TEST(SandboxFiles, MovesBytesBetweenTwoFilesAsAReadAndAWriteWould) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    std::string content(200000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 % 251);
    ASSERT_TRUE(Write(files, "C:\\src.bin", content));
    const uint64_t free_before = files.FreeSpace("C:\\").value().free_bytes;
    // The source's size asked (as the copy asks it), and not asked: the same bytes either way.
    for (const bool measured : {true, false}) {
        SCOPED_TRACE(measured);
        auto source = files.Open(OpenRequest{"C:\\src.bin", Access::read, share::read, Disposition::open_existing});
        auto target = files.Open(OpenRequest{"C:\\dst.bin", Access::write, share::none, Disposition::create_always});
        ASSERT_TRUE(source && target);
        if (measured) {
            ASSERT_EQ(source.value()->Size().value_or(0), content.size());
        }
        ASSERT_TRUE(source.value()->Seek(5, SeekFrom::begin));
        ASSERT_TRUE(target.value()->Write("head", 4));
        std::vector<char> buffer(65535);
        size_t total = 0;
        for (;;) {
            const Transfer moved = target.value()->WriteFrom(*source.value(), buffer.size(), buffer.data());
            ASSERT_FALSE(moved.read_error || moved.write_error);
            if (moved.moved == 0) break;
            EXPECT_LE(moved.moved, buffer.size());
            total += moved.moved;
        }
        EXPECT_EQ(total, content.size() - 5);
        EXPECT_EQ(target.value()->Seek(0, SeekFrom::current).value_or(0), 4 + total);
        EXPECT_EQ(files.FreeSpace("C:\\").value().free_bytes, free_before - 4 - total);
        target.value().reset();
        EXPECT_TRUE(temp.ReadFile("C:\\dst.bin") == "head" + content.substr(5));
    }
    // Into a file open for reading only: the write side fails, and says so.
    auto source = files.Open(OpenRequest{"C:\\src.bin", Access::read, share::read, Disposition::open_existing});
    auto read_only = files.Open(OpenRequest{"C:\\dst.bin", Access::read, share::read, Disposition::open_existing});
    ASSERT_TRUE(source && read_only);
    ASSERT_TRUE(source.value()->Size());
    std::vector<char> buffer(100);
    const Transfer refused = read_only.value()->WriteFrom(*source.value(), buffer.size(), buffer.data());
    EXPECT_TRUE(refused.write_error && !refused.read_error);
    EXPECT_EQ(refused.moved, 0u);
}

TEST(SearchPattern, MatchesLikeTheSystemIgnoringCase) {
    EXPECT_TRUE(MatchesSearchPattern("*.dll", "Shared.DLL"));
    EXPECT_TRUE(MatchesSearchPattern("*.*", "README"));
    EXPECT_TRUE(MatchesSearchPattern("SETUP?.EXE", "setup1.exe"));
    EXPECT_FALSE(MatchesSearchPattern("SETUP?.EXE", "setup.exe"));
    EXPECT_TRUE(MatchesSearchPattern("a*b*c", "aXXbYYbc"));
    EXPECT_FALSE(MatchesSearchPattern("a*b*c", "aXXbYYbd"));
    EXPECT_TRUE(MatchesSearchPattern("*", ""));
    // Long names with many stars stay fast: no exponential back-tracking.
    EXPECT_FALSE(MatchesSearchPattern("*a*a*a*a*a*a*a*a*b", std::string(5000, 'a')));
}

TEST(SandboxFiles, ListsAFolderByItsUpperCaseNamesThenByTheNamesThemselves) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(files.MakeFolder("C:\\Order"));
    const std::filesystem::path folder = temp.HostPath("C:\\Order");
    for (const char* name : {"b.txt", "A.txt", "a.txt", "_x", "Z~", "ab", "a", "\xE9"}) std::ofstream(folder / name) << name;
    auto found = files.FindFiles("C:\\Order\\*");
    ASSERT_TRUE(found);
    std::vector<std::string> names;
    for (const auto& entry : found.value()) names.push_back(entry.name);
    // Bytes compare unsigned: the 8-bit name comes last.
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "a", "A.txt", "a.txt", "ab", "b.txt", "Z~", "_x", "\xE9"}));
    EXPECT_EQ(found->at(3).size, 5u);
}
