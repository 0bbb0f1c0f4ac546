// Machine folders: the default machine, its description file, and bad input left untouched.
#include "platform/sandbox/machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sandbox/folder_name_index.h"
#include "platform/sandbox/machine_config.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;
using platform::RootKey;
using sandbox::Machine;

TEST(Machine, AMissingFolderBecomesTheDefaultNtMachine) {
    fs::path base = test_support::MakeTempFolder("rvx-default");
    auto machine = Machine::Open((base / "m").string());
    ASSERT_TRUE(machine) << machine.error().Describe();
    EXPECT_EQ(machine.value()->config().version.family, platform::PlatformFamily::windows_nt);
    for (const char* folder : {"WINDOWS/system32", "Program Files/Common Files", "WINDOWS/Fonts",
                               "Documents and Settings/All Users/Start Menu/Programs", "Documents and Settings/All Users/Desktop"})
        EXPECT_TRUE(fs::is_directory(base / "m" / "drives" / "C" / folder)) << folder;
    auto& registry = machine.value()->registry();
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(registry.ReadValue(RootKey::local_machine, key, "programfilesdir").value().AsText(), "C:\\Program Files");
    EXPECT_EQ(registry.ReadValue(RootKey::local_machine, key, "CommonFilesDir").value().AsText(),
              "C:\\Program Files\\Common Files");
    EXPECT_TRUE(registry.KeyExists(RootKey::local_machine, std::string(key) + "\\Uninstall"));
    EXPECT_NE(test_support::Slurp(base / "m" / "registry.reg").find("Windows Registry Editor Version 5.00"), std::string::npos);
    fs::remove_all(base);
}

TEST(Machine, ALimitedNtUserCannotWriteTheMachinesSoftwareKeys) {
    fs::path base = test_support::MakeTempFolder("rvx-limited");
    for (auto family : {platform::PlatformFamily::windows_nt, platform::PlatformFamily::windows_95}) {
        for (bool administrator : {true, false}) {
            sandbox::MachineConfig config = sandbox::MachineConfig::Default();
            config.version.family = family;
            config.administrator = administrator;
            const fs::path folder = base / (std::to_string(static_cast<int>(family)) + (administrator ? "a" : "u"));
            ASSERT_TRUE(Machine::Create(folder.string(), config));
            auto machine = Machine::Open(folder.string());
            ASSERT_TRUE(machine) << machine.error().Describe();
            auto& registry = machine.value()->registry();
            const bool locked = family == platform::PlatformFamily::windows_nt && !administrator;
            const auto text = platform::RegValue::Text("x");
            EXPECT_EQ(registry.WriteValue(RootKey::local_machine, "Software\\Demo", "V", text).ok(), !locked) << folder;
            EXPECT_EQ(registry.CheckWritable(RootKey::local_machine, "SOFTWARE").ok(), !locked) << folder;
            EXPECT_EQ(registry.DeleteKey(RootKey::local_machine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce").ok(),
                      !locked)
                << folder;
            // Still readable, and the user's own keys and the system's other keys stay writable.
            EXPECT_TRUE(registry.ReadValue(RootKey::local_machine, "Software\\Microsoft\\Windows\\CurrentVersion",
                                           "ProgramFilesDir"))
                << folder;
            EXPECT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Demo", "V", text)) << folder;
            EXPECT_TRUE(registry.WriteValue(RootKey::local_machine, "SYSTEM\\Demo", "V", text)) << folder;
        }
    }
    fs::remove_all(base);
}

TEST(Machine, DescriptionRoundTripsThroughItsFile) {
    sandbox::MachineConfig config = sandbox::MachineConfig::Default();
    config.version = {platform::PlatformFamily::windows_95, 4, 0, 950};
    config.administrator = false;
    config.drives.push_back({'E', platform::DriveType::removable, 1440, "", false});
    config.files_in_use = {"C:\\WINDOWS\\SYSTEM\\X.DLL"};
    config.denied_paths = {"C:\\Secure"};
    config.windows = {{"Notepad", "Untitled - Notepad"}};
    config.environment = {{"PATH", "C:\\WINDOWS;C:\\WINDOWS\\COMMAND"}};
    config.display = {800, 600, 256};
    auto parsed = sandbox::ParseMachineConfig(sandbox::FormatMachineConfig(config), "machine.ini");
    ASSERT_TRUE(parsed) << parsed.error().Describe();
    EXPECT_EQ(sandbox::FormatMachineConfig(parsed.value()), sandbox::FormatMachineConfig(config));
    EXPECT_EQ(parsed->version.family, platform::PlatformFamily::windows_95);
    EXPECT_EQ(parsed->Drive('e')->size_kilobytes, 1440u);
    EXPECT_EQ(parsed->windows.at(0).title, "Untitled - Notepad");
    EXPECT_EQ(parsed->display.height, 600);
    EXPECT_EQ(parsed->display.colours, 256u);
}

TEST(Machine, MalformedDescriptionsNameFileAndLineAndChangeNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"[system]\nfamily=nt\nversion=5.x\n[drives]\nC=fixed,100\n", "line 3"},
        {"[system]\nfamily=2000\n[drives]\nC=fixed,100\n", "line 2"},
        {"family=nt\n", "line 1"},
        {"[drives]\nC=floppy,100\n", "line 2"},
        {"[drives]\nC=fixed,lots\n", "line 2"},
        {"[drives]\nC=fixed,1\nC=fixed,2\n", "line 3"},
        {"[drives]\nD=cdrom,0\n", "no drive C:"},
        {"[nonsense]\nx=1\n[drives]\nC=fixed,1\n", "line 1"},
        {"[drives]\nC=fixed,1\n[display]\nwidth=0\n", "line 4"},
        {"[drives]\nC=fixed,1\n[display]\ncolours=many\n", "line 4"},
        {"[system]\nfamily=nt\n[drives]\nC=fixed,100\nD=cdr", "cut short"},  // a write that stopped midway
    };
    for (const auto& [text, where] : cases) {
        test_support::TempMachine temp;
        fs::path folder = temp.folder() / "machine";
        std::ofstream(folder / "machine.ini", std::ios::binary) << text;
        const std::string registry_before = test_support::Slurp(folder / "registry.reg");
        auto opened = Machine::Open(folder.string());
        ASSERT_FALSE(opened) << text;
        EXPECT_EQ(opened.status(), platform::Status::invalid_argument);
        EXPECT_NE(opened.error().detail.find("machine.ini"), std::string::npos) << opened.error().detail;
        EXPECT_NE(opened.error().detail.find(where), std::string::npos) << opened.error().detail;
        EXPECT_EQ(test_support::Slurp(folder / "machine.ini"), text);
        EXPECT_EQ(test_support::Slurp(folder / "registry.reg"), registry_before);
    }
}

TEST(Machine, AMalformedRegistryFileIsReportedWithItsLine) {
    test_support::TempMachine temp;
    fs::path folder = temp.folder() / "machine";
    const std::string broken = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a\"=dword:zz\r\n";
    std::ofstream(folder / "registry.reg", std::ios::binary) << broken;
    auto opened = Machine::Open(folder.string());
    ASSERT_FALSE(opened);
    EXPECT_NE(opened.error().detail.find("registry.reg"), std::string::npos) << opened.error().detail;
    EXPECT_NE(opened.error().detail.find("line 4"), std::string::npos) << opened.error().detail;
    EXPECT_EQ(test_support::Slurp(folder / "registry.reg"), broken);
}

TEST(Machine, CreateRefusesAFolderThatHoldsFiles) {
    test_support::TempMachine temp;
    EXPECT_EQ(Machine::Create((temp.folder() / "machine").string(), sandbox::MachineConfig::Default()).status(),
              platform::Status::already_exists);
}

// A medium of several disks: disk 1 is in the drive at first; the disk the user puts in while a
// box is up is there once it is answered, and the journal says which.
TEST(Machine, ASetOfDisksChangesTheDiskInItsDrive) {
    fs::path base = test_support::MakeTempFolder("rvx-disks");
    for (int disk : {1, 2}) {
        fs::create_directories(base / ("floppy" + std::to_string(disk)));
        std::ofstream(base / ("floppy" + std::to_string(disk)) / ("DISK" + std::to_string(disk))) << "disk " << disk;
    }
    test_support::TempMachine machine;
    sandbox::DiskSet set{{'A', platform::DriveType::removable, 0, "", true},
                         {(base / "floppy1").string(), (base / "floppy2").string()}};
    ASSERT_TRUE(machine.machine().OfferDisks(set));
    EXPECT_FALSE(machine.machine().InsertDisk(3)) << "the set has two disks";
    platform::Platform& system = machine.Start("A:\\Rovexa.exe", "", "message ok\ndisk 2\nmessage ok\n");
    EXPECT_EQ(platform::ReadWholeFile(system.files, "A:\\DISK1").value_or(""), "disk 1");
    const platform::MessageRequest request{"Setup", "Insert the disk", platform::Buttons::ok, platform::Icon::warning, 1};
    ASSERT_TRUE(system.ui.ShowMessage(request));
    EXPECT_EQ(platform::ReadWholeFile(system.files, "A:\\DISK1").value_or(""), "disk 1") << "no disk named: the disk stays";
    ASSERT_TRUE(system.ui.ShowMessage(request));
    EXPECT_EQ(platform::ReadWholeFile(system.files, "A:\\DISK2").value_or(""), "disk 2");
    EXPECT_FALSE(platform::ReadWholeFile(system.files, "A:\\DISK1")) << "disk 1 is out of the drive";
    const auto disks = machine.JournalLines("DISK");
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_NE(disks[0].find("drive=A: disk=2 of=2"), std::string::npos) << disks[0];
    EXPECT_FALSE(machine.machine().OfferDisks({set.drive, {(base / "missing").string()}})) << "a disk that is no folder";
    fs::remove_all(base);
}

TEST(Machine, TheJournalKeepsEveryLineWhateverHappensToItsFileBetweenTwo) {
    // Asking the host before each line, and watching the file through the machine's change queue.
    for (const bool watched : {false, true}) {
        SCOPED_TRACE(watched ? "watched" : "asked for");
        fs::path base = test_support::MakeTempFolder("rvx-journal");
        const fs::path path = base / "journal.log";
        sandbox::FolderNameIndex names;
        sandbox::Journal journal(path.string(), watched ? &names : nullptr);
        ASSERT_TRUE(journal.Write("FIRST", {"a=\"1\""}));
        // Another writer in between: both lines stay, in order.
        std::ofstream(path, std::ios::app) << "OTHER\n";
        ASSERT_TRUE(journal.Write("SECOND", {}));
        EXPECT_EQ(test_support::Slurp(path), "FIRST a=\"1\"\nOTHER\nSECOND\n");
        // Emptied: the next line starts the file.
        std::ofstream(path, std::ios::trunc);
        ASSERT_TRUE(journal.Write("THIRD", {}));
        EXPECT_EQ(test_support::Slurp(path), "THIRD\n");
        // Deleted: made again.
        fs::remove(path);
        ASSERT_TRUE(journal.Write("FOURTH", {"b"}));
        EXPECT_EQ(test_support::Slurp(path), "FOURTH b\n");
        // Its permissions changed: still the same file.
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
        ASSERT_TRUE(journal.Write("FIFTH", {}));
        EXPECT_EQ(test_support::Slurp(path), "FOURTH b\nFIFTH\n");
        // Another file moved over it: the lines go on in that one.
        std::ofstream(base / "other.log") << "MOVED\n";
        fs::rename(base / "other.log", path);
        ASSERT_TRUE(journal.Write("SIXTH", {}));
        EXPECT_EQ(test_support::Slurp(path), "MOVED\nSIXTH\n");
        // Its folder gone: the line is reported as not written.
        fs::remove_all(base);
        EXPECT_FALSE(journal.Write("SEVENTH", {}));
        fs::remove_all(base);
    }
}

TEST(Machine, JournalLinesLetWaitGoOutInOrderWithTheNextLineOrWhenFlushed) {
    fs::path base = test_support::MakeTempFolder("rvx-journal-soon");
    const fs::path path = base / "journal.log";
    {
        sandbox::Journal journal(path.string());
        journal.WriteSoon("BARS", {"file=50"});
        journal.WriteSoon("BARS", {"file=100"});
        EXPECT_EQ(test_support::Slurp(path), "");
        ASSERT_TRUE(journal.Write("MESSAGE", {}));
        EXPECT_EQ(test_support::Slurp(path), "BARS file=50\nBARS file=100\nMESSAGE\n");
        journal.WriteSoon("BARS", {"file=0"});
        ASSERT_TRUE(journal.Flush());
        EXPECT_EQ(test_support::Slurp(path), "BARS file=50\nBARS file=100\nMESSAGE\nBARS file=0\n");
        ASSERT_TRUE(journal.Flush());
        // A long run of them does not wait whole: what is written is made of whole lines.
        for (int i = 0; i < 1000; ++i) journal.WriteSoon("BARS", {"total=" + std::to_string(i % 100)});
        const std::string part = test_support::Slurp(path);
        EXPECT_GT(part.size(), std::string("BARS file=50\nBARS file=100\nMESSAGE\nBARS file=0\n").size());
        EXPECT_EQ(part.back(), '\n');
        journal.WriteSoon("LAST", {});
    }
    // What still waited when the journal closed is there.
    const std::string all = test_support::Slurp(path);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 4 + 1000 + 1);
    EXPECT_TRUE(all.ends_with("BARS total=99\nLAST\n"));
    fs::remove_all(base);
}
