// The index of folder names answers every lookup as reading the folder would, whoever changed the
// folder and however soon after the previous lookup; and it reads each folder once while the
// machine's own changes go on in it.
#include "platform/sandbox/folder_name_index.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/text/text.h"
#include "platform/files.h"
#include "platform/sandbox/batch_runner.h"
#include "platform/sandbox/restart.h"
#include "platform/sandbox/sandbox_files.h"
#include "platform/sandbox/windows_path.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using rvx::sandbox::FolderNameIndex;
using rvx::sandbox::ScanFolderIgnoringCase;

namespace {

class IndexedFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = rvx::test_support::MakeTempFolder("rvx-names");
        folder_ = root_ / "Folder";
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(root_); }

    static void Touch(const fs::path& path) { std::ofstream(path) << "x"; }

    // The index's answer for wanted in folder, which must equal a fresh read of the folder.
    std::string Find(const fs::path& folder, const std::string& wanted) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0) return "<no folder>";
        index_.Refresh();
        const std::string answer = index_.FindIgnoringCase(folder.string(), info.st_dev, info.st_ino, wanted);
        EXPECT_EQ(answer, ScanFolderIgnoringCase(folder.string(), wanted)) << "looking up " << wanted << " in " << folder;
        return answer;
    }
    std::string Find(const std::string& wanted) { return Find(folder_, wanted); }

    fs::path root_, folder_;
    FolderNameIndex index_;
};

}  // namespace

TEST_F(IndexedFolder, SeesCreationsAndDeletionsMadeRightAfterALookup) {
    ASSERT_TRUE(index_.watching());
    Touch(folder_ / "Setup.INI");
    EXPECT_EQ(Find("setup.ini"), "Setup.INI");
    EXPECT_EQ(Find("readme.txt"), "");
    // Within the same clock tick as the lookups: a check of the folder's time would miss these.
    Touch(folder_ / "ReadMe.TXT");
    EXPECT_EQ(Find("readme.txt"), "ReadMe.TXT");
    fs::remove(folder_ / "Setup.INI");
    EXPECT_EQ(Find("SETUP.INI"), "");
    fs::create_directory(folder_ / "Sub Folder");
    EXPECT_EQ(Find("sub folder"), "Sub Folder");
    fs::remove(folder_ / "Sub Folder");
    EXPECT_EQ(Find("sub folder"), "");
    EXPECT_EQ(index_.indexed_folders(), 1u);
    EXPECT_EQ(index_.folder_reads(), 1u);
}

TEST_F(IndexedFolder, FindsEveryNameOfAFolderThatGrewAndShrankAndNoneOfThoseGone) {
    // Enough names, made both before the first read and after it, for the index to outgrow
    // whatever it sized for the folder at first, several times.
    for (int i = 0; i < 100; ++i) Touch(folder_ / ("Early" + std::to_string(i) + ".txt"));
    EXPECT_EQ(Find("early0.TXT"), "Early0.txt");
    for (int i = 0; i < 1200; ++i) Touch(folder_ / ("Late" + std::to_string(i) + ".txt"));
    for (int i = 0; i < 1200; i += 2) fs::remove(folder_ / ("Late" + std::to_string(i) + ".txt"));
    struct stat info {};
    ASSERT_EQ(::stat(folder_.c_str(), &info), 0);
    index_.Refresh();
    for (int i = 0; i < 1200; ++i) {
        const std::string name = "Late" + std::to_string(i) + ".txt";
        ASSERT_EQ(index_.FindIgnoringCase(folder_.string(), info.st_dev, info.st_ino, rvx::text::ToUpper(name)), i % 2 ? name : "");
        ASSERT_EQ(index_.FindIgnoringCase(folder_.string(), info.st_dev, info.st_ino, "late" + std::to_string(i) + ".tx_"), "");
    }
    EXPECT_EQ(Find("late1199.TXT"), "Late1199.txt");
    EXPECT_EQ(Find("EARLY99.TXT"), "Early99.txt");
    EXPECT_EQ(index_.folder_reads(), 1u);
}

TEST_F(IndexedFolder, FollowsRenamesAndMovesInAndOut) {
    Touch(folder_ / "old.txt");
    fs::create_directories(root_ / "Other");
    Touch(root_ / "Other" / "Moved.Dat");
    EXPECT_EQ(Find("OLD.TXT"), "old.txt");
    EXPECT_EQ(Find(root_ / "Other", "moved.dat"), "Moved.Dat");

    fs::rename(folder_ / "old.txt", folder_ / "OLD.txt");  // the case alone changes
    EXPECT_EQ(Find("old.txt"), "OLD.txt");
    fs::rename(root_ / "Other" / "Moved.Dat", folder_ / "Moved.Dat");
    EXPECT_EQ(Find("MOVED.DAT"), "Moved.Dat");
    EXPECT_EQ(Find(root_ / "Other", "moved.dat"), "");
    fs::rename(folder_ / "OLD.txt", root_ / "Other" / "Back.txt");
    EXPECT_EQ(Find("old.txt"), "");
    EXPECT_EQ(Find(root_ / "Other", "BACK.TXT"), "Back.txt");
    // Replaced by a rename over it: the name stays, in the new case.
    Touch(root_ / "Other" / "moved.DAT");
    fs::rename(root_ / "Other" / "moved.DAT", folder_ / "Moved.Dat");
    EXPECT_EQ(Find("moved.dat"), "Moved.Dat");
}

TEST_F(IndexedFolder, AFolderMadeAgainAtTheSamePathIsReadAgain) {
    Touch(folder_ / "First.txt");
    EXPECT_EQ(Find("first.txt"), "First.txt");
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    Touch(folder_ / "SECOND.txt");
    EXPECT_EQ(Find("first.txt"), "");
    EXPECT_EQ(Find("second.TXT"), "SECOND.txt");

    // The parent moves away with the indexed folder; a new one takes its path.
    fs::rename(folder_, root_ / "Gone");
    fs::create_directories(folder_);
    Touch(folder_ / "Third.txt");
    EXPECT_EQ(Find("second.txt"), "");
    EXPECT_EQ(Find("THIRD.TXT"), "Third.txt");
    EXPECT_EQ(Find(root_ / "Gone", "second.txt"), "SECOND.txt");
}

TEST_F(IndexedFolder, SeesChangesOfOtherProcesses) {
    EXPECT_EQ(Find("child.txt"), "");
    ASSERT_EQ(std::system(("touch '" + (folder_ / "Child.TXT").string() + "'").c_str()), 0);
    EXPECT_EQ(Find("child.txt"), "Child.TXT");
    ASSERT_EQ(std::system(("mv '" + (folder_ / "Child.TXT").string() + "' '" + (folder_ / "child.txt").string() + "'").c_str()), 0);
    EXPECT_EQ(Find("CHILD.TXT"), "child.txt");
    ASSERT_EQ(std::system(("rm '" + (folder_ / "child.txt").string() + "'").c_str()), 0);
    EXPECT_EQ(Find("child.txt"), "");
}

TEST_F(IndexedFolder, NamesDifferingInCaseOnlyAnswerAsTheFolderLists) {
    Touch(folder_ / "twin.txt");
    Touch(folder_ / "TWIN.TXT");
    EXPECT_EQ(Find("twin.txt"), "twin.txt");  // the exact name first
    EXPECT_EQ(Find("TWIN.TXT"), "TWIN.TXT");
    Find("Twin.Txt");                         // whichever the folder lists first
    fs::remove(folder_ / "TWIN.TXT");
    EXPECT_EQ(Find("Twin.Txt"), "twin.txt");
}

TEST_F(IndexedFolder, KeepsAtMostItsCapacityOfFoldersAndStillAnswers) {
    FolderNameIndex small(2);
    for (int i = 0; i < 5; ++i) {
        const fs::path folder = root_ / ("F" + std::to_string(i));
        fs::create_directories(folder);
        Touch(folder / ("Name" + std::to_string(i)));
    }
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 5; ++i) {
            const fs::path folder = root_ / ("F" + std::to_string(i));
            struct stat info {};
            ASSERT_EQ(::stat(folder.c_str(), &info), 0);
            small.Refresh();
            EXPECT_EQ(small.FindIgnoringCase(folder.string(), info.st_dev, info.st_ino, "NAME" + std::to_string(i)),
                      "Name" + std::to_string(i));
            EXPECT_LE(small.indexed_folders(), 2u);
        }
}

TEST(FolderNameIndexOfTheMachine, ReadsAFolderOnceWhileTheProgramFillsIt) {
    rvx::test_support::TempMachine temp;
    rvx::platform::FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(files.MakeFolder("C:\\Program Files\\Many"));
    const uint64_t reads_before = temp.machine().folder_names().folder_reads();
    for (int i = 0; i < 300; ++i) {
        const std::string name = "C:\\PROGRAM FILES\\MANY\\File" + std::to_string(i) + ".txt";
        ASSERT_EQ(files.ReadAttributes(name).status(), rvx::platform::Status::not_found);
        ASSERT_TRUE(rvx::platform::WriteWholeFile(files, name, "x"));
        ASSERT_TRUE(files.RenameFile(name, name + ".old"));
    }
    // The machine's root, Program Files and the new folder at most: none is read per file.
    EXPECT_LE(temp.machine().folder_names().folder_reads() - reads_before, 3u);
    EXPECT_EQ(temp.ReadFile("C:\\Program Files\\Many\\File299.txt.old"), "x");

    // Written beside the program, between two of its calls.
    temp.PutFile("C:\\Program Files\\Many\\Outside.TXT", "outside");
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\program files\\many\\outside.txt").value_or(""), "outside");
    ASSERT_TRUE(files.RemoveFile("C:\\Program Files\\Many\\OUTSIDE.txt"));
    EXPECT_EQ(files.ReadAttributes("C:\\Program Files\\Many\\outside.txt").status(), rvx::platform::Status::not_found);
    ASSERT_TRUE(files.MakeFolder("C:\\program files\\many\\Sub"));
    ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\Program Files\\Many\\SUB\\inner.txt", "inner"));
    ASSERT_TRUE(files.RemoveFile("C:\\Program Files\\Many\\sub\\INNER.TXT"));
    ASSERT_TRUE(files.RemoveFolder("C:\\Program Files\\Many\\sub"));
    EXPECT_EQ(files.ReadAttributes("C:\\Program Files\\Many\\Sub").status(), rvx::platform::Status::not_found);
}

TEST_F(IndexedFolder, ReadsTheQueueForEveryNoteButThoseOfChangesNotedByTheirMaker) {
    ASSERT_TRUE(index_.watching());
    EXPECT_EQ(Find("none"), "");
    const std::string temp = (folder_ / "tmp1").string();
    const uint64_t reads_before = index_.queue_reads();
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
        index_.NoteCreatedFile(temp, true);
        EXPECT_EQ(Find("TMP1"), "tmp1");
        ASSERT_EQ(::unlink(temp.c_str()), 0);
        index_.NoteRemovedFile(temp);
        EXPECT_EQ(Find("Tmp1"), "");
    }
    // Read only once enough notes wait, or once they have waited long enough (on a slow machine).
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    const uint64_t batches = 200 / rvx::sandbox::ChangeQueue::kMostOwnNotesWaiting;
    const uint64_t waits = static_cast<uint64_t>(waited / rvx::sandbox::ChangeQueue::kLongestOwnNoteWait);
    EXPECT_LE(index_.queue_reads() - reads_before, 1u + batches + waits);

    // A change noted by no one, right after one that was: read before the next lookup.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    index_.NoteCreatedFile(temp, true);
    Touch(folder_ / "Unnoted.txt");
    EXPECT_EQ(Find("UNNOTED.TXT"), "Unnoted.txt");
    ASSERT_EQ(std::system(("rm '" + temp + "'").c_str()), 0);
    EXPECT_EQ(Find("tmp1"), "");
}

TEST(FolderNameIndexOfTheMachine, AppliesItsOwnChangesAtOnceAndReadsEveryOtherBeforeTheNextLookup) {
    rvx::test_support::TempMachine temp;
    rvx::platform::FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    const FolderNameIndex& names = temp.machine().folder_names();
    ASSERT_TRUE(names.watching());
    ASSERT_TRUE(files.MakeFolder("C:\\Own"));
    ASSERT_EQ(files.ReadAttributes("C:\\Own\\none").status(), rvx::platform::Status::not_found);
    const auto host_names = [&] {
        std::vector<std::string> listed;
        for (const auto& entry : fs::directory_iterator(temp.HostPath("C:\\Own"))) listed.push_back(entry.path().filename());
        std::sort(listed.begin(), listed.end());
        return listed;
    };
    const auto machine_names = [&] {
        std::vector<std::string> listed;
        for (const auto& entry : files.ListNames("C:\\Own\\*").value_or(std::vector<rvx::platform::FoundEntry>{}))
            if (entry.name != "." && entry.name != "..") listed.push_back(entry.name);
        std::sort(listed.begin(), listed.end());
        return listed;
    };
    // The temporary file of a copy, made and removed again for each file, and the files kept.
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\Own\\tmp1", "t"));
        ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\OWN\\File" + std::to_string(i), "f"));
        ASSERT_TRUE(files.RemoveFile("c:\\own\\TMP1"));
        ASSERT_EQ(files.ReadAttributes("C:\\Own\\tmp1").status(), rvx::platform::Status::not_found);
    }
    EXPECT_EQ(machine_names(), host_names());

    // Any other change is read before the next lookup: by another process, or by this one past
    // the machine's files.
    uint64_t reads_before = names.queue_reads();
    ASSERT_EQ(std::system(("touch '" + temp.HostPath("C:\\Own\\Other.TXT").string() + "'").c_str()), 0);
    EXPECT_TRUE(files.ReadAttributes("C:\\own\\other.txt"));
    fs::remove(temp.HostPath("C:\\Own\\File7"));
    ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\Own\\tmp1", "t"));
    EXPECT_EQ(files.ReadAttributes("C:\\own\\file7").status(), rvx::platform::Status::not_found);
    EXPECT_GE(names.queue_reads() - reads_before, 2u);

    // A long run of its own changes still empties the queue now and then, and answers as the
    // folder does through it.
    reads_before = names.queue_reads();
    for (int i = 0; i < 600; ++i) {
        ASSERT_TRUE(files.RemoveFile("C:\\Own\\tmp1"));
        ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\Own\\tmp1", std::to_string(i)));
    }
    EXPECT_GE(names.queue_reads() - reads_before, 2u);
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "C:\\OWN\\TMP1").value_or(""), "599");
    EXPECT_EQ(machine_names(), host_names());
}

TEST(FolderNameIndexOfTheMachine, AnswersAfterARestartReplacementAndABatchFile) {
    rvx::test_support::TempMachine temp;
    rvx::platform::FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(files.MakeFolder("C:\\Lib"));
    ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\Lib\\New.tmp", "new"));
    ASSERT_EQ(files.ReadAttributes("c:\\lib\\live.dll").status(), rvx::platform::Status::not_found);
    ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\Lib\\New.tmp", "C:\\Lib\\Live.DLL"));
    auto restarted = rvx::sandbox::RestartMachine(temp.machine());
    ASSERT_TRUE(restarted);
    EXPECT_EQ(restarted->done, 1);
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\lib\\live.dll").value_or(""), "new");
    EXPECT_EQ(files.ReadAttributes("c:\\lib\\new.tmp").status(), rvx::platform::Status::not_found);

    temp.PutFile("C:\\Lib\\clean.bat", "del \"C:\\Lib\\LIVE.dll\"\r\n");
    rvx::sandbox::SandboxFiles system_files(temp.machine());
    ASSERT_TRUE(rvx::sandbox::BatchRunner(system_files, temp.machine().journal()).Run("C:\\Lib\\clean.bat"));
    EXPECT_EQ(files.ReadAttributes("C:\\LIB\\live.dll").status(), rvx::platform::Status::not_found);
}

TEST_F(IndexedFolder, KnowsASubfolderOnlyWhileNothingChangedItsName) {
    fs::create_directories(folder_ / "Sub");
    fs::create_directory_symlink(folder_ / "Sub", folder_ / "Link");
    Touch(folder_ / "Sub" / "x");
    Find("sub");
    Find(folder_ / "Sub", "X");
    Find(folder_ / "Link", "X");
    dev_t device = 0;
    ino_t inode = 0;
    struct stat sub {};
    ASSERT_EQ(::stat((folder_ / "Sub").c_str(), &sub), 0);
    ASSERT_TRUE(index_.KnownSubfolder(folder_.string(), "Sub", device, inode));
    EXPECT_EQ(inode, sub.st_ino);
    EXPECT_FALSE(index_.KnownSubfolder(folder_.string(), "SUB", device, inode));  // the name as listed only
    EXPECT_FALSE(index_.KnownSubfolder(folder_.string(), "Link", device, inode));  // a link is asked for

    // Moved away and another made in its place: the index no longer answers for it.
    fs::rename(folder_ / "Sub", root_ / "Away");
    fs::create_directories(folder_ / "Sub");
    index_.Refresh();
    EXPECT_FALSE(index_.KnownSubfolder(folder_.string(), "Sub", device, inode));
    EXPECT_EQ(Find(folder_ / "Sub", "x"), "");
    EXPECT_EQ(Find(folder_ / "Link", "x"), "");

    // The parent itself replaced, with a folder of the same name inside: made again from the new parent.
    Find(folder_ / "Sub", "y");
    ASSERT_TRUE(index_.KnownSubfolder(folder_.string(), "Sub", device, inode));
    fs::rename(folder_, root_ / "Old");
    fs::create_directories(folder_ / "Sub");
    Touch(folder_ / "Sub" / "Y");
    index_.Refresh();
    EXPECT_FALSE(index_.KnownSubfolder(folder_.string(), "Sub", device, inode));
    EXPECT_EQ(Find("sub"), "Sub");
    EXPECT_EQ(Find(folder_ / "Sub", "y"), "Y");
}

TEST(FolderNameIndexOfTheMachine, ResolvesThroughAFolderReplacedBetweenTwoCalls) {
    rvx::test_support::TempMachine temp;
    rvx::platform::FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    temp.PutFile("C:\\Top\\Middle\\Old.txt", "old");
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\top\\middle\\old.txt").value_or(""), "old");
    // Outside the program: the middle folder goes, another with other files takes its place.
    fs::rename(temp.HostPath("C:\\Top\\Middle"), temp.HostPath("C:\\Top\\Gone"));
    temp.PutFile("C:\\Top\\Middle\\New.txt", "new");
    EXPECT_EQ(files.ReadAttributes("c:\\top\\middle\\old.txt").status(), rvx::platform::Status::not_found);
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\top\\middle\\new.txt").value_or(""), "new");
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\top\\gone\\old.txt").value_or(""), "old");
    // The whole branch replaced by a file of the same name.
    fs::remove_all(temp.HostPath("C:\\Top"));
    temp.PutFile("C:\\TOP", "file");
    EXPECT_EQ(files.ReadAttributes("c:\\top\\middle\\new.txt").status(), rvx::platform::Status::path_not_found);
}

TEST_F(IndexedFolder, TellsWhatANameIsOnlyWhenItKnowsWithoutAsking) {
    using rvx::sandbox::HostEntryKind;
    fs::create_directories(folder_ / "Sub");
    Touch(folder_ / "File.txt");
    fs::create_directory_symlink(folder_ / "Sub", folder_ / "Link");
    struct stat info {};
    ASSERT_EQ(::stat(folder_.c_str(), &info), 0);
    index_.Refresh();
    auto entry = index_.Enter(folder_.string(), info.st_dev, info.st_ino);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(index_.Find(entry, "sub").kind, HostEntryKind::folder);
    EXPECT_EQ(index_.Find(entry, "FILE.TXT").kind, HostEntryKind::not_folder);
    EXPECT_EQ(index_.Find(entry, "link").kind, HostEntryKind::unknown);  // a link to a folder is asked for
    EXPECT_EQ(index_.Find(entry, "none").result, FolderNameIndex::Match::Result::missing);

    // Names that come after the folder was read: the change queue says folder or nothing.
    fs::create_directories(folder_ / "Later");
    Touch(folder_ / "later.txt");
    fs::create_symlink(folder_ / "Sub", folder_ / "LaterLink");
    index_.Refresh();
    entry = index_.Enter(folder_.string(), info.st_dev, info.st_ino);
    EXPECT_EQ(index_.Find(entry, "LATER").kind, HostEntryKind::folder);
    EXPECT_EQ(index_.Find(entry, "later.TXT").kind, HostEntryKind::unknown);
    EXPECT_EQ(index_.Find(entry, "laterlink").kind, HostEntryKind::unknown);
    EXPECT_EQ(index_.folder_reads(), 1u);
}

TEST(FolderNameIndexOfTheMachine, AnswersForLinksAsTheHostDoes) {
    rvx::test_support::TempMachine temp;
    rvx::platform::FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    temp.PutFile("C:\\Real\\Inner.txt", "inner");
    temp.PutFile("C:\\Plain.txt", "plain");
    // Read once, so that the links below come through the change queue.
    ASSERT_EQ(files.ReadAttributes("C:\\FolderLink").status(), rvx::platform::Status::not_found);
    fs::create_directory_symlink(temp.HostPath("C:\\Real"), temp.HostPath("C:\\FolderLink"));
    fs::create_symlink(temp.HostPath("C:\\Plain.txt"), temp.HostPath("C:\\FileLink"));
    auto folder = files.ReadAttributes("c:\\folderlink");
    ASSERT_TRUE(folder);
    EXPECT_NE(folder.value() & rvx::platform::attributes::directory, 0u);
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\folderlink\\INNER.TXT").value_or(""), "inner");
    EXPECT_EQ(files.RemoveFile("C:\\FolderLink").status(), rvx::platform::Status::access_denied);
    auto file = files.ReadAttributes("c:\\filelink");
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value() & rvx::platform::attributes::directory, 0u);
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\FILELINK").value_or(""), "plain");
    // A file made where a folder was, and a folder where a file was.
    ASSERT_TRUE(files.RemoveFile("C:\\Plain.txt"));
    ASSERT_TRUE(files.MakeFolder("C:\\Plain.txt"));
    EXPECT_EQ(files.Open({"C:\\plain.txt", rvx::platform::Access::read, rvx::platform::share::read,
                          rvx::platform::Disposition::open_existing})
                  .status(),
              rvx::platform::Status::access_denied);
    fs::remove_all(temp.HostPath("C:\\Real"));
    temp.PutFile("C:\\Real", "now a file");
    EXPECT_EQ(files.ReadAttributes("C:\\REAL\\inner.txt").status(), rvx::platform::Status::path_not_found);
    EXPECT_EQ(files.RemoveFolder("C:\\Real").status(), rvx::platform::Status::invalid_argument);
}

TEST(FolderNameIndexOfTheMachine, AFileTheProgramMadeIsAFolderOnceALinkToOneTakesItsName) {
    rvx::test_support::TempMachine temp;
    rvx::platform::FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    temp.PutFile("C:\\Real\\Inner.txt", "inner");
    ASSERT_TRUE(files.MakeFolder("C:\\Made"));
    // Made by the program and, before the kernel's note of it is read, replaced from outside.
    ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\Made\\Name.dat", "file"));
    fs::remove(temp.HostPath("C:\\Made\\Name.dat"));
    fs::create_directory_symlink(temp.HostPath("C:\\Real"), temp.HostPath("C:\\Made") / "Name.dat");
    auto attributes = files.ReadAttributes("c:\\made\\name.dat");
    ASSERT_TRUE(attributes);
    EXPECT_NE(attributes.value() & rvx::platform::attributes::directory, 0u);
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "C:\\Made\\NAME.DAT\\inner.txt").value_or(""), "inner");
    // Made again by the program after the link went: a file, which opens as one.
    fs::remove(temp.HostPath("C:\\Made") / "Name.dat");
    ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\Made\\Name.dat", "again"));
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\made\\name.dat").value_or(""), "again");
    EXPECT_EQ(files.RemoveFolder("C:\\Made\\Name.dat").status(), rvx::platform::Status::invalid_argument);
}

TEST_F(IndexedFolder, SeesEveryChangeOfABurstLongerThanOneReadOfTheQueue) {
    Find("first");
    // Long names: their notes fill several reads of the queue.
    std::vector<std::string> names;
    for (int i = 0; i < 600; ++i) names.push_back("A rather long file name, number " + std::to_string(i) + ", of the burst.txt");
    for (const auto& name : names) Touch(folder_ / name);
    // The last name first: its note comes after all the others.
    for (size_t i = names.size(); i-- > 0;) {
        EXPECT_EQ(Find(rvx::text::ToUpper(names[i])), names[i]);
        i -= std::min<size_t>(i, 36);
    }
    for (size_t i = 0; i < names.size(); i += 2) fs::remove(folder_ / names[i]);
    EXPECT_EQ(Find(names[names.size() - 2]), "");
    for (size_t i = 0; i < names.size(); i += 7) EXPECT_EQ(Find(names[i]), i % 2 == 0 ? "" : names[i]);
    EXPECT_EQ(index_.folder_reads(), 1u);
}

namespace {

// A drive's folder as the path resolution holds it: known without asking the host when the
// index watches it, entered again from a fresh look at the host otherwise.
class DriveFolder : public IndexedFolder {
protected:
    // The entry of folder_ as a drive's folder, and whether the index knew it without a look.
    FolderNameIndex::Entry Lookup(bool& known) {
        index_.Refresh();
        FolderNameIndex::Entry entry = index_.KnownDriveFolder(folder_.string());
        known = entry != nullptr;
        if (entry) return entry;
        struct stat info {};
        if (::stat(folder_.c_str(), &info) != 0) return nullptr;
        return index_.EnterDriveFolder(folder_.string(), info.st_dev, info.st_ino);
    }
    std::string FindInDrive(const std::string& wanted, bool& known) {
        FolderNameIndex::Entry entry = Lookup(known);
        if (!entry) return "<no folder>";
        const FolderNameIndex::Match match = index_.Find(entry, wanted);
        return match.result == FolderNameIndex::Match::Result::found ? *match.name : "";
    }
};

}  // namespace

TEST_F(DriveFolder, IsKnownUntilItOrAFolderAboveItIsMovedOrReplaced) {
    Touch(folder_ / "First.txt");
    bool known = true;
    EXPECT_EQ(FindInDrive("first.TXT", known), "First.txt");
    EXPECT_FALSE(known);
    EXPECT_EQ(FindInDrive("first.txt", known), "First.txt");
    EXPECT_TRUE(known);
    // Changes inside it and beside the folders above it leave it known.
    Touch(folder_ / "Second.txt");
    Touch(root_ / "Beside.txt");
    fs::create_directories(root_ / "Other");
    EXPECT_EQ(FindInDrive("SECOND.txt", known), "Second.txt");
    EXPECT_TRUE(known);

    // Removed while another holder keeps it open (its own note of the end comes only once that
    // holder lets it go) and made again with other names.
    const int held = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(held, 0);
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    Touch(folder_ / "Third.txt");
    EXPECT_EQ(FindInDrive("first.txt", known), "");
    EXPECT_FALSE(known);
    EXPECT_EQ(FindInDrive("THIRD.TXT", known), "Third.txt");
    EXPECT_TRUE(known);
    ::close(held);

    // A folder above it moved away and another put in its place.
    const fs::path top = root_.parent_path() / (root_.filename().string() + "-moved");
    fs::rename(root_, top);
    fs::create_directories(folder_);
    Touch(folder_ / "Fourth.txt");
    EXPECT_EQ(FindInDrive("third.txt", known), "");
    EXPECT_FALSE(known);
    EXPECT_EQ(FindInDrive("fourth.txt", known), "Fourth.txt");
    EXPECT_TRUE(known);
    fs::remove_all(top);

    // Gone altogether.
    fs::remove_all(folder_);
    EXPECT_EQ(FindInDrive("fourth.txt", known), "<no folder>");
    EXPECT_FALSE(known);
}

TEST_F(DriveFolder, ReachedThroughALinkIsAskedForEachTime) {
    const fs::path link = root_ / "Link";
    fs::create_directory_symlink(root_, link);
    Touch(folder_ / "File.txt");
    for (const fs::path& drive : {link / "Folder", root_ / "." / "Folder"}) {
        FolderNameIndex index;
        struct stat info {};
        ASSERT_EQ(::stat(drive.c_str(), &info), 0);
        for (int round = 0; round < 2; ++round) {
            index.Refresh();
            EXPECT_EQ(index.KnownDriveFolder(drive.string()), nullptr) << drive;
            FolderNameIndex::Entry entry = index.EnterDriveFolder(drive.string(), info.st_dev, info.st_ino);
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(*index.Find(entry, "FILE.TXT").name, "File.txt");
        }
        EXPECT_EQ(index.watched_drive_folders(), 0u);
    }
}

TEST(FolderNameIndexOfTheMachine, FindsADriveFolderMadeAgainWhileHeldOpen) {
    rvx::test_support::TempMachine temp;
    rvx::platform::FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    temp.PutFile("C:\\Old.txt", "old");
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\old.txt").value_or(""), "old");
    const fs::path drive = temp.HostPath("C:\\");
    const int held = ::open(drive.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(held, 0);
    fs::remove_all(drive);
    temp.PutFile("C:\\New.txt", "new");
    EXPECT_EQ(files.ReadAttributes("c:\\old.txt").status(), rvx::platform::Status::not_found);
    EXPECT_EQ(rvx::platform::ReadWholeFile(files, "c:\\NEW.TXT").value_or(""), "new");
    ::close(held);
}

TEST(FolderNameIndexOfTheMachine, AFolderResolvedBeforeIsWalkedAgainOnceItsWayChanged) {
    rvx::test_support::TempMachine temp;
    rvx::platform::FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    temp.PutFile("C:\\Top\\Middle\\File.txt", "first");
    const auto read = [&](const std::string& path) { return rvx::platform::ReadWholeFile(files, path).value_or("<none>"); };
    // Twice, so that the second read starts from the folder the first one reached.
    EXPECT_EQ(read("c:\\top\\middle\\file.txt"), "first");
    EXPECT_EQ(read("C:\\TOP\\MIDDLE\\FILE.TXT"), "first");
    // Files made and removed beside the way change nothing.
    ASSERT_TRUE(rvx::platform::WriteWholeFile(files, "C:\\Top\\Beside.txt", "beside"));
    ASSERT_TRUE(files.RemoveFile("C:\\top\\beside.txt"));
    EXPECT_EQ(read("c:\\top\\middle\\file.txt"), "first");

    // Outside the program: a second name of another case beside a folder on the way, which
    // then answers as the folder lists them.
    temp.PutFile("C:\\Top\\MIDDLE", "a file");
    const std::string listed = ScanFolderIgnoringCase(temp.HostPath("C:\\Top").string(), "middle");
    EXPECT_EQ(read("c:\\top\\middle\\file.txt"), listed == "Middle" ? "first" : "<none>");
    EXPECT_EQ(read("c:\\top\\Middle\\file.txt"), "first");
    fs::remove(temp.HostPath("C:\\Top") / "MIDDLE");
    EXPECT_EQ(read("c:\\top\\middle\\file.txt"), "first");

    // The folder on the way moved away and another made in its place, then the top one too.
    fs::rename(temp.HostPath("C:\\Top\\Middle"), temp.HostPath("C:\\Top\\Away"));
    temp.PutFile("C:\\Top\\middle\\File.txt", "second");
    EXPECT_EQ(read("c:\\top\\middle\\file.txt"), "second");
    EXPECT_EQ(read("c:\\top\\away\\file.txt"), "first");
    fs::rename(temp.HostPath("C:\\Top"), temp.HostPath("C:\\Old"));
    temp.PutFile("C:\\TOP\\Middle\\File.txt", "third");
    EXPECT_EQ(read("c:\\top\\middle\\file.txt"), "third");
    EXPECT_EQ(read("c:\\old\\middle\\file.txt"), "second");
    // A folder on the way replaced by a file.
    fs::remove_all(temp.HostPath("C:\\TOP\\Middle"));
    temp.PutFile("C:\\TOP\\Middle", "file");
    EXPECT_EQ(files.ReadAttributes("c:\\top\\middle\\file.txt").status(), rvx::platform::Status::path_not_found);
    EXPECT_EQ(files.ReadAttributes("c:\\top\\middle").status(), rvx::platform::Status::ok);
}

TEST(ChangeQueueOfTheMachine, QueuesMadeAndDroppedInARowEachWatch) {
    // A queue closes after its owner is gone; those still closing count against the user's few
    // queues (128 by default), which a long run of short-lived machines must not use up.
    const fs::path folder = fs::temp_directory_path() / ("rvx-queues-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (int i = 0; i < 400; ++i) {
        rvx::sandbox::ChangeQueue queue;
        ASSERT_TRUE(queue.open()) << "queue " << i;
        ASSERT_GE(queue.Watch(folder.string(), IN_CREATE), 0) << "queue " << i;
    }
    fs::remove_all(folder);
}
