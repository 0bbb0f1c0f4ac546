// The uninstall log on a simulated machine: the exact bytes of every record kind, the folders
// listed for removal, replacing an old log, a log that cannot be created, records written
// through as they are made, and reading the record lines back.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/text/text.h"
#include "common/uninstall_log/log_reader.h"
#include "common/uninstall_log/records.h"
#include "common/uninstall_log/uninstall_log.h"
#include "tests/support/forwarding_files.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using platform::Status;
using test_support::TempMachine;
using uninstall_log::FormatRecord;
using uninstall_log::ParseRecordLine;
using uninstall_log::Record;
using uninstall_log::RecordCode;
using uninstall_log::UninstallLog;

namespace {

// Keeps the read-only attribute the simulated machine does not: a read-only file can be
// neither deleted nor opened for writing until its attributes are set back.
class ReadOnlyFiles : public test_support::ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    void MarkReadOnly(const std::string& path) { read_only_.insert(text::ToUpper(path)); }

    platform::Outcome WriteAttributes(std::string_view path, uint32_t attributes) override {
        if (attributes & platform::attributes::read_only)
            read_only_.insert(text::ToUpper(path));
        else
            read_only_.erase(text::ToUpper(path));
        return {};
    }
    platform::Outcome RemoveFile(std::string_view path) override {
        if (read_only_.count(text::ToUpper(path))) return platform::Fail(Status::access_denied, std::string(path));
        return files_.RemoveFile(path);
    }
    platform::Result<std::unique_ptr<platform::File>> Open(const platform::OpenRequest& request) override {
        if (request.access != platform::Access::read && read_only_.count(text::ToUpper(request.path)))
            return platform::Fail(Status::access_denied, request.path);
        return files_.Open(request);
    }

private:
    std::set<std::string> read_only_;
};

// Counts the writes to the files it opens, and fails the next `failing` of them.
class WriteWatch : public test_support::ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    int writes = 0;
    int failing = 0;

    platform::Result<std::unique_ptr<platform::File>> Open(const platform::OpenRequest& request) override {
        auto opened = files_.Open(request);
        if (!opened) return opened.error();
        return std::unique_ptr<platform::File>(std::make_unique<WatchedFile>(std::move(opened.value()), *this));
    }

private:
    class WatchedFile : public test_support::ForwardingFile {
    public:
        WatchedFile(std::unique_ptr<platform::File> file, WriteWatch& watch) : ForwardingFile(std::move(file)), watch_(watch) {}
        platform::Outcome Write(const void* data, size_t size) override {
            ++watch_.writes;
            if (watch_.failing > 0) {
                --watch_.failing;
                return platform::Fail(Status::disk_full, "no room");
            }
            return file_->Write(data, size);
        }

    private:
        WriteWatch& watch_;
    };
};

sandbox::MachineConfig WithDriveD() {
    auto config = sandbox::MachineConfig::Default();
    config.drives.push_back({'D', platform::DriveType::fixed, 100000, "", false});
    return config;
}

struct Machine {
    Machine() : temp(WithDriveD()), files(temp.Start("C:\\Setup\\Rovexa.exe", "").files) {
        temp.PutFile("C:\\Prog\\readme.txt", "");
        temp.PutFile("D:\\Logs\\readme.txt", "");
    }
    bool Has(const std::string& path) { return platform::Exists(files, path); }
    TempMachine temp;
    platform::FileSystem& files;
};

const char kLog[] = "C:\\Prog\\App.nvu";

}  // namespace

TEST(UninstallLog, WritesEachRecordKindAsOneLineWithCrLf) {
    Machine machine;
    UninstallLog log(machine.files);
    log.Open("App.nvu", "C:\\Prog\\");
    ASSERT_TRUE(log.is_open());
    EXPECT_EQ(log.path(), kLog);

    log.RecordFile("C:\\Prog\\Bin\\", "Disk1\\Tool.exe");
    log.RecordFile("C:\\Prog\\", "Plain.txt");
    log.RecordFile("", "C:\\Other\\Whole.dll");
    log.RecordFilePath("C:\\Prog\\*.tmp");
    log.RecordSharedFile("C:\\WINDOWS\\system32\\", "lib\\Shared.dll");
    log.RecordInstallFolder("C:\\Prog\\");
    log.RecordProduct("Demo App 2.0");
    log.RecordRegistryKey("HKEY_LOCAL_MACHINE\\Software\\Demo");
    log.RecordCommand("[DeleteGroup(Demo)]");
    log.RecordConditionalCommand("C:\\WINDOWS\\system32\\Shared.dll", "[DeleteItem(Shared)]");
    log.RecordWarning("C:\\Prog\\data.db", "Keep your data?");
    log.RecordService("DemoService");
    log.Close();
    EXPECT_FALSE(log.is_open());

    EXPECT_EQ(machine.temp.ReadFile(kLog),
              ".DC:\\Prog\\App.nvu\r\n"
              ".DC:\\Prog\\Bin\\Tool.exe\r\n"
              ".DC:\\Prog\\Plain.txt\r\n"
              ".DC:\\Other\\Whole.dll\r\n"
              ".DC:\\Prog\\*.tmp\r\n"
              ".EC:\\WINDOWS\\system32\\Shared.dll\r\n"
              ".FC:\\Prog\\\r\n"
              ".RDemo App 2.0\r\n"
              ".XHKEY_LOCAL_MACHINE\\Software\\Demo\r\n"
              ".P[DeleteGroup(Demo)]\r\n"
              ".AC:\\WINDOWS\\system32\\Shared.dll\r\n"
              ".B[DeleteItem(Shared)]\r\n"
              ".CC:\\Prog\\data.db\r\n"
              ".MKeep your data?\r\n"
              ".GDemoService\r\n");
}

TEST(UninstallLog, OpenJoinsFolderAndNameAndRecordsTheLogItself) {
    Machine machine;
    {
        UninstallLog log(machine.files);
        log.Open("App.nvu", "C:\\Prog");  // no trailing "\": one is added
        EXPECT_EQ(log.path(), kLog);
    }
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n");

    {
        UninstallLog log(machine.files);
        log.Open("D:\\Logs\\x.nvu", "C:\\Prog\\");  // a name with a "\" is the whole path
        EXPECT_EQ(log.path(), "D:\\Logs\\x.nvu");
    }
    EXPECT_EQ(machine.temp.ReadFile("D:\\Logs\\x.nvu"), ".DD:\\Logs\\x.nvu\r\n");

    ASSERT_TRUE(machine.files.SetCurrentFolder("D:\\Logs"));
    {
        UninstallLog log(machine.files);
        log.Open("Here.nvu", "");
        EXPECT_EQ(log.path(), "Here.nvu");
        EXPECT_TRUE(log.is_open());
    }
    EXPECT_EQ(machine.temp.ReadFile("D:\\Logs\\Here.nvu"), ".DHere.nvu\r\n");
}

TEST(UninstallLog, ListsFoldersToRemoveOnceAndWritesThemAtClose) {
    Machine machine;
    UninstallLog log(machine.files);
    log.AddFolderToRemove("C:\\Before\\");  // no file yet: not listed
    log.Open("App.nvu", "C:\\Prog\\");
    log.AddFolderToRemove("C:\\Prog\\Data\\");
    log.AddFolderToRemove("C:\\Prog\\");
    log.AddFolderToRemove("C:\\Prog\\Data\\");  // listed already
    log.AddFolderToRemove("c:\\prog\\data\\");  // a different text, kept
    log.RecordProduct("Demo");
    // On disk at once, behind every other record, so that a stop here still removes them.
    const std::string closed = ".DC:\\Prog\\App.nvu\r\n.RDemo\r\n"
                               ".ZC:\\Prog\\Data\\\r\n.ZC:\\Prog\\\r\n.Zc:\\prog\\data\\\r\n";
    EXPECT_EQ(machine.temp.ReadFile(kLog), closed);

    EXPECT_EQ(machine.temp.ReadFile(kLog), closed);

    log.Close();
    log.RecordProduct("After");
    log.AddFolderToRemove("C:\\After\\");
    log.Close();
    EXPECT_EQ(machine.temp.ReadFile(kLog), closed);

    // A new log starts with an empty list.
    log.Open("Second.nvu", "C:\\Prog\\");
    log.Close();
    EXPECT_EQ(machine.temp.ReadFile("C:\\Prog\\Second.nvu"), ".DC:\\Prog\\Second.nvu\r\n");
}

TEST(UninstallLog, ReplacesAnOldLogEvenAReadOnlyOne) {
    Machine machine;
    machine.temp.PutFile(kLog, ".DC:\\Old\\file.txt\r\n.ROld product\r\n");
    ReadOnlyFiles files(machine.files);
    files.MarkReadOnly(kLog);
    UninstallLog log(files);
    log.Open("App.nvu", "C:\\Prog\\");
    EXPECT_TRUE(log.is_open());
    log.RecordProduct("New product");
    log.Close();
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n.RNew product\r\n");

    // The simulated machine keeps no attributes and refuses to set them; that is passed over.
    machine.temp.PutFile(kLog, "an old log, much longer than the new one will be\r\n");
    UninstallLog plain(machine.files);
    plain.Open("App.nvu", "C:\\Prog\\");
    plain.Close();
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n");
}

TEST(UninstallLog, ALogThatCannotBeCreatedMakesEveryOperationDoNothing) {
    auto config = WithDriveD();
    config.denied_paths = {"C:\\Locked"};
    TempMachine temp(config);
    temp.PutFile("C:\\Locked\\old.nvu", "old");
    platform::FileSystem& files = temp.Start("C:\\Setup\\Rovexa.exe", "").files;

    for (const std::string folder : {"C:\\Missing\\Sub\\", "C:\\Locked\\"}) {
        WriteWatch watch(files);
        UninstallLog log(watch);
        log.Open("old.nvu", folder);
        EXPECT_FALSE(log.is_open()) << folder;
        EXPECT_TRUE(log.failed()) << folder;  // the installation is told, and stops
        EXPECT_EQ(log.path(), folder + "old.nvu");
        log.AddFolderToRemove("C:\\Prog\\");
        log.RecordFile(folder, "a.txt");
        log.RecordFilePath("C:\\a.txt");
        log.RecordSharedFile(folder, "b.dll");
        log.RecordInstallFolder(folder);
        log.RecordProduct("Demo");
        log.RecordRegistryKey("HKEY_CURRENT_USER\\Software\\Demo");
        log.RecordCommand("[x]");
        log.RecordConditionalCommand("C:\\b.dll", "[y]");
        log.RecordWarning("C:\\c", "text");
        log.RecordService("Svc");
        log.Close();
        log.Close();
        EXPECT_EQ(watch.writes, 0) << folder;
    }
    EXPECT_FALSE(platform::Exists(files, "C:\\Missing"));
    EXPECT_EQ(temp.ReadFile("C:\\Locked\\old.nvu"), "old");
}

TEST(UninstallLog, WritesEachRecordThroughAsItIsMade) {
    Machine machine;
    WriteWatch watch(machine.files);
    UninstallLog log(watch);
    log.Open("App.nvu", "C:\\Prog\\");
    std::string expected = ".DC:\\Prog\\App.nvu\r\n";
    EXPECT_EQ(watch.writes, 1);
    EXPECT_EQ(machine.temp.ReadFile(kLog), expected);

    const std::string long_key = "HKEY_LOCAL_MACHINE\\Software\\" + std::string(600, 'k');
    struct Step {
        std::function<void()> record;
        std::string lines;
    };
    const std::vector<Step> steps = {
        {[&] { log.RecordProduct("Demo"); }, ".RDemo\r\n"},
        {[&] { log.RecordRegistryKey(long_key); }, ".X" + long_key + "\r\n"},
        {[&] { log.RecordConditionalCommand("C:\\s.dll", "[z]"); }, ".AC:\\s.dll\r\n.B[z]\r\n"},
        {[&] { log.RecordWarning("C:\\w", "one\ntwo"); }, ".CC:\\w\r\n.Mone\r\ntwo\r\n"},
        {[&] { log.RecordFile("C:\\Prog\\", "x.exe"); }, ".DC:\\Prog\\x.exe\r\n"},
    };
    int writes = watch.writes;
    for (const auto& step : steps) {
        step.record();
        expected += step.lines;
        EXPECT_EQ(watch.writes, ++writes) << step.lines;
        EXPECT_EQ(machine.temp.ReadFile(kLog), expected);
    }
    EXPECT_GT(expected.size(), 600u);
}

TEST(UninstallLog, AFailedWriteFailsTheLogAndNothingMoreIsWritten) {
    Machine machine;
    WriteWatch watch(machine.files);
    UninstallLog log(watch);
    log.Open("App.nvu", "C:\\Prog\\");
    EXPECT_FALSE(log.failed());
    watch.failing = 1;
    log.RecordProduct("Lost");
    EXPECT_TRUE(log.failed());
    const int writes = watch.writes;
    log.RecordProduct("Not written either");
    log.AddFolderToRemove("C:\\Prog\\");
    log.Close();
    EXPECT_EQ(watch.writes, writes);
    EXPECT_TRUE(log.failed());
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n");
}

TEST(UninstallLog, TheWorkingLogNamesProductAndFolderFirstAndKeepsItsClosingLinesLast) {
    Machine machine;
    UninstallLog log(machine.files);
    log.Open("App.nvu", "C:\\Prog\\", {"Demo", "C:\\Prog"});
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n.RDemo\r\n.FC:\\Prog\r\n");
    log.AddFolderToRemove("C:\\Prog");
    log.RecordFileToCreate("C:\\Prog\\a.txt");
    log.RecordFolderToCreate("C:\\Common\\Demo");
    log.RecordFileToCreate("C:\\Prog\\a.txt");  // named once
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n.RDemo\r\n.DC:\\Prog\\a.txt\r\n"
                                           ".FC:\\Prog\r\n.ZC:\\Prog\r\n.ZC:\\Common\\Demo\r\n");
    // The records of the finished log, in the order made; those named already are not repeated.
    log.RecordFilePath("C:\\Prog\\a.txt");
    log.RecordFilePath("C:\\Prog\\b.txt");
    log.RecordRegistryKey("HKLM,\"Software\\Demo\"");
    log.RecordProduct("Demo");
    log.RecordInstallFolder("C:\\Prog");
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n.RDemo\r\n.DC:\\Prog\\a.txt\r\n.DC:\\Prog\\b.txt\r\n"
                                           ".XHKLM,\"Software\\Demo\"\r\n.FC:\\Prog\r\n.ZC:\\Prog\r\n.ZC:\\Common\\Demo\r\n");
    // Complete: the finished log as the uninstaller has always read it.
    log.Close();
    EXPECT_FALSE(log.failed());
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n.DC:\\Prog\\a.txt\r\n.DC:\\Prog\\b.txt\r\n"
                                           ".XHKLM,\"Software\\Demo\"\r\n.RDemo\r\n.FC:\\Prog\r\n.ZC:\\Prog\r\n");
    EXPECT_FALSE(machine.Has(uninstall_log::FinishedLogPath(kLog)));
}

TEST(UninstallLog, AnEarlierLogStaysUntilTheNewInstallationIsComplete) {
    Machine machine;
    const std::string old_log = ".DC:\\Prog\\App.nvu\r\n.DC:\\Prog\\old.exe\r\n.ROld\r\n.FC:\\Prog\\\r\n";
    machine.temp.PutFile(kLog, old_log);
    const std::string working = uninstall_log::WorkingLogPath(kLog);
    {
        // Stopped: the old log is untouched, the new records wait beside it.
        UninstallLog log(machine.files);
        log.Open("App.nvu", "C:\\Prog\\", {"New", "C:\\Prog\\"});
        log.RecordFileToCreate("C:\\Prog\\new.exe");
        EXPECT_EQ(machine.temp.ReadFile(kLog), old_log);
        log.Abandon();
        EXPECT_EQ(machine.temp.ReadFile(kLog), old_log);
        EXPECT_EQ(machine.temp.ReadFile(working), ".DC:\\Prog\\App.nvu\r\n.RNew\r\n.DC:\\Prog\\new.exe\r\n.FC:\\Prog\\\r\n");
    }
    UninstallLog log(machine.files);
    log.Open("App.nvu", "C:\\Prog\\", {"New", "C:\\Prog\\"});
    log.RecordFilePath("C:\\Prog\\new.exe");
    log.RecordProduct("New");
    log.Close();
    EXPECT_EQ(machine.temp.ReadFile(kLog), ".DC:\\Prog\\App.nvu\r\n.DC:\\Prog\\new.exe\r\n.RNew\r\n");
    EXPECT_FALSE(machine.Has(working));
}

TEST(UninstallLogRecords, AWarningSpansOnePhysicalLinePerMessageLine) {
    Machine machine;
    UninstallLog log(machine.files);
    log.Open("App.nvu", "C:\\Prog\\");
    log.RecordWarning("C:\\Prog\\data.db", "Your data stays in C:\\Prog.\nRemove it yourself\r\n.if you no longer need it\n\n\\n");
    log.RecordService("Svc");
    log.Close();
    const std::string content = machine.temp.ReadFile(kLog);
    EXPECT_EQ(content,
              ".DC:\\Prog\\App.nvu\r\n"
              ".CC:\\Prog\\data.db\r\n"
              ".MYour data stays in C:\\Prog.\r\n"
              "Remove it yourself\r\n"
              " .if you no longer need it\r\n"
              "\\n\r\n"  // an empty line would end the warning: it is written as the mark for one
              "\\n\r\n"  // the script's own mark is kept
              ".GSvc\r\n");

    // Read back the way the uninstaller does: the warning is the M line and the lines after it
    // up to the next record.
    std::vector<std::string> lines;
    for (size_t start = 0; start < content.size();) {
        const size_t end = content.find("\r\n", start);
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(ParseRecordLine(lines[2]), (Record{RecordCode::warning, "Your data stays in C:\\Prog."}));
    for (size_t i = 3; i < 7; ++i) EXPECT_TRUE(uninstall_log::IsContinuationLine(lines[i])) << i;
    EXPECT_FALSE(uninstall_log::IsContinuationLine(lines[7]));
    EXPECT_FALSE(uninstall_log::IsContinuationLine(""));
}

TEST(UninstallLogRecords, EveryCodeReadsBackAsWritten) {
    const RecordCode codes[] = {RecordCode::file, RecordCode::shared_file, RecordCode::install_folder,
                                RecordCode::product, RecordCode::registry_key, RecordCode::command,
                                RecordCode::conditional_file, RecordCode::conditional_command,
                                RecordCode::warning_condition, RecordCode::warning, RecordCode::service,
                                RecordCode::folder_to_remove, RecordCode::selected_registry_key};
    std::set<char> letters;
    for (RecordCode code : codes) {
        letters.insert(static_cast<char>(code));
        EXPECT_TRUE(uninstall_log::IsKnownRecordCode(code));
        const std::string text = "C:\\Prog\\Some file.txt";
        const std::string line = FormatRecord(code, text);
        EXPECT_EQ(line, std::string(".") + static_cast<char>(code) + text);
        EXPECT_EQ(ParseRecordLine(line), (Record{code, text}));
        EXPECT_EQ(ParseRecordLine(line + "\r\n"), (Record{code, text}));
        EXPECT_EQ(ParseRecordLine(line + "\n"), (Record{code, text}));
        // As the uninstaller reads it: split by the log reader, parsed by the same parser.
        const auto read = uninstall_log::SplitLogLines(line + "\r\n");
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(uninstall_log::ParseRecord(read[0]), (Record{code, text}));
    }
    // The reader's lines have lost their line end already; a stray "\r" is the text's own.
    EXPECT_EQ(uninstall_log::ParseRecord(".DC:\\x\r"), (Record{RecordCode::file, "C:\\x\r"}));
    EXPECT_EQ(letters.size(), std::size(codes));
    EXPECT_EQ(ParseRecordLine(".R"), (Record{RecordCode::product, ""}));

    // A letter with no meaning is still a record, one a reader passes over.
    auto unknown = ParseRecordLine(".Qsomething");
    ASSERT_TRUE(unknown.has_value());
    EXPECT_EQ(static_cast<char>(unknown->code), 'Q');
    EXPECT_FALSE(uninstall_log::IsKnownRecordCode(unknown->code));

    for (const char* other : {"", ".", "D.C:\\x", "..DC:\\x", ".1x", ". D", "\r\n", " .DC:\\x"})
        EXPECT_EQ(ParseRecordLine(other), std::nullopt) << other;

    // Only the warning text may span lines; elsewhere a line break would start a false record.
    EXPECT_EQ(FormatRecord(RecordCode::product, "Demo\r\n.DC:\\WINDOWS"), ".RDemo  .DC:\\WINDOWS");
}
