// File lines, the installation-folder check, the space estimate and size texts.
#include <gtest/gtest.h>

#include "installer/files/disk_space.h"
#include "installer/script/file_entry.h"
#include "tests/installer/file_engine_fixture.h"

using namespace rvx;
using installer::ParseFileLine;
using test_support::FileStages;

namespace {

sandbox::MachineConfig WithFreeKilobytes(uint64_t kilobytes) {
    auto config = sandbox::MachineConfig::Default();
    config.Drive('C')->size_kilobytes = kilobytes;
    return config;
}

}  // namespace

TEST(FileLine, SourceAndDestinationResolution) {
    FileStages run;
    const auto plain = ParseFileLine(run.app, "bin\\App.exe, , V S, R H, 1234").value();
    EXPECT_EQ(plain.source_path, "C:\\MEDIUM\\bin\\App.exe");
    EXPECT_EQ(plain.dest_path, "C:\\Prog\\bin\\App.exe");
    EXPECT_EQ(plain.dest_folder, "C:\\Prog");
    EXPECT_TRUE(plain.version_check && plain.date_check);
    EXPECT_FALSE(plain.only_if_missing || plain.font_check || plain.delayed_replace || plain.shared_file);
    EXPECT_EQ(plain.attributes, 3u);
    EXPECT_EQ(plain.size, 1234);

    // A leading "\" names the medium's folder and keeps only the last component.
    const auto rooted = ParseFileLine(run.app, "\\Common\\Lib.dll,Sys\\,C").value();
    EXPECT_EQ(rooted.source_path, "C:\\MEDIUM\\Common\\Lib.dll");
    EXPECT_EQ(rooted.relative_name, "Lib.dll");
    EXPECT_EQ(rooted.dest_path, "C:\\Program Files\\Common Files\\Sys\\Lib.dll");

    // A destination that names a file renames it; an absolute one is taken as it is.
    EXPECT_EQ(ParseFileLine(run.app, "a.txt,\\docs\\b.txt")->dest_path, "C:\\Prog\\docs\\b.txt");
    EXPECT_EQ(ParseFileLine(run.app, "a.txt,D:\\Other\\")->dest_path, "D:\\Other\\a.txt");
    const auto flagged = ParseFileLine(run.app, "x.dll,,vNFDULz,s").value();  // letters are case-sensitive
    EXPECT_FALSE(flagged.version_check);
    EXPECT_TRUE(flagged.only_if_missing && flagged.font_check && flagged.delayed_replace && flagged.keep_on_uninstall &&
                flagged.example_link);
    EXPECT_EQ(flagged.attributes, 0u);
    EXPECT_EQ(flagged.size, 0);
}

TEST(FileLine, RunningFromTheThirtyTwoBitFolderReadsAboveIt) {
    FileStages run("", sandbox::MachineConfig::Default(), "C:\\CD\\32\\Rovexa.exe");
    EXPECT_EQ(ParseFileLine(run.app, "\\DATA\\a.bin")->source_path, "C:\\CD\\32\\..\\DATA\\a.bin");
    EXPECT_EQ(ParseFileLine(run.app, "a.bin")->source_path, "C:\\CD\\32\\a.bin");
}

TEST(SizeText, UnitsAndTheCutDecimal) {
    FileStages run;
    auto size = [&](uint64_t bytes) {
        return installer::FormatSize(run.app.platform().resources, bytes, installer::kUnitGb, installer::kUnitMb,
                                     installer::kUnitKb, installer::kUnitBytes);
    };
    EXPECT_EQ(size(1023), "1023 bytes");
    EXPECT_EQ(size(1536), "1.5 Kb");
    EXPECT_EQ(size(1048575), "1023.9 Kb");
    EXPECT_EQ(size(5ull << 30), "5.0 Gb");
    EXPECT_EQ(size(3ull * 1048576 + 1048575), "3.9 Mb");
}

TEST(FreeSpace, ClampedAtTwoTerabytesAndUnreadableDrives) {
    FileStages run("", WithFreeKilobytes(5ull << 30));
    EXPECT_EQ(installer::GetFreeKilobytes(run.app.platform().files, "C:\\"), 2147483647u);
    EXPECT_EQ(installer::GetFreeKilobytes(run.app.platform().files, "Q:\\"), installer::kDriveUnreadable);
}

TEST(InstallFolderCheck, CreatesAMissingFolderAndAsksAboutAnExistingOne) {
    FileStages run("message no ~ \"already exists\"\nmessage yes\n");
    std::string folder = "C:\\New\\Deep\\";
    EXPECT_TRUE(installer::CheckInstallFolder(run.app, folder).value());
    EXPECT_EQ(folder, "C:\\New\\Deep\\");
    EXPECT_TRUE(platform::IsFolder(run.app.platform().files, "C:\\New\\Deep"));

    folder = "C:\\New";
    EXPECT_FALSE(installer::CheckInstallFolder(run.app, folder).value());
    folder = "C:\\New";
    EXPECT_TRUE(installer::CheckInstallFolder(run.app, folder).value());
    EXPECT_EQ(folder, "C:\\New\\");
}

TEST(InstallFolderCheck, RefusalsAndTheirMessages) {
    auto config = WithFreeKilobytes(100);
    config.drives.push_back({'E', platform::DriveType::fixed, 100000, {}, false});
    config.denied_paths.push_back("E:\\Locked");
    FileStages run("message ok\nmessage ok\nmessage ok\nmessage ok\n", config);
    run.app.script().size = 200 * 1024;  // plus a quarter: 250 Kb on a drive with 100
    std::string folder = "c:\\Prog";
    EXPECT_FALSE(installer::CheckInstallFolder(run.app, folder).value());
    folder = "q:\\Prog";
    EXPECT_FALSE(installer::CheckInstallFolder(run.app, folder).value());
    run.Put("E:\\Taken", "file");
    folder = "E:\\Taken";
    EXPECT_FALSE(installer::CheckInstallFolder(run.app, folder).value());
    folder = "E:\\Locked\\Prog";
    EXPECT_FALSE(installer::CheckInstallFolder(run.app, folder).value());
    const std::string messages = run.Journal("MESSAGE");
    EXPECT_NE(messages.find("There is not enough free space \\non the disk."), std::string::npos);
    EXPECT_NE(messages.find("The drive Q is invalid."), std::string::npos);
    EXPECT_NE(messages.find("File E:\\\\Taken\\nalready exists."), std::string::npos);
    EXPECT_NE(messages.find("You have no right to create the\\nfolder E:\\\\Locked\\\\Prog."), std::string::npos);
}

TEST(InstallFolderCheck, NegativeDeclaredSizeRefusesEveryFolder) {
    FileStages run("message ok ~ \"not enough free space\"\nmessage ok ~ \"not enough free space\"\n",
                   WithFreeKilobytes(2ull << 30));
    for (const char* folder_name : {"C:\\Prog", "C:\\Other"}) {
        run.app.script().size = -2048;
        std::string folder = folder_name;
        EXPECT_FALSE(installer::CheckInstallFolder(run.app, folder).value()) << folder_name;
        EXPECT_FALSE(platform::IsFolder(run.app.platform().files, folder_name)) << folder_name;
    }
    // A need that truncates to nothing asks for no space.
    run.app.script().size = -100;
    std::string folder = "C:\\Prog";
    EXPECT_TRUE(installer::CheckInstallFolder(run.app, folder).value());
}

TEST(InstallFolderCheck, WarnDirConditionAsksFirst) {
    FileStages run("message no ~ \"Careful\"\nmessage yes ~ \"Careful\"\n");
    run.app.script().warn_dir_condition = "a, A, ==";
    run.app.script().warn_dir = "Careful\n";
    run.Put("C:\\Old\\x.txt", "x");
    std::string folder = "C:\\Old";
    EXPECT_FALSE(installer::CheckInstallFolder(run.app, folder).value());
    // Yes to the warning also answers the already-exists question.
    EXPECT_TRUE(installer::CheckInstallFolder(run.app, folder).value());
}

TEST(SpaceEstimate, InstalledFilesAreSubtractedInListOrder) {
    FileStages run("message ok ~ \"You need\"\n", WithFreeKilobytes(9));
    run.Put("C:\\Prog\\same.bin", std::string(8000, 'x'));
    // Replacing a file by one of the same size needs nothing.
    run.app.script().files = {"#1", "same.bin,,,,8000", ""};
    EXPECT_TRUE(installer::EstimateSpace(run.app).value());
    // The subtraction clamps at zero at once, so the order of lines matters.
    run.app.script().files = {"same.bin,,,,10", "new.bin,,,,9000"};
    EXPECT_FALSE(installer::EstimateSpace(run.app).value());
    EXPECT_NE(run.Journal("MESSAGE").find("on drive C:\\\\.\\n\\nYou need 10.0 Kb on this drive"), std::string::npos);
}

TEST(SpaceEstimate, AFileAnotherProgramKeepsOpenIsNotSubtracted) {
    auto config = WithFreeKilobytes(8);
    config.files_in_use = {"C:\\Prog\\busy.bin"};
    FileStages run("message ok ~ \"You need 9.0 Kb\"\n", config);
    run.Put("C:\\Prog\\busy.bin", std::string(8000, 'x'));
    run.Put("C:\\Prog\\idle.bin", std::string(8000, 'x'));
    run.app.script().files = {"idle.bin,,,,8000"};
    EXPECT_TRUE(installer::EstimateSpace(run.app).value());
    // Its size cannot be read without sharing, so the whole new file counts.
    run.app.script().files = {"busy.bin,,,,8000"};
    EXPECT_FALSE(installer::EstimateSpace(run.app).value());
}

TEST(SpaceEstimate, PreallocatedFilesCountAndMalformedLinesStopSilently) {
    FileStages run("message ok ~ \"You need 1.0 Mb\"\n", WithFreeKilobytes(1000));
    run.app.script().create_files = {"data.db,,500"};  // 500,000 bytes in the installation folder
    EXPECT_TRUE(installer::EstimateSpace(run.app).value());
    run.app.script().create_files = {"data.db,,900"};  // plus a quarter: 1,098 Kb
    EXPECT_FALSE(installer::EstimateSpace(run.app).value());
    const std::string before = run.Journal("MESSAGE");
    run.app.script().create_files = {"data.db,sub"};
    EXPECT_FALSE(installer::EstimateSpace(run.app).value());
    EXPECT_EQ(run.Journal("MESSAGE"), before);
}

TEST(SpaceEstimate, SizesBeyondThirtyTwoBitsAreNotWrappedRound) {
    // 3.5 GB declared on a drive with 2 GB free: 32-bit arithmetic would wrap to a small need.
    FileStages run("message ok ~ \"You need 4.0 Gb\"\nmessage ok ~ \"not enough\"\n", WithFreeKilobytes(2ull << 20));
    run.app.script().files = {"big1.bin,,,,2000000000", "big2.bin,,,,1500000000"};
    EXPECT_FALSE(installer::EstimateSpace(run.app).value());
    run.app.script().size = 3500000000LL;
    std::string folder = "C:\\Big";
    EXPECT_FALSE(installer::CheckInstallFolder(run.app, folder).value());
}

TEST(SpaceEstimate, TheTemporaryCopyNeedsRoomOnItsDrive) {
    // 40,000 bytes to install, copied through the temporary folder on the same drive: 50 Kb
    // with the quarter, and 50 Kb more for the temporary copy.
    {
        FileStages run("message ok ~ \"You need 97.0 Kb\"\n", WithFreeKilobytes(90));
        run.Put("C:\\MEDIUM\\data.bin", std::string(40000, 'd'));
        run.app.script().files = {"data.bin,,,,40000"};
        EXPECT_FALSE(installer::EstimateSpace(run.app).value());
    }
    // On a drive of its own, the temporary folder's drive is checked for the copy alone.
    auto config = WithFreeKilobytes(100000);
    config.drives.push_back({'E', platform::DriveType::fixed, 30, {}, false});
    for (auto& [name, value] : config.environment)
        if (name == "TMP") value = "E:\\";
    FileStages run("message ok ~ \"on drive E:\\\\.\"\n", config);
    run.Put("C:\\MEDIUM\\data.bin", std::string(40000, 'd'));
    run.app.script().files = {"data.bin,,,,40000"};
    EXPECT_FALSE(installer::EstimateSpace(run.app).value());
}

TEST(SpaceEstimate, WhatTheByteTotalLearntGivesTheSameEstimate) {
    // The temporary folder on a drive of its own, which must hold the largest temporary copy:
    // a plain file, a compressed one (its stored size counts, not its expanded one), a long
    // name and a missing file.
    for (const uint64_t temporary_kilobytes : {20, 100}) {
        for (const bool noted : {false, true}) {
            SCOPED_TRACE(std::to_string(temporary_kilobytes) + (noted ? " Kb, with notes" : " Kb, without"));
            auto config = WithFreeKilobytes(100000);
            config.drives.push_back({'E', platform::DriveType::fixed, temporary_kilobytes, {}, false});
            for (auto& [name, value] : config.environment)
                if (name == "TMP") value = "E:\\";
            FileStages run("message ok ~ \"on drive E:\\\\.\"\n", config);
            run.Put("C:\\MEDIUM\\plain.bin", std::string(30000, 'p'));
            run.Put("C:\\MEDIUM\\pack.bi_", test_support::LiteralSzdd(std::string(70000, 'c'), 'n'));
            run.Put("C:\\MEDIUM\\A rather long name.data", std::string(50000, 'l'));
            run.app.script().files = {"plain.bin,,,,", "pack.bin,,,,", "A rather long name.data,,,,", "gone.bin,,,,"};
            installer::StoredFileNotes notes;
            ASSERT_FALSE(installer::SumGroupBytes(run.app, noted ? &notes : nullptr).stopped());
            EXPECT_EQ(run.app.copy_state().group_bytes_total, 30000 + 70000 + 50000);
            EXPECT_EQ(installer::EstimateSpace(run.app, noted ? &notes : nullptr).value(), temporary_kilobytes == 100);
            EXPECT_EQ(run.Journal("MESSAGE").find("on drive E:") == std::string::npos, temporary_kilobytes == 100);
        }
    }
}
