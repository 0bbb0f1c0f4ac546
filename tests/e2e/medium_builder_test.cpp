// The medium builder: a product folder and a template become a medium that the host installer
// installs from on the simulated machine, in every layout, plain and compressed, on one disk and
// on several, and that the uninstaller removes again without a trace; and the builder's refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/check_output.h"
#include "host/medium_builder.h"
#include "installer/files/szdd_writer.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using rvx::host::BuildMedium;
using rvx::host::BuildRequest;
using rvx::host::MediumLayout;

namespace {

constexpr const char* kProduct = "Built Product";

void Write(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

// A product of a few kilobytes: a program, a folder of documents with a sub-folder, samples for a
// wildcard, and text that compresses well.
std::string Body(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i % 17) + " of the product's documentation\r\n";
    return text;
}

std::string Template() {
    const std::string entry = std::string("HKLM,\"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProduct + "\",";
    return std::string("; template: sizes left out, a folder and a wildcard\r\n") + "[TITLE]\r\n" + kProduct +
           "\r\n[PRODUCTNAME]\r\n" + kProduct + "\r\n[VERSION]\r\n2.0\r\n[DISKID]\r\nBuilt disk %s\r\n" +
           "[INSTALLDIRTEXT]\r\nWhere?\r\n[DEFAULTDIR]\r\n%PROGFILES%\\" + kProduct + "\r\n[UNINSTALLFILE]\r\nbuilt.nvu\r\n" +
           "[STRINGS]\r\nTALMREG=Software\\" + kProduct + "\r\n[FILES]\r\nDismara.exe\r\napp.exe,,,\r\ndocs\\,%DSTPATH%\\\r\n"
           "samples\\*.txt,%DSTPATH%\\,,,0\r\n" +
           "[CREATEFILES]\r\ncache.bin,,2\r\n" + "[REGISTRY]\r\n" + entry + "DisplayName,," + kProduct + "\r\n" + entry +
           "UninstallString,,'\"%DSTPATH%\\Dismara.exe\" %DSTPATH%\\built.nvu'\r\n" +
           "[REGISTRYUNINSTALL]\r\nHKLM,\"%TALMREG%\"\r\n[EOF]\r\nend\r\n";
}

class MediumBuilder : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = rvx::test_support::MakeTempFolder("rvx-medium-builder");
        Write(Product() / "app.exe", "program " + Body(40));
        Write(Product() / "docs" / "guide.txt", Body(60));
        Write(Product() / "docs" / "more" / "notes.txt", Body(30));
        // Bytes that do not compress, so that compressed media need several disks too.
        std::string noise;
        for (uint32_t i = 0, x = 12345; i < 1800; ++i) noise += static_cast<char>((x = x * 1103515245 + 12345) >> 24);
        Write(Product() / "docs" / "noise.bin", noise);
        Write(Product() / "samples" / "one.txt", "first sample");
        Write(Product() / "samples" / "two.txt", "second sample");
        Write(Product() / "samples" / "skip.dat", "not a sample");
        Write(base_ / "template.ini", Template());
        // Product files dated long before the build, each its own day.
        int day = 0;
        for (const auto& item : fs::recursive_directory_iterator(Product()))
            if (item.is_regular_file()) fs::last_write_time(item.path(), ProductTime(++day));
    }
    static fs::file_time_type ProductTime(int day) {
        return std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now()) - std::chrono::hours(24 * (700 + day));
    }
    void TearDown() override { fs::remove_all(base_); }

    fs::path Product() const { return base_ / "product"; }
    fs::path Machine() const { return base_ / "machine"; }

    BuildRequest Request(MediumLayout layout, bool compress, uint64_t capacity) const {
        BuildRequest request;
        request.product = Product().string();
        request.script = (base_ / "template.ini").string();
        request.output = (base_ / "medium").string();
        request.layout = layout;
        request.capacity = capacity;
        if (compress) request.compress = {"*"};
        return request;
    }

    int Run(const std::string& program, const std::string& arguments) {
        return rvx::test_support::RunHostProgram(program, arguments, base_, output_);
    }

    // Installs from the built medium, answering OK to each further disk's prompt (and with a set
    // of floppies, putting the disk into the drive first), checks every file against the
    // product, then removes the product and compares the machine with before.
    void InstallAndRemove(const BuildRequest& request, int disk_prompts) {
        std::string answers;
        for (int i = 0; i < disk_prompts; ++i)
            answers += (request.layout == MediumLayout::floppies ? "disk " + std::to_string(i + 2) + "\n" : "") + "page 131 ok\n";
        InstallAndRemove(request, answers, disk_prompts + 1);
    }
    void InstallAndRemove(const BuildRequest& request, const std::string& answers, int disks) {
        const fs::path first = rvx::host::DiskFolder(request, 1);
        std::string program = "D:\\Rovexa.exe";
        std::string medium = " --medium " + Quote(request.output);
        if (request.layout == MediumLayout::floppies) {
            program = "A:\\Rovexa.exe";
            medium = " --medium " + Quote(first);
            for (int disk = 2; disk <= disks; ++disk) medium += " --disk " + Quote(rvx::host::DiskFolder(request, disk));
        } else if (const std::string folder = fs::relative(first, request.output).string(); folder != ".") {
            program = "D:\\" + folder + "\\Rovexa.exe";
        }
        Write(first / "unattended.ANS", std::string("installmode=1\r\ndstpath=C:\\Program Files\\") + kProduct +
                                            "\r\nname=Jane\r\ncompany=ACME\r\n");
        Write(base_ / "answers.txt", answers);
        ASSERT_EQ(Run(SIMMACHINE_HOST_BINARY, "create " + Quote(Machine())), 0) << output_;
        fs::copy(Machine(), base_ / "before", fs::copy_options::recursive);
        const std::string unattended = program.substr(0, program.size() - 10) + "unattended.ANS";
        ASSERT_EQ(Run(ROVEXA_HOST_BINARY, "--machine " + Quote(Machine()) + medium + " --program '" + program + "' --ui " +
                                              Quote("script:" + (base_ / "answers.txt").string()) + " -- /E '" + unattended + "'"),
                  0)
            << output_ << rvx::test_support::Slurp(Machine() / "journal.log");
        const fs::path installed = Machine() / "drives" / "C" / "Program Files" / kProduct;
        for (const char* file :
             {"app.exe", "docs/guide.txt", "docs/noise.bin", "docs/more/notes.txt", "samples/one.txt", "samples/two.txt"})
            EXPECT_EQ(rvx::test_support::Slurp(installed / file), rvx::test_support::Slurp(Product() / file)) << file;
        EXPECT_FALSE(fs::exists(installed / "samples" / "skip.dat"));
        // A file stored plain is installed with the product file's time.
        if (request.compress.empty()) {
            for (const char* file : {"app.exe", "docs/more/notes.txt", "samples/two.txt"})
                EXPECT_EQ(fs::last_write_time(installed / file), fs::last_write_time(Product() / file)) << file;
        }
        EXPECT_EQ(fs::file_size(installed / "cache.bin"), 2000u);

        // The file [CREATEFILES] made is not in the uninstall log: it is offered among the leftovers,
        // and the box that deletes them is ticked.
        Write(base_ / "remove.txt", "page 131 6\npage 129 ok 1001=1\n");
        ASSERT_EQ(Run(SIMMACHINE_HOST_BINARY, "uninstall " + Quote(Machine()) + " '" + kProduct + "' --ui " +
                                                  Quote("script:" + (base_ / "remove.txt").string())),
                  0)
            << output_;
        ASSERT_EQ(Run(SIMMACHINE_HOST_BINARY, "diff " + Quote(base_ / "before") + " " + Quote(Machine())), 0) << output_;
        EXPECT_EQ(output_, "0 change(s)\n");
    }

    fs::path base_;
    std::string output_;
};

}  // namespace

TEST_F(MediumBuilder, FillsSizesSplitsDisksAndStoresCompressedFiles) {
    auto request = Request(MediumLayout::disk_folders, true, 3000);
    const auto result = BuildMedium(request);
    ASSERT_TRUE(result.built) << (result.errors.empty() ? "" : result.errors[0]);
    EXPECT_GE(result.disks, 2);
    EXPECT_LT(result.stored_bytes, result.expanded_bytes);
    const std::string script = rvx::test_support::Slurp(fs::path(rvx::host::DiskFolder(request, 1)) / "Install.ini");
    // Every line carries its file's size; the folder's sub-folder keeps its place.
    EXPECT_NE(script.find("\r\n#1\r\nDismara.exe,,,," + std::to_string(std::string(
        "Stand-in for Dismara.exe: on the simulated machine the host program dismara runs in its place.\r\n").size())),
              std::string::npos) << script;
    EXPECT_NE(script.find("docs\\more\\notes.txt,%DSTPATH%\\,,," + std::to_string(Body(30).size())), std::string::npos)
        << script;
    EXPECT_NE(script.find("[SIZE]\r\n" + std::to_string(result.expanded_bytes + 2000) + "\r\n"), std::string::npos) << script;
    EXPECT_EQ(script.find("skip.dat"), std::string::npos);
    for (int disk = 1; disk <= result.disks; ++disk)
        EXPECT_EQ(rvx::test_support::Slurp(fs::path(rvx::host::DiskFolder(request, disk)) / ("DISK" + std::to_string(disk))),
                  "Built disk " + std::to_string(disk));
    EXPECT_TRUE(fs::exists(fs::path(rvx::host::DiskFolder(request, 1)) / "app.ex_"));
    // Stored compressed, a file keeps the product file's time on the medium too.
    EXPECT_EQ(fs::last_write_time(fs::path(rvx::host::DiskFolder(request, 1)) / "app.ex_"),
              fs::last_write_time(Product() / "app.exe"));
    EXPECT_FALSE(fs::exists(fs::path(rvx::host::DiskFolder(request, 1)) / "app.exe"));
    EXPECT_TRUE(result.check.problems.empty());
}

TEST_F(MediumBuilder, RefusesWhatCannotMakeAWorkingMedium) {
    {
        Write(base_ / "template.ini", Template() + "[FILES]\r\nmore.txt\r\n");
        EXPECT_FALSE(BuildMedium(Request(MediumLayout::single, false, 0)).built) << "two file lists";
    }
    {
        std::string missing = Template();
        missing.replace(missing.find("app.exe,,,"), 10, "gone.exe,,,");
        Write(base_ / "template.ini", missing);
        const auto result = BuildMedium(Request(MediumLayout::single, false, 0));
        ASSERT_FALSE(result.built);
        EXPECT_NE(result.errors[0].find("gone.exe"), std::string::npos);
    }
    {
        Write(base_ / "template.ini", Template());
        Write(Product() / "app.exa", "twin");
        std::string twins = Template();
        twins.replace(twins.find("app.exe,,,"), 10, "app.exe,,,\r\napp.exa,,,");
        Write(base_ / "template.ini", twins);
        const auto result = BuildMedium(Request(MediumLayout::single, true, 0));
        ASSERT_FALSE(result.built);
        EXPECT_NE(result.errors[0].find("stored as app.ex_"), std::string::npos) << result.errors[0];
    }
    {
        Write(base_ / "template.ini", Template());
        fs::remove_all(base_ / "medium");
        const auto result = BuildMedium(Request(MediumLayout::disk_folders, false, 1500));
        ASSERT_FALSE(result.built);
        EXPECT_NE(result.errors[0].find("does not fit"), std::string::npos) << result.errors[0];
    }
    {
        std::string undefined = Template();
        undefined.replace(undefined.find("%PROGFILES%"), 11, "%NOWHERE%");
        Write(base_ / "template.ini", undefined);
        fs::remove_all(base_ / "medium");
        const auto result = BuildMedium(Request(MediumLayout::single, false, 0));
        ASSERT_FALSE(result.built) << "the finished script is checked";
        EXPECT_TRUE(result.check.HasErrors());
        EXPECT_FALSE(fs::exists(base_ / "medium" / "Install.ini"));
    }
}

TEST_F(MediumBuilder, OneDiskPlainAndCompressedInstallsAndRemoves) {
    auto plain = Request(MediumLayout::single, false, 0);
    ASSERT_TRUE(BuildMedium(plain).built);
    InstallAndRemove(plain, 0);
    fs::remove_all(base_ / "medium");
    fs::remove_all(Machine());
    fs::remove_all(base_ / "before");
    auto compressed = Request(MediumLayout::single, true, 0);
    ASSERT_TRUE(BuildMedium(compressed).built);
    InstallAndRemove(compressed, 0);
}

TEST_F(MediumBuilder, DiskFoldersOneAndSeveralInstallAndRemove) {
    auto several = Request(MediumLayout::disk_folders, true, 3000);
    ASSERT_TRUE(BuildMedium(several).built);
    InstallAndRemove(several, 0);
    fs::remove_all(base_ / "medium");
    fs::remove_all(Machine());
    fs::remove_all(base_ / "before");
    auto one = Request(MediumLayout::disk_folders, false, 0);
    ASSERT_TRUE(BuildMedium(one).built);
    InstallAndRemove(one, 0);
}

TEST_F(MediumBuilder, UnderscoreDisksAskForEachFurtherDisk) {
    auto several = Request(MediumLayout::underscore_disks, false, 4000);
    const auto built = BuildMedium(several);
    ASSERT_TRUE(built.built) << (built.errors.empty() ? "" : built.errors[0]);
    ASSERT_GE(built.disks, 2);
    InstallAndRemove(several, built.disks - 1);
    fs::remove_all(base_ / "medium");
    fs::remove_all(Machine());
    fs::remove_all(base_ / "before");
    auto one = Request(MediumLayout::underscore_disks, true, 0);
    ASSERT_TRUE(BuildMedium(one).built);
    InstallAndRemove(one, 0);
}

TEST_F(MediumBuilder, FloppiesGetAFolderAndAMarkerEachAndInstallWithADiskChangeAtEachPrompt) {
    auto request = Request(MediumLayout::floppies, false, 4000);
    const auto result = BuildMedium(request);
    ASSERT_TRUE(result.built) << (result.errors.empty() ? "" : result.errors[0]) << rvx::host::ReportForPeople(result.check, false);
    ASSERT_GE(result.disks, 2);
    for (int disk = 1; disk <= result.disks; ++disk) {
        const fs::path folder = rvx::host::DiskFolder(request, disk);
        EXPECT_EQ(folder.filename(), "floppy" + std::to_string(disk));
        uint64_t used = 0;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file()) used += entry.file_size();
        EXPECT_LE(used, 4000u) << "disk " << disk;
        EXPECT_TRUE(fs::exists(folder / ("DISK" + std::to_string(disk))));
    }
    // At the first prompt the user presses OK with disk 1 still in the drive: the installer asks
    // again. Then each disk is put in before OK.
    std::string answers = "page 131 ok\n";
    for (int disk = 2; disk <= result.disks; ++disk) answers += "disk " + std::to_string(disk) + "\npage 131 ok\n";
    InstallAndRemove(request, answers, result.disks);
    const std::string journal = rvx::test_support::Slurp(Machine() / "journal.log");
    size_t prompts = 0;
    const std::string prompt = "PAGE id=131 caption=\"Installation Norvane\"";  // the uninstaller's 131 is another page
    for (size_t at = journal.find(prompt); at != std::string::npos; at = journal.find(prompt, at + 1)) ++prompts;
    EXPECT_EQ(prompts, static_cast<size_t>(result.disks)) << journal;
    EXPECT_NE(journal.find("Built disk 2"), std::string::npos) << "the prompt names the disk's label";
    EXPECT_NE(journal.find("DISK drive=A: disk=" + std::to_string(result.disks) + " of=" + std::to_string(result.disks)),
              std::string::npos) << journal;
}

// The language libraries of the host build go beside the installer, so that the host edition
// shows a medium's pages in German with /D, as the Windows edition does.
TEST_F(MediumBuilder, AHostMediumCarriesTheHostBuildsLanguageLibraries) {
    auto request = Request(MediumLayout::single, true, 0);
    request.languages = RVX_HOST_LANGUAGES;
    const auto result = BuildMedium(request);
    ASSERT_TRUE(result.built) << (result.errors.empty() ? "" : result.errors[0]);
    for (const char* library : {"rovexeng.dll", "rovexdeu.dll"})
        EXPECT_EQ(rvx::test_support::Slurp(base_ / "medium" / library), rvx::test_support::Slurp(fs::path(RVX_HOST_LANGUAGES) / library))
            << library;
    Write(base_ / "answers.txt", "page 109 next 101=Jane 102=ACME\npage 104 next\npage 128 ok\npage 129 ok\n");
    ASSERT_EQ(Run(ROVEXA_HOST_BINARY, "--machine " + Quote(Machine()) + " --medium " + Quote(request.output) + " --ui " +
                                          Quote("script:" + (base_ / "answers.txt").string()) + " -- /D"),
              0)
        << output_ << rvx::test_support::Slurp(Machine() / "journal.log");
    const std::string journal = rvx::test_support::Slurp(Machine() / "journal.log");
    EXPECT_NE(journal.find("LIBRARY path=\"D:\\\\rovexdeu.dll\" result=loaded"), std::string::npos) << journal;
    EXPECT_NE(journal.find("b126=\"Durchsuchen\""), std::string::npos) << journal;
    EXPECT_EQ(rvx::test_support::Slurp(Machine() / "drives" / "C" / "Program Files" / kProduct / "app.exe"),
              rvx::test_support::Slurp(Product() / "app.exe"));

    // Without a languages folder the medium has none, and says so.
    fs::remove_all(base_ / "medium");
    request.languages.clear();
    const auto bare = BuildMedium(request);
    ASSERT_TRUE(bare.built);
    EXPECT_FALSE(fs::exists(base_ / "medium" / "rovexdeu.dll"));
    EXPECT_NE(std::find_if(bare.notes.begin(), bare.notes.end(),
                           [](const std::string& note) { return note.find("no language libraries") != std::string::npos; }),
              bare.notes.end());
}

// The template's own disk marker starts a disk there; "auto" compresses only what gets smaller;
// files given to put beside the script lie there unchanged; a Windows build's uninstaller takes
// the place of the product's.
TEST_F(MediumBuilder, TemplateMarkersAutoCompressionFilesBesideTheScriptAndTheBuildsUninstaller) {
    std::string marked = Template();
    marked.replace(marked.find("samples\\*.txt"), 0, "#2\r\n");
    Write(base_ / "template.ini", marked);
    Write(Product() / "Dismara.exe", "an old uninstaller of the product folder");
    Write(base_ / "windows" / "platform" / "win32" / "Rovexa.exe", "MZ installer of the build");
    Write(base_ / "windows" / "platform" / "win32" / "Dismara.exe", "MZ uninstaller of the build");
    Write(base_ / "windows" / "platform" / "win32" / "rovexdeu.dll", "MZ German texts");
    Write(base_ / "extra" / "setup.ANS", "installmode=1\r\n");
    auto request = Request(MediumLayout::disk_folders, false, 0);
    request.compress = {"*"};
    request.compress_only_smaller = true;
    request.windows_build = (base_ / "windows").string();
    request.beside_script = {(base_ / "extra" / "setup.ANS").string()};
    const auto result = BuildMedium(request);
    ASSERT_TRUE(result.built) << (result.errors.empty() ? "" : result.errors[0]) << rvx::host::ReportForPeople(result.check, false);
    EXPECT_EQ(result.disks, 2) << "no capacity, but the template's marker";
    const fs::path disk1 = base_ / "medium" / "DISK1";
    const fs::path disk2 = base_ / "medium" / "DISK2";
    const std::string script = rvx::test_support::Slurp(disk1 / "Install.ini");
    EXPECT_LT(script.find("docs\\more\\notes.txt"), script.find("#2")) << script;
    EXPECT_LT(script.find("#2"), script.find("samples\\one.txt")) << script;
    EXPECT_TRUE(fs::exists(disk2 / "samples" / "one.txt")) << "12 bytes do not get smaller";
    EXPECT_TRUE(fs::exists(disk1 / "docs" / "guide.tx_")) << "text does";
    EXPECT_TRUE(fs::exists(disk1 / "docs" / "noise.bin")) << "random bytes do not";
    EXPECT_EQ(rvx::test_support::Slurp(disk1 / "setup.ANS"), "installmode=1\r\n");
    EXPECT_EQ(rvx::test_support::Slurp(disk1 / "Rovexa.exe"), "MZ installer of the build");
    EXPECT_EQ(rvx::test_support::Slurp(disk1 / "rovexdeu.dll"), "MZ German texts");
    EXPECT_FALSE(fs::exists(disk1 / "rovexeng.dll")) << "the build has none";
    const fs::path uninstaller = fs::exists(disk1 / "Dismara.ex_") ? disk1 / "Dismara.ex_" : disk1 / "Dismara.exe";
    const auto expanded = rvx::installer::CompressSzdd("MZ uninstaller of the build", 'e');
    ASSERT_TRUE(expanded);
    const std::string stored = rvx::test_support::Slurp(uninstaller);
    EXPECT_TRUE(stored == "MZ uninstaller of the build" || stored == expanded.value()) << stored;

    // A file beside the script may not take the name of the script or of a file the list stores.
    fs::remove_all(base_ / "medium");
    Write(base_ / "extra" / "Dismara.exe", "twin");
    request.beside_script = {(base_ / "extra" / "Dismara.exe").string()};
    request.compress.clear();
    const auto twin = BuildMedium(request);
    ASSERT_FALSE(twin.built);
    EXPECT_NE(twin.errors[0].find("two files would be stored as Dismara.exe"), std::string::npos) << twin.errors[0];
}
