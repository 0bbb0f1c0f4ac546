// Attributes and times of the simulated machine's files: kept per file, shown by ReadAttributes,
// FindFiles and open files, read-only files protected as on the system, and the machine's store
// (file-attributes.ini) kept small and in step with deletions, renames and later runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sandbox/file_metadata.h"
#include "platform/sandbox/machine.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx::platform;
using rvx::sandbox::FileMetadataStore;
using rvx::sandbox::MachineConfig;
using rvx::test_support::Slurp;
using rvx::test_support::TempMachine;

namespace {

constexpr uint32_t kReadOnly = attributes::read_only;
constexpr uint32_t kHidden = attributes::hidden;
constexpr uint32_t kSystem = attributes::system;
constexpr uint32_t kArchive = attributes::archive;

FileTime Time(const char* text) {
    FileTime time;
    EXPECT_TRUE(rvx::sandbox::ParseFileTime(text, time)) << text;
    return time;
}

const FoundEntry* FindEntry(const std::vector<FoundEntry>& entries, const std::string& name) {
    for (const auto& entry : entries)
        if (entry.name == name) return &entry;
    return nullptr;
}

std::string StoreText(const TempMachine& temp) { return Slurp(temp.folder() / "machine" / "file-attributes.ini"); }

}  // namespace

TEST(FileAttributes, KeptPerFileAndShownByReadAttributesAndFindFiles) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(files.MakeFolder("C:\\Work"));
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Work\\a.txt", "a"));
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Work\\b.txt", "b"));
    EXPECT_EQ(files.ReadAttributes("C:\\Work\\a.txt").value_or(0), kArchive);  // a new file

    ASSERT_TRUE(files.WriteAttributes("c:\\WORK\\A.TXT", kHidden | kSystem | kArchive));
    EXPECT_EQ(files.ReadAttributes("C:\\Work\\a.txt").value_or(0), kHidden | kSystem | kArchive);
    // "Normal" alone is none of the others, and is what the system reports for such a file.
    ASSERT_TRUE(files.WriteAttributes("C:\\Work\\b.txt", attributes::normal));
    EXPECT_EQ(files.ReadAttributes("C:\\Work\\b.txt").value_or(0), attributes::normal);
    // Bits the store does not keep (the folder bit among them) are not taken from the caller.
    ASSERT_TRUE(files.WriteAttributes("C:\\Work\\b.txt", attributes::directory | kReadOnly | attributes::normal));
    EXPECT_EQ(files.ReadAttributes("C:\\Work\\b.txt").value_or(0), kReadOnly);
    ASSERT_TRUE(files.WriteAttributes("C:\\Work", kHidden));
    EXPECT_EQ(files.ReadAttributes("C:\\Work").value_or(0), attributes::directory | kHidden);

    auto listed = files.FindFiles("C:\\Work\\*");
    ASSERT_TRUE(listed);
    ASSERT_NE(FindEntry(listed.value(), "a.txt"), nullptr);
    EXPECT_EQ(FindEntry(listed.value(), "a.txt")->attributes, kHidden | kSystem | kArchive);
    EXPECT_EQ(FindEntry(listed.value(), "b.txt")->attributes, kReadOnly);
    EXPECT_EQ(FindEntry(listed.value(), ".")->attributes, attributes::directory | kHidden);
    auto root = files.FindFiles("C:\\W*");
    ASSERT_TRUE(root);
    ASSERT_NE(FindEntry(root.value(), "Work"), nullptr);
    EXPECT_EQ(FindEntry(root.value(), "Work")->attributes, attributes::directory | kHidden);

    EXPECT_EQ(files.WriteAttributes("C:\\Work\\none.txt", kHidden).status(), Status::not_found);
    EXPECT_EQ(files.WriteAttributes("C:\\Nowhere\\none.txt", kHidden).status(), Status::path_not_found);
}

TEST(FileAttributes, ReadOnlyFilesRefuseWritingDeletionAndReplacementUntilCleared) {
    MachineConfig config = MachineConfig::Default();
    config.files_in_use = {"C:\\busy.dll"};
    TempMachine temp(config);
    temp.PutFile("C:\\busy.dll", "busy");
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(WriteWholeFile(files, "C:\\keep.txt", "keep"));
    ASSERT_TRUE(files.WriteAttributes("C:\\keep.txt", kReadOnly | kArchive));

    for (auto [access, disposition] : {std::pair{Access::write, Disposition::open_existing},
                                       std::pair{Access::read_write, Disposition::open_always},
                                       std::pair{Access::read, Disposition::create_always}})
        EXPECT_EQ(files.Open(OpenRequest{"C:\\keep.txt", access, share::none, disposition}).status(), Status::access_denied);
    EXPECT_EQ(files.RemoveFile("C:\\KEEP.TXT").status(), Status::access_denied);
    EXPECT_EQ(files.WriteIniValue("C:\\keep.txt", "s", "k", "v").status(), Status::access_denied);
    EXPECT_EQ(ReadWholeFile(files, "C:\\keep.txt").value_or(""), "keep");
    // Renaming the file itself is allowed, and the attribute goes with it.
    ASSERT_TRUE(files.RenameFile("C:\\keep.txt", "C:\\kept.txt"));
    EXPECT_EQ(files.ReadAttributes("C:\\kept.txt").value_or(0), kReadOnly | kArchive);
    ASSERT_TRUE(WriteWholeFile(files, "C:\\keep.txt", "new"));
    EXPECT_EQ(files.ReadAttributes("C:\\keep.txt").value_or(0), kArchive);

    ASSERT_TRUE(files.WriteAttributes("C:\\kept.txt", attributes::normal));
    EXPECT_TRUE(WriteWholeFile(files, "C:\\kept.txt", "changed"));
    EXPECT_TRUE(files.RemoveFile("C:\\kept.txt"));

    // Hidden and system files may be written but not replaced by a plain new file.
    ASSERT_TRUE(WriteWholeFile(files, "C:\\hidden.sys", "h"));
    ASSERT_TRUE(files.WriteAttributes("C:\\hidden.sys", kHidden));
    EXPECT_EQ(WriteWholeFile(files, "C:\\hidden.sys", "x").status(), Status::access_denied);
    EXPECT_TRUE(files.Open(OpenRequest{"C:\\hidden.sys", Access::write, share::none, Disposition::open_existing}));

    // A read-only folder cannot be removed; a file in use may still have its attributes changed.
    ASSERT_TRUE(files.MakeFolder("C:\\Locked"));
    ASSERT_TRUE(files.WriteAttributes("C:\\Locked", kReadOnly));
    EXPECT_EQ(files.RemoveFolder("C:\\Locked").status(), Status::access_denied);
    ASSERT_TRUE(files.WriteAttributes("C:\\Locked", attributes::normal));
    EXPECT_TRUE(files.RemoveFolder("C:\\Locked"));
    EXPECT_TRUE(files.WriteAttributes("C:\\busy.dll", kHidden));
    EXPECT_EQ(files.RemoveFile("C:\\busy.dll").status(), Status::sharing_violation);
}

TEST(FileAttributes, WritingAFileMarksItForBackup) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(WriteWholeFile(files, "C:\\log.txt", "one"));
    ASSERT_TRUE(files.WriteAttributes("C:\\log.txt", kHidden));
    {
        auto reader = files.Open(OpenRequest{"C:\\log.txt", Access::read, share::read, Disposition::open_existing});
        ASSERT_TRUE(reader);
        char byte;
        ASSERT_TRUE(reader.value()->Read(&byte, 1));
    }
    EXPECT_EQ(files.ReadAttributes("C:\\log.txt").value_or(0), kHidden);
    auto writer = files.Open(OpenRequest{"C:\\log.txt", Access::write, share::none, Disposition::open_existing});
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer.value()->Write("two", 3));
    EXPECT_EQ(files.ReadAttributes("C:\\log.txt").value_or(0), kHidden | kArchive);
}

TEST(FileTimes, SetThroughAWriteOnlyHandleAndReadBackEverywhere) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    const FileTimes wanted{Time("2001-08-24 12:00:00.5"), Time("2002-03-01 08:30:15.1234567"), Time("2001-09-01 00:00:01")};
    {
        auto file = files.Open(OpenRequest{"C:\\dated.dll", Access::write, share::none, Disposition::create_always});
        ASSERT_TRUE(file);
        ASSERT_TRUE(file.value()->Write("MZ", 2));
        ASSERT_TRUE(file.value()->SetTimes(wanted));
        auto now = file.value()->Times();
        ASSERT_TRUE(now);
        EXPECT_EQ(now->creation, wanted.creation);
        EXPECT_EQ(now->last_write, wanted.last_write);
    }
    auto reader = files.Open(OpenRequest{"C:\\dated.dll", Access::read, share::read, Disposition::open_existing});
    ASSERT_TRUE(reader);
    auto read_back = reader.value()->Times();
    ASSERT_TRUE(read_back);
    EXPECT_EQ(read_back->creation, wanted.creation);
    EXPECT_EQ(read_back->last_access, wanted.last_access);
    EXPECT_EQ(read_back->last_write, wanted.last_write);
    // Setting times needs a handle that may write, as on the system.
    EXPECT_EQ(reader.value()->SetTimes(wanted).status(), Status::access_denied);

    auto listed = files.FindFiles("C:\\dated.*");
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), 1u);
    EXPECT_EQ(listed->front().times.creation, wanted.creation);
    EXPECT_EQ(listed->front().times.last_access, wanted.last_access);
    EXPECT_EQ(listed->front().times.last_write, wanted.last_write);

    // A zero time leaves that time alone.
    {
        auto file = files.Open(OpenRequest{"C:\\dated.dll", Access::read_write, share::none, Disposition::open_existing});
        ASSERT_TRUE(file);
        ASSERT_TRUE(file.value()->SetTimes(FileTimes{FileTime{}, FileTime{}, Time("2003-01-01 00:00:00")}));
    }
    auto again = files.FindFiles("C:\\dated.dll");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->front().times.creation, wanted.creation);
    EXPECT_EQ(again->front().times.last_access, wanted.last_access);
    EXPECT_EQ(again->front().times.last_write, Time("2003-01-01 00:00:00"));

    // A file without a kept creation time was created when it was last written.
    ASSERT_TRUE(WriteWholeFile(files, "C:\\plain.txt", "p"));
    auto plain = files.FindFiles("C:\\plain.txt");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->front().times.creation, plain->front().times.last_write);
}

TEST(FileMetadataStore, HoldsOnlyUnusualFilesFollowsDeletionsAndRenamesAndLastsAcrossRuns) {
    TempMachine temp;
    {
        FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
        ASSERT_TRUE(files.MakeFolder("C:\\App"));
        for (const char* name : {"C:\\App\\plain.txt", "C:\\App\\hidden.txt", "C:\\App\\dated.txt", "C:\\App\\same.txt"})
            ASSERT_TRUE(WriteWholeFile(files, name, "x"));
        ASSERT_TRUE(files.WriteAttributes("C:\\App\\hidden.txt", kHidden | kArchive));
        ASSERT_TRUE(files.WriteAttributes("C:\\App\\plain.txt", kArchive));
        auto dated = files.Open(OpenRequest{"C:\\App\\dated.txt", Access::write, share::none, Disposition::open_existing});
        ASSERT_TRUE(dated);
        ASSERT_TRUE(dated.value()->SetTimes({Time("1999-12-31 23:59:59"), Time("2000-01-01 00:00:00"), Time("2000-01-02 00:00:00")}));
        // Created when last written: nothing to keep.
        auto same = files.Open(OpenRequest{"C:\\App\\same.txt", Access::write, share::none, Disposition::open_existing});
        ASSERT_TRUE(same);
        ASSERT_TRUE(same.value()->SetTimes({Time("2000-01-02 00:00:00"), Time("2000-01-02 00:00:00"), Time("2000-01-02 00:00:00")}));
        ASSERT_TRUE(WriteWholeFile(files, "C:\\gone.txt", "g"));
        ASSERT_TRUE(files.WriteAttributes("C:\\gone.txt", kSystem));
        ASSERT_TRUE(files.RemoveFile("C:\\gone.txt"));
    }
    {
        FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
        ASSERT_TRUE(files.RenameFile("C:\\App", "C:\\Moved"));
    }
    temp.Reopen();
    EXPECT_EQ(StoreText(temp).find("plain.txt"), std::string::npos) << StoreText(temp);
    EXPECT_EQ(StoreText(temp).find("same.txt"), std::string::npos) << StoreText(temp);
    EXPECT_EQ(StoreText(temp).find("gone.txt"), std::string::npos) << StoreText(temp);
    EXPECT_EQ(StoreText(temp).find("C:\\App"), std::string::npos) << StoreText(temp);
    EXPECT_NE(StoreText(temp).find("C:\\Moved\\hidden.txt=HA\n"), std::string::npos) << StoreText(temp);
    EXPECT_NE(StoreText(temp).find("C:\\Moved\\dated.txt=A, 1999-12-31 23:59:59.0000000\n"), std::string::npos) << StoreText(temp);

    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    EXPECT_EQ(files.ReadAttributes("C:\\moved\\HIDDEN.TXT").value_or(0), kHidden | kArchive);
    auto listed = files.FindFiles("C:\\Moved\\dated.txt");
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->front().times.creation, Time("1999-12-31 23:59:59"));
    // A new file of a deleted file's name starts afresh.
    ASSERT_TRUE(WriteWholeFile(files, "C:\\gone.txt", "again"));
    EXPECT_EQ(files.ReadAttributes("C:\\gone.txt").value_or(0), kArchive);
}

TEST(FileMetadataStore, MountedDrivesAreNeverWrittenAndCdFilesAreReadOnly) {
    TempMachine temp;
    const fs::path cd = rvx::test_support::MakeTempFolder("rvx-cd");
    const fs::path stick = rvx::test_support::MakeTempFolder("rvx-stick");
    std::ofstream(cd / "Setup.ini") << "[x]\n";
    std::ofstream(stick / "notes.txt") << "n";
    ASSERT_TRUE(temp.machine().Mount({'D', DriveType::cdrom, 0, cd.string(), true}));
    ASSERT_TRUE(temp.machine().Mount({'E', DriveType::removable, 1440, stick.string(), false}));
    {
        FileSystem& files = temp.Start("D:\\Rovexa.exe", "").files;
        EXPECT_EQ(files.ReadAttributes("D:\\setup.ini").value_or(0), kReadOnly);
        EXPECT_EQ(files.ReadAttributes("D:\\").value_or(0), attributes::directory);
        EXPECT_EQ(files.WriteAttributes("D:\\setup.ini", attributes::normal).status(), Status::access_denied);
        EXPECT_EQ(files.ReadAttributes("E:\\notes.txt").value_or(0), kArchive);
        ASSERT_TRUE(files.WriteAttributes("E:\\notes.txt", kHidden));
        EXPECT_EQ(files.ReadAttributes("E:\\notes.txt").value_or(0), kHidden);
        ASSERT_TRUE(files.WriteAttributes("C:\\WINDOWS", kSystem));
    }
    temp.Reopen();
    EXPECT_NE(StoreText(temp).find("C:\\WINDOWS=S\n"), std::string::npos) << StoreText(temp);
    EXPECT_EQ(StoreText(temp).find("D:"), std::string::npos) << StoreText(temp);
    EXPECT_EQ(StoreText(temp).find("E:"), std::string::npos) << StoreText(temp);
    fs::remove_all(cd);
    fs::remove_all(stick);
}

TEST(FileMetadataStore, MalformedLinesAreNamedWithTheirLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"[files]\nC:\\a.txt=RX\n", "line 2"},
        {"; note\n[files]\nC:\\a.txt=R\nC:\\b.txt=A, 2001-02-29 00:00:00\n", "line 4"},
        {"a.txt=R\n", "line 1"},
        {"[files]\nC:\\a.txt\n", "line 2"},
        {"[files]\n\\\\server\\share\\a.txt=R\n", "line 2"},
        {"[other]\n", "line 1"},
    };
    for (const auto& [text, where] : cases) {
        auto parsed = FileMetadataStore::Parse(text, "file-attributes.ini");
        ASSERT_FALSE(parsed) << text;
        EXPECT_EQ(parsed.status(), Status::invalid_argument);
        EXPECT_NE(parsed.error().detail.find(where), std::string::npos) << parsed.error().detail;
    }
    // A name may hold "=": the last one separates.
    auto parsed = FileMetadataStore::Parse("[files]\nC:\\x=y.txt = rh\n", "file-attributes.ini");
    ASSERT_TRUE(parsed) << parsed.error().Describe();
    auto found = parsed->Find(rvx::sandbox::WindowsPath{'C', {"X=Y.TXT"}});
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->attributes, kReadOnly | kHidden);

    // A machine whose store is malformed does not open, and the store is left as it was.
    TempMachine temp;
    const fs::path store = temp.folder() / "machine" / "file-attributes.ini";
    std::ofstream(store, std::ios::binary) << "[files]\nC:\\a.txt=Q\n";
    auto opened = rvx::sandbox::Machine::Open((temp.folder() / "machine").string());
    ASSERT_FALSE(opened);
    EXPECT_NE(opened.error().detail.find("file-attributes.ini line 2"), std::string::npos) << opened.error().detail;
    EXPECT_EQ(Slurp(store), "[files]\nC:\\a.txt=Q\n");
}

TEST(FileMetadataStore, TimesAreWrittenAsUtcDatesAndReadBackExactly) {
    const std::pair<const char*, uint64_t> cases[] = {
        {"1601-01-01 00:00:00.0000000", 0},
        {"1970-01-01 00:00:00.0000000", 116444736000000000ull},
        {"2000-02-29 12:34:56.7890123", 125963012967890123ull},
        {"2038-01-19 03:14:08.0000000", 137919572480000000ull},
        {"30827-12-31 23:59:59.9999999", 0x7FFF35F4F06C7FFFull},  // the latest the system accepts
    };
    for (const auto& [text, ticks] : cases) {
        EXPECT_EQ(rvx::sandbox::FormatFileTime(FileTime{ticks}), text);
        FileTime parsed;
        ASSERT_TRUE(rvx::sandbox::ParseFileTime(text, parsed)) << text;
        EXPECT_EQ(parsed.ticks, ticks) << text;
    }
    FileTime ignored;
    for (const char* bad : {"1600-12-31 23:59:59", "2001-02-29 00:00:00", "2001-13-01 00:00:00", "2001-01-01 24:00:00",
                            "2001-01-01 00:00:00.", "2001-01-01 00:00:00.12345678", "2001-1-01 00:00:00", "30828-01-01 00:00:00", ""})
        EXPECT_FALSE(rvx::sandbox::ParseFileTime(bad, ignored)) << bad;
}

TEST(FileAttributes, AListingOfNamesAlone) {
    TempMachine temp;
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    temp.PutFile("C:\\Walk\\Plain.txt", "plain");
    temp.PutFile("C:\\Walk\\Hidden.txt", "hidden");
    temp.PutFile("C:\\Walk\\Sub\\Inner.txt", "inner");
    fs::create_directory_symlink(temp.HostPath("C:\\Walk\\Sub"), temp.HostPath("C:\\Walk\\SubLink"));
    ASSERT_TRUE(files.WriteAttributes("C:\\Walk\\Hidden.txt", kHidden));
    ASSERT_TRUE(files.WriteAttributes("C:\\Walk\\Sub", kReadOnly));
    // With or without kept attributes in the folder, the names, their order and attributes are
    // those of the whole listing.
    for (const char* pattern : {"C:\\Walk\\*", "C:\\Walk\\Sub\\*", "C:\\*"}) {
        auto full = files.FindFiles(pattern);
        auto names = files.ListNames(pattern);
        ASSERT_TRUE(full && names) << pattern;
        ASSERT_EQ(names->size(), full->size()) << pattern;
        for (size_t i = 0; i < full->size(); ++i) {
            EXPECT_EQ((*names)[i].name, (*full)[i].name) << pattern;
            EXPECT_EQ((*names)[i].attributes, (*full)[i].attributes) << pattern << " " << (*full)[i].name;
            EXPECT_EQ((*names)[i].size, 0u);
        }
    }
    auto walk = files.ListNames("C:\\Walk\\*");
    ASSERT_TRUE(walk);
    ASSERT_NE(FindEntry(*walk, "SubLink"), nullptr);
    EXPECT_TRUE(FindEntry(*walk, "SubLink")->is_folder());
    EXPECT_EQ(FindEntry(*walk, "Hidden.txt")->attributes, kHidden);
    EXPECT_EQ(files.ListNames("C:\\Nowhere\\*").status(), Status::path_not_found);
}
