// Shortcut files of the simulated machine: the bytes of the format, read back by an independent
// reader, written through the machine's files, and never anywhere but where their path says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sandbox/shell_link.h"
#include "platform/shortcut_path.h"
#include "tests/support/lnk_reader.h"

namespace fs = std::filesystem;
using namespace rvx;
using platform::Status;
using test_support::ReadWithLnkinfo;

namespace {

uint32_t Read32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes.at(at + i))) << (8 * i);
    return value;
}

platform::ShortcutSpec ShortcutRequest(std::string link, std::string target, std::string working_folder = "") {
    platform::ShortcutSpec request;
    request.link_path = std::move(link);
    request.target = std::move(target);
    request.working_folder = std::move(working_folder);
    return request;
}

const std::string kMenu = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";

}  // namespace

TEST(ShellLinkFormat, HeaderLinkInformationAndStringsAreWhereTheFormatPutsThem) {
    platform::ShortcutSpec request = ShortcutRequest("C:\\Menu\\Tools\\Editor.lnk", "C:\\Prog\\edit.exe", "C:\\Work");
    sandbox::LinkTargetFacts facts;
    facts.size = 0x1'0000'04D2;  // only the low 32 bits are kept
    auto built = sandbox::BuildShellLink(request, facts);
    ASSERT_TRUE(built) << built.error().Describe();
    const std::string& bytes = built.value();
    EXPECT_EQ(Read32(bytes, 0), 0x4Cu);
    EXPECT_EQ(bytes.substr(4, 16), std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
    EXPECT_EQ(Read32(bytes, 0x14), 0x02u | 0x08u | 0x10u);  // link information, relative path, working folder
    EXPECT_EQ(Read32(bytes, 0x34), 0x4D2u);
    EXPECT_EQ(Read32(bytes, 0x3C), 1u);  // a normal window
    const uint32_t strings = 0x4C + Read32(bytes, 0x4C);
    EXPECT_EQ(bytes.substr(strings, 21), std::string("\x13\x00..\\..\\Prog\\edit.exe", 21));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(4, '\0'));  // the closing block

    request.arguments = std::string(0x10000, 'a');
    EXPECT_EQ(sandbox::BuildShellLink(request, facts).status(), Status::invalid_argument);
}

TEST(ShellLinkFormat, RelativePathsFollowTheShortcutsOwnFolder) {
    EXPECT_EQ(sandbox::RelativeTargetPath("C:\\Prog\\Run.lnk", "C:\\Prog\\run.exe"), ".\\run.exe");
    EXPECT_EQ(sandbox::RelativeTargetPath("C:\\PROG\\Sub\\Run.lnk", "c:\\prog\\bin\\run.exe"), "..\\bin\\run.exe");
    EXPECT_EQ(sandbox::RelativeTargetPath("C:\\A\\B\\Run.lnk", "C:\\A"), "..\\..\\A");
    EXPECT_EQ(sandbox::RelativeTargetPath("C:\\Prog\\Run.lnk", "D:\\Prog\\run.exe"), "");
}

TEST(ShellLinkFormat, AReaderOfTheFormatFindsEveryText) {
    const fs::path folder = test_support::MakeTempFolder("rvx-link");
    platform::ShortcutSpec request = ShortcutRequest("C:\\Menu\\Game.lnk", "D:\\Games\\play.exe", "D:\\Games\\Saves");
    request.arguments = "/full";
    request.description = "Play the game";
    sandbox::LinkTargetFacts facts;
    facts.drive_type = platform::DriveType::cdrom;
    facts.volume_serial = 0x12345678;
    std::ofstream(folder / "game.lnk", std::ios::binary) << sandbox::BuildShellLink(request, facts).value();
    const auto info = ReadWithLnkinfo(RVX_LNKINFO, folder / "game.lnk");
    EXPECT_EQ(info["Local path"], "D:\\Games\\play.exe") << info.output;
    EXPECT_EQ(info["Working directory"], "D:\\Games\\Saves") << info.output;
    EXPECT_EQ(info["Description"], "Play the game") << info.output;
    EXPECT_EQ(info["Command line arguments"], "/full") << info.output;
    EXPECT_EQ(info["Drive type"], "CDROM (5)") << info.output;
    EXPECT_EQ(info["Drive serial number"], "0x12345678") << info.output;
    EXPECT_EQ(info["Relative path"], "<none>") << info.output;  // another drive

    // A target without a drive keeps no link information, only the path as written.
    request = ShortcutRequest("C:\\Menu\\Pad.lnk", "notepad.exe");
    std::ofstream(folder / "pad.lnk", std::ios::binary) << sandbox::BuildShellLink(request, {}).value();
    const auto pad = ReadWithLnkinfo(RVX_LNKINFO, folder / "pad.lnk");
    EXPECT_EQ(pad["Relative path"], "notepad.exe") << pad.output;
    EXPECT_EQ(pad["Local path"], "<none>") << pad.output;
    fs::remove_all(folder);
}

TEST(ShortcutPath, OnlyPathsThatStayWhereTheySayPass) {
    for (const char* good : {"C:\\Menu\\Tools\\Editor.lnk", "c:/Menu/Editor.lnk", "\\\\server\\share\\Editor.lnk",
                             "C:\\Menu\\.lnk", "C:\\Menu\\..name.lnk", "C:\\Menu\\CONSOLE.lnk", "C:\\Menu\\COM0.lnk"})
        EXPECT_TRUE(platform::CheckShortcutPath(good)) << good;
    for (const char* bad : {"C:\\Menu\\..\\..\\Editor.lnk", "C:\\Menu\\...\\Editor.lnk", "C:\\Menu\\. .\\Editor.lnk",
                            "C:/Menu/../x.lnk", "C:\\Menu\\a|b.lnk", "C:\\Menu\\a:b.lnk", "C:\\Menu\\tab\there.lnk",
                            "C:\\Menu\\con.lnk", "C:\\Menu\\LPT1 .lnk", "C:\\Menu\\", "Menu\\Editor.lnk",
                            "\\\\.\\C:\\x.lnk", "\\\\?\\C:\\x.lnk", ""})
        EXPECT_EQ(platform::CheckShortcutPath(bad).status(), Status::invalid_argument) << bad;
    EXPECT_TRUE(platform::CheckShortcutPath("C:\\" + std::string(256, 'n')));
    EXPECT_FALSE(platform::CheckShortcutPath("C:\\" + std::string(257, 'n')));
}

TEST(MachineShortcuts, WrittenThroughTheMachinesFilesWithWhatItKnowsOfTheTarget) {
    test_support::TempMachine temp;
    platform::Platform& machine = temp.Start("C:\\Setup\\Rovexa.exe", "");
    temp.PutFile("C:\\Prog\\edit.exe", std::string(1234, 'x'));
    fs::create_directories(temp.HostPath(kMenu + "\\Tools"));
    platform::ShortcutSpec request = ShortcutRequest(kMenu + "\\Tools\\Editor.lnk", "C:\\Prog\\edit.exe", "C:\\Prog");
    ASSERT_TRUE(machine.shell.CreateShortcut(request));
    const auto info = ReadWithLnkinfo(RVX_LNKINFO, temp.HostPath(request.link_path));
    EXPECT_EQ(info["Local path"], "C:\\Prog\\edit.exe") << info.output;
    EXPECT_EQ(info["Working directory"], "C:\\Prog") << info.output;
    EXPECT_EQ(info["Relative path"], "..\\..\\..\\..\\..\\Prog\\edit.exe") << info.output;
    EXPECT_EQ(info["File size"], "1234 bytes") << info.output;
    EXPECT_EQ(info["Drive type"], "Fixed (3)") << info.output;

    // The machine's rules of a save: a read-only shortcut stays, a missing folder is not made.
    ASSERT_TRUE(machine.files.WriteAttributes(request.link_path, platform::attributes::read_only));
    EXPECT_EQ(machine.shell.CreateShortcut(request).status(), Status::access_denied);
    request.link_path = kMenu + "\\Nowhere\\Editor.lnk";
    EXPECT_EQ(machine.shell.CreateShortcut(request).status(), Status::path_not_found);

    // Names that would leave their folder are refused, and nothing is written anywhere.
    for (const char* name : {"..\\..\\..\\Escaped", "...\\Escaped", "Sub/../../Escaped", "Bad|Name", "NUL"}) {
        request.link_path = kMenu + "\\Tools\\" + name + ".lnk";
        EXPECT_EQ(machine.shell.CreateShortcut(request).status(), Status::invalid_argument) << name;
    }
    size_t shortcuts = 0;
    for (const auto& entry : fs::recursive_directory_iterator(temp.folder())) shortcuts += entry.path().extension() == ".lnk";
    EXPECT_EQ(shortcuts, 1u);
}
