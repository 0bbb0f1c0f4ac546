// The replacement rules against real version resources, real file times and generated
// TrueType fonts; shared counts; the [DELETE] patterns; the WININIT.INI writer.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/system/shared_counts.h"
#include "installer/files/copy_engine.h"
#include "installer/files/replacement_rules.h"
#include "installer/files/restart_replacement.h"
#include "installer/files/shared_counts.h"
#include "tests/installer/file_engine_fixture.h"
#include "tests/support/true_type_font.h"

using namespace rvx;
using installer::ParseFileLine;
using test_support::FileStages;

namespace {

std::string HostBytes(const char* path) { return test_support::Slurp(path); }

std::string Font(std::u16string_view family) {
    auto bytes = test_support::MakeTrueTypeFont(family);
    return std::string(bytes.begin(), bytes.end());
}

void SetAge(FileStages& run, const std::string& path, int days_old) {
    std::filesystem::last_write_time(run.temp.HostPath(path),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * days_old));
}

}  // namespace

TEST(VersionRule, OnlyAStrictlyNewerSourceReplacesAVersionedFile) {
    FileStages run;
    const std::string v2000 = HostBytes(RVX_IMAGE_VERSION_2000), v2001 = HostBytes(RVX_IMAGE_VERSION_2001);
    const std::string unversioned = HostBytes(RVX_IMAGE_STRINGS_ONLY);
    auto skips = [&](const std::string& installed, const std::string& source) {
        run.Put("C:\\Prog\\lib.dll", installed);
        run.Put("C:\\MEDIUM\\lib.dll", source);
        return installer::ShouldSkipByVersion(run.app.platform().files, ParseFileLine(run.app, "lib.dll,,V").value());
    };
    EXPECT_TRUE(skips(v2000, v2000));
    EXPECT_FALSE(skips(v2000, v2001));
    EXPECT_TRUE(skips(v2001, v2000));
    EXPECT_FALSE(skips(unversioned, v2000));
    EXPECT_TRUE(skips(v2000, unversioned));
    // Only the plain source name is read: a source stored compressed never replaces a versioned file.
    (void)run.app.platform().files.RemoveFile("C:\\MEDIUM\\lib.dll");
    run.Put("C:\\MEDIUM\\lib.dl_", test_support::LiteralSzdd(v2001, 'l'));
    EXPECT_TRUE(installer::ShouldSkipByVersion(run.app.platform().files, ParseFileLine(run.app, "lib.dll,,V").value()));
    run.Put("C:\\Prog\\lib.dll", v2000);
    run.app.script().files = {"lib.dll,,V"};
    ASSERT_EQ(installer::CopyFiles(run.app), installer::CopyStageResult::done);
    EXPECT_EQ(run.Read("C:\\Prog\\lib.dll"), v2000);
}

TEST(DateRule, OnlyAnOlderSourceIsSkipped) {
    FileStages run;
    run.Put("C:\\MEDIUM\\a.txt", "source");
    run.Put("C:\\Prog\\a.txt", "installed");
    const auto entry = ParseFileLine(run.app, "a.txt,,S").value();
    SetAge(run, "C:\\MEDIUM\\a.txt", 10);
    SetAge(run, "C:\\Prog\\a.txt", 5);
    EXPECT_TRUE(installer::ShouldSkipByDate(run.app.platform().files, entry));
    std::filesystem::last_write_time(run.temp.HostPath("C:\\Prog\\a.txt"),
                                     std::filesystem::last_write_time(run.temp.HostPath("C:\\MEDIUM\\a.txt")));
    EXPECT_FALSE(installer::ShouldSkipByDate(run.app.platform().files, entry));
    // A read-only installed file cannot be opened for writing: the rule does not apply.
    SetAge(run, "C:\\Prog\\a.txt", 1);
    ASSERT_TRUE(run.app.platform().files.WriteAttributes("C:\\Prog\\a.txt", platform::attributes::read_only));
    EXPECT_FALSE(installer::ShouldSkipByDate(run.app.platform().files, entry));
}

TEST(FontRule, SameFamilyUnderAnotherNameIsSkippedAndListed) {
    FileStages run;
    run.Put("C:\\Prog\\fonts\\installed.ttf", Font(u"Norvane Sans"));
    run.Put("C:\\MEDIUM\\nvsans.ttf", Font(u"Norvane Sans"));
    run.Put("C:\\MEDIUM\\other.ttf", Font(u"Norvane Serif"));
    auto same_font = [&](const char* line) {
        return installer::ShouldSkipAsSameFont(run.app.platform().files, run.app.copy_state(), ParseFileLine(run.app, line).value());
    };
    EXPECT_TRUE(same_font("nvsans.ttf,fonts\\installed.ttf,F"));
    EXPECT_FALSE(same_font("other.ttf,fonts\\installed.ttf,F"));
    // A file that is no font never keeps the copy from happening.
    run.Put("C:\\Prog\\fonts\\plain.ttf", "not a font");
    EXPECT_FALSE(same_font("nvsans.ttf,fonts\\plain.ttf,F"));
    EXPECT_EQ(run.app.copy_state().fonts_already_present, std::vector<std::string>{"nvsans.ttf"});
}

TEST(ReplacementName, TheExtensionBecomesNineAndFoldersWithDotsAreLeftAlone) {
    EXPECT_EQ(installer::ReplacementName("C:\\Prog\\APP.DLL"), "C:\\Prog\\APP.009");
    EXPECT_EQ(installer::ReplacementName("C:\\v1.2\\README"), "C:\\v1.2\\README.009");
    EXPECT_EQ(installer::ReplacementName("C:\\Prog\\a.b.c"), "C:\\Prog\\a.b.009");
}

TEST(DeleteList, PatternsDeleteReadOnlyFilesButNotFolders) {
    FileStages run;
    run.Put("C:\\Prog\\old1.tmp", "1");
    run.Put("C:\\Prog\\old2.tmp", "2");
    run.Put("C:\\Prog\\keep.txt", "k");
    run.Put("C:\\Prog\\oldies.tmp\\inner.txt", "folder");
    run.Put("C:\\Else\\x.bak", "x");
    ASSERT_TRUE(run.app.platform().files.WriteAttributes("C:\\Prog\\old2.tmp", platform::attributes::read_only));
    ASSERT_FALSE(installer::DeleteListedFiles(run.app, run.app.platform().files, "old*.tmp").stopped());
    ASSERT_FALSE(installer::DeleteListedFiles(run.app, run.app.platform().files, "%ROOTDRIVE%\\Else\\*.bak").stopped());
    EXPECT_FALSE(run.Exists("C:\\Prog\\old1.tmp"));
    EXPECT_FALSE(run.Exists("C:\\Prog\\old2.tmp"));
    EXPECT_TRUE(run.Exists("C:\\Prog\\keep.txt"));
    EXPECT_TRUE(run.Exists("C:\\Prog\\oldies.tmp\\inner.txt"));
    EXPECT_FALSE(run.Exists("C:\\Else\\x.bak"));
}

TEST(SharedCounts, NewExistingAndUpdatedFiles) {
    FileStages run;
    auto& registry = run.app.platform().registry;
    auto count = [&](const std::string& path) {
        auto value = registry.ReadValue(platform::RootKey::local_machine, system::kSharedDllsKey, path);
        return value ? value->AsDword().value_or(99) : 0u;
    };
    ASSERT_TRUE(registry.CreateKey(platform::RootKey::local_machine, system::kSharedDllsKey));
    ASSERT_TRUE(registry.WriteValue(platform::RootKey::local_machine, system::kSharedDllsKey, "C:\\S\\a.dll",
                                    platform::RegValue::Dword(7)));
    installer::RaiseSharedCount(registry, run.app.flags().update, "C:\\S\\a.dll", false);  // a stale count is reset
    EXPECT_EQ(count("C:\\S\\a.dll"), 1u);
    installer::RaiseSharedCount(registry, run.app.flags().update, "C:\\S\\a.dll", true);  // a second product
    EXPECT_EQ(count("C:\\S\\a.dll"), 2u);
    run.app.flags().update = true;  // reinstalling the same product
    installer::RaiseSharedCount(registry, run.app.flags().update, "C:\\S\\a.dll", true);
    EXPECT_EQ(count("C:\\S\\a.dll"), 2u);
    // A file found in place without a count has a user that never counted it: it is counted
    // for that user and this installation, so that removing one of them keeps the file.
    installer::RaiseSharedCount(registry, run.app.flags().update, "C:\\S\\b.dll", true);
    EXPECT_EQ(count("C:\\S\\b.dll"), 2u);
    installer::RaiseSharedCount(registry, false, "C:\\S\\c.dll", true);
    EXPECT_EQ(count("C:\\S\\c.dll"), 2u);
    // Two spellings of one path are two names.
    installer::RaiseSharedCount(registry, run.app.flags().update, "c:\\s\\..\\S\\a.dll", false);
    EXPECT_EQ(count("C:\\S\\a.dll"), 2u);
}

TEST(SharedCounts, TheCopyStageCountsSharedFilesBelowCommonFiles) {
    FileStages run;
    ASSERT_TRUE(run.app.platform().registry.CreateKey(platform::RootKey::local_machine, system::kSharedDllsKey));
    run.Put("C:\\MEDIUM\\shared.dll", "lib");
    run.app.script().files = {"shared.dll,Norvane\\,C"};
    ASSERT_EQ(installer::CopyFiles(run.app), installer::CopyStageResult::done);
    const std::string path = "C:\\Program Files\\Common Files\\Norvane\\shared.dll";
    EXPECT_EQ(run.Read(path), "lib");
    auto value = run.app.platform().registry.ReadValue(platform::RootKey::local_machine, system::kSharedDllsKey, path);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->AsDword(), 1u);
}

TEST(WininitWriter, EntriesGoAtTheEndOfTheRenameSectionAndOtherSectionsStay) {
    FileStages run;
    run.Put("C:\\WINDOWS\\WININIT.INI", "[Other]\r\nx=1\r\n[rename]\r\nNUL=C:\\a\r\n\r\n[Last]\r\ny=2\r\n");
    ASSERT_TRUE(installer::AppendWininitRename(run.app.platform().files, "C:\\WINDOWS\\WININIT.INI", "C:\\b", "C:\\b.009"));
    EXPECT_EQ(run.Read("C:\\WINDOWS\\WININIT.INI"),
              "[Other]\r\nx=1\r\n[rename]\r\nNUL=C:\\a\r\nNUL=C:\\b\r\nC:\\b=C:\\b.009\r\n\r\n[Last]\r\ny=2\r\n");
}
