// The registration stages on a simulated machine: registry lines and the registry stage, the
// font stage, and the service stages, checked in the registry, in registry.reg and in the journal.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "common/system/services.h"
#include "common/text/text.h"
#include "installer/registration/fonts.h"
#include "installer/registration/registry_lines.h"
#include "installer/registration/service_stages.h"
#include "platform/sandbox/registry_file.h"
#include "platform/sandbox/sandbox_registry.h"
#include "tests/installer/file_engine_fixture.h"

using namespace rvx;
using installer::ApplyRegistryLine;
using platform::RegValue;
using platform::RootKey;
using platform::Status;
using test_support::FileStages;

namespace {

constexpr const char* kServices = "SYSTEM\\CurrentControlSet\\Services";
constexpr const char* kNtFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* k95Fonts = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

sandbox::MachineConfig Family(platform::PlatformFamily family, bool administrator = true) {
    auto config = sandbox::MachineConfig::Default();
    config.version.family = family;
    if (family == platform::PlatformFamily::windows_95) config.version = {family, 4, 10, 2222};
    config.administrator = administrator;
    return config;
}

std::optional<RegValue> Value(FileStages& run, RootKey root, const std::string& key, const std::string& name) {
    auto value = run.app.platform().registry.ReadValue(root, key, name);
    if (!value) return std::nullopt;
    return value.value();
}

// registry.reg as the machine writes it, one entry per key and per value:
// "[HKEY_...\key]" -> "" and "[HKEY_...\key] "name"" -> the data as the file spells it.
std::map<std::string, std::string> RegistryFile(FileStages& run) {
    EXPECT_TRUE(static_cast<sandbox::SandboxRegistry&>(run.temp.machine().registry()).Flush());
    const std::string text = test_support::Slurp(run.temp.folder() / "machine" / "registry.reg");
    auto lines = sandbox::RegistryFileLines(text, "registry.reg");
    EXPECT_TRUE(lines) << lines.error().Describe();
    return lines ? lines.value() : std::map<std::string, std::string>{};
}

// Keys keep the spelling they were first made with ("SOFTWARE"), and compare ignoring case.
std::string FileEntry(FileStages& run, const std::string& key, const std::string& name) {
    for (const auto& [entry, data] : RegistryFile(run))
        if (text::EqualsIgnoreCase(entry, "[" + key + "] " + name)) return data;
    return "<none>";
}

void AddService(FileStages& run, const std::string& name) {
    auto& registry = run.app.platform().registry;
    const std::string key = std::string(kServices) + "\\" + name;
    ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, key, "Type", RegValue::Dword(16)));
    ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, key, "ImagePath", RegValue::Text("C:\\Prog\\" + name + ".exe")));
    ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, key + "\\Parameters", "Port", RegValue::Dword(80)));
}

bool ServiceKeyExists(FileStages& run, const std::string& name) {
    return run.app.platform().registry.KeyExists(RootKey::local_machine, std::string(kServices) + "\\" + name);
}

}  // namespace

TEST(RegistryLine, IncStartsAtOneAndCountsUpButFourFieldsWriteNothing) {
    FileStages run;
    // A final comma gives no further field: this line has four, and even "inc" needs five.
    ApplyRegistryLine(run.app.platform().registry, "HKLM,Software\\A,Count,inc,");
    EXPECT_FALSE(run.app.platform().registry.KeyExists(RootKey::local_machine, "Software\\A"));

    ApplyRegistryLine(run.app.platform().registry, "HKLM,Software\\A,Count,inc,,");
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\A", "Count"), RegValue::Dword(1));
    ApplyRegistryLine(run.app.platform().registry, "HKLM,Software\\A,Count,inc,ignored");
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\A", "Count"), RegValue::Dword(2));
    EXPECT_EQ(FileEntry(run, "HKEY_LOCAL_MACHINE\\Software\\A", "\"Count\""), "dword:00000002");

    // A value too long for four bytes cannot be read, so counting starts again; a short one of
    // another type is read as its bytes.
    ASSERT_TRUE(run.app.platform().registry.WriteValue(RootKey::local_machine, "Software\\A", "Long", RegValue::Text("12345")));
    ApplyRegistryLine(run.app.platform().registry, "HKLM,Software\\A,Long,inc,,");
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\A", "Long"), RegValue::Dword(1));
    ASSERT_TRUE(run.app.platform().registry.WriteValue(RootKey::local_machine, "Software\\A", "Bytes",
                                                        RegValue::Binary({0xFF, 0xFF, 0xFF, 0xFF})));
    ApplyRegistryLine(run.app.platform().registry, "HKLM,Software\\A,Bytes,inc,,");
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\A", "Bytes"), RegValue::Dword(0));
}

TEST(RegistryLine, HexTakesFourLowerCaseBytesOrNothing) {
    FileStages run;
    ApplyRegistryLine(run.app.platform().registry, "HKCU,Software\\A,Flags,hex,0a000000");
    EXPECT_EQ(Value(run, RootKey::current_user, "Software\\A", "Flags"), RegValue::Binary({0x0A, 0, 0, 0}));
    EXPECT_EQ(FileEntry(run, "HKEY_CURRENT_USER\\Software\\A", "\"Flags\""), "hex:0a,00,00,00");

    ApplyRegistryLine(run.app.platform().registry, "HKCU,Software\\A,Flags,hex,0A000000");  // upper case: nothing changes
    ApplyRegistryLine(run.app.platform().registry, "HKCU,Software\\A,Flags,hex,0b0000");    // too short
    ApplyRegistryLine(run.app.platform().registry, "HKCU,Software\\A,Flags,hex,0c00000g");  // not a digit
    ApplyRegistryLine(run.app.platform().registry, "HKCU,Software\\A,Upper,hex,FF000000");
    EXPECT_EQ(Value(run, RootKey::current_user, "Software\\A", "Flags"), RegValue::Binary({0x0A, 0, 0, 0}));
    EXPECT_EQ(Value(run, RootKey::current_user, "Software\\A", "Upper"), std::nullopt);
    ApplyRegistryLine(run.app.platform().registry, "HKCU,Software\\B,Upper,hex,FF000000");  // and no empty key is left
    EXPECT_FALSE(run.app.platform().registry.KeyExists(RootKey::current_user, "Software\\B"));

    ApplyRegistryLine(run.app.platform().registry, "HKCU,Software\\A,Long,hex,12ab34cd5678,sixth");  // the rest is ignored
    EXPECT_EQ(Value(run, RootKey::current_user, "Software\\A", "Long"), RegValue::Binary({0x12, 0xAB, 0x34, 0xCD}));
    EXPECT_EQ(FileEntry(run, "HKEY_CURRENT_USER\\Software\\A", "\"Long\""), "hex:12,ab,34,cd");
}

TEST(RegistryLine, TextValuesDefaultValueQuotesAndNewKeys) {
    FileStages run;
    ApplyRegistryLine(run.app.platform().registry, "HKLM,Software\\A,,,abc");
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\A", ""), RegValue::Text("abc"));
    EXPECT_EQ(FileEntry(run, "HKEY_LOCAL_MACHINE\\Software\\A", "@"), "\"abc\"");

    ApplyRegistryLine(run.app.platform().registry, "HKLM,\"Software\\A\",Quoted,, \"a,b\" ");
    ApplyRegistryLine(run.app.platform().registry, "HKLM,Software\\A,Plain,,a,b");
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\A", "Quoted"), RegValue::Text("a,b"));
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\A", "Plain"), RegValue::Text("a"));
    // Any type but the two known ones, "HEX" included, stores text.
    ApplyRegistryLine(run.app.platform().registry, "HKCR,.demo\\Shell\\Open,Kind,HEX,0a000000");
    EXPECT_EQ(Value(run, RootKey::classes_root, ".demo\\Shell\\Open", "Kind"), RegValue::Text("0a000000"));
    EXPECT_EQ(FileEntry(run, "HKEY_CLASSES_ROOT\\.demo\\Shell\\Open", "\"Kind\""), "\"0a000000\"");
    ApplyRegistryLine(run.app.platform().registry, "HKU,.DEFAULT\\Software\\Demo,Empty,,,");  // five fields, the last two empty
    EXPECT_EQ(Value(run, RootKey::users, ".DEFAULT\\Software\\Demo", "Empty"), RegValue::Text(""));
}

TEST(RegistryLine, UnknownRootsAndShortLinesWriteNothingAndSayNothing) {
    FileStages run;
    const auto before = RegistryFile(run);
    const size_t messages = run.temp.JournalLines("MESSAGE").size();
    for (const char* line : {"hklm,Software\\B,Name,,x", "HKEY_LOCAL_MACHINE,Software\\B,Name,,x", "Hkcu,Software\\B,Name,,x",
                             "HKLM,Software\\B,Name,inc", "HKLM,Software\\B,Name", "", ",,,,"})
        ApplyRegistryLine(run.app.platform().registry, line);
    EXPECT_EQ(RegistryFile(run), before);
    EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), messages);
}

TEST(RegistryStage, WritesExpandedLinesTheWorkingFolderAndTheVersion) {
    FileStages run;
    auto& script = run.app.script();
    script.user_variables = {"TALMREG=Software\\Talm\\Demo"};
    script.version = "2.5";
    script.registry = {"HKLM,\"%TALMREG%\",Path,,%DSTPATH%", "HKLM,\"%TALMREG%\",Runs,inc,,"};
    script.working_dir = {"HKCU,\"%TALMREG%\",Work", "HKCU,\"%TALMREG%\",Work,,%DSTPATH%\\work"};
    ASSERT_FALSE(installer::RunRegistryStage(run.app, run.app.flags(), run.app.platform().registry).stopped());

    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\Talm\\Demo", "Path"), RegValue::Text("C:\\Prog\\"));
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\Talm\\Demo", "Runs"), RegValue::Dword(1));
    EXPECT_EQ(Value(run, RootKey::current_user, "Software\\Talm\\Demo", "Work"), RegValue::Text("C:\\Prog\\work"));
    EXPECT_EQ(FileEntry(run, "HKEY_LOCAL_MACHINE\\Software\\Talm\\Demo\\Setup", "\"Version\""), "\"2.5\"");
}

TEST(RegistryStage, InstallOverKeepsTheVersionAndOtherWorkingFolderListsAreNotLines) {
    FileStages run;
    auto& script = run.app.script();
    script.user_variables = {"TALMREG=Software\\Talm\\Demo"};
    script.version = "3.0";
    script.working_dir = {"HKCU,Software\\W,Work", "HKCU,Software\\W,Work,,one", "HKCU,Software\\W,Work,,two"};
    run.app.flags().install_over = true;
    ASSERT_FALSE(installer::RunRegistryStage(run.app, run.app.flags(), run.app.platform().registry).stopped());
    EXPECT_FALSE(run.app.platform().registry.KeyExists(RootKey::local_machine, "Software\\Talm\\Demo\\Setup"));
    EXPECT_FALSE(run.app.platform().registry.KeyExists(RootKey::current_user, "Software\\W"));

    script.working_dir = {"HKCU,Software\\W,Work"};
    run.app.flags().install_over = false;
    ASSERT_FALSE(installer::RunRegistryStage(run.app, run.app.flags(), run.app.platform().registry).stopped());
    EXPECT_FALSE(run.app.platform().registry.KeyExists(RootKey::current_user, "Software\\W"));
    EXPECT_EQ(Value(run, RootKey::local_machine, "Software\\Talm\\Demo\\Setup", "Version"), RegValue::Text("3.0"));
}

TEST(Fonts, RegistersUnderTheFamilysKeyAndAddsFromTheFontsFolder) {
    FileStages run;
    run.Put("C:\\WINDOWS\\Fonts\\arial.ttf", "font");
    run.app.script().fonts = {"Arial (TrueType),arial.ttf", "Gone (TrueType), gone.ttf"};
    EXPECT_TRUE(installer::RegisterFonts(run.app.platform(), run.app.script(), run.app.copy_state()));
    EXPECT_EQ(FileEntry(run, std::string("HKEY_LOCAL_MACHINE\\") + kNtFonts, "\"Arial (TrueType)\""), "\"arial.ttf\"");
    // A font the system cannot add is still listed, and the next line follows.
    EXPECT_EQ(Value(run, RootKey::local_machine, kNtFonts, "Gone (TrueType)"), RegValue::Text("gone.ttf"));
    EXPECT_EQ(run.Journal("FONT"), "FONT action=add path=\"C:\\\\WINDOWS\\\\Fonts\\\\arial.ttf\"\n");

    FileStages old(std::string(), Family(platform::PlatformFamily::windows_95));
    old.Put("C:\\WINDOWS\\Fonts\\arial.ttf", "font");
    old.app.script().fonts = {"Arial (TrueType),arial.ttf"};
    EXPECT_TRUE(installer::RegisterFonts(old.app.platform(), old.app.script(), old.app.copy_state()));
    EXPECT_EQ(Value(old, RootKey::local_machine, k95Fonts, "Arial (TrueType)"), RegValue::Text("arial.ttf"));
    EXPECT_FALSE(old.app.platform().registry.KeyExists(RootKey::local_machine, kNtFonts));
}

TEST(Fonts, SkipsFontsAlreadyPresentByExactNameAndStopsAtAMalformedLine) {
    FileStages run;
    run.Put("C:\\WINDOWS\\Fonts\\arial.ttf", "font");
    run.Put("C:\\WINDOWS\\Fonts\\ARIAL.TTF", "font");
    run.app.copy_state().fonts_already_present = {"arial.ttf"};
    run.app.script().fonts = {"Arial (TrueType),arial.ttf", "Arial Upper (TrueType),ARIAL.TTF",
                              "Three,fields,here", "After (TrueType),after.ttf"};
    EXPECT_FALSE(installer::RegisterFonts(run.app.platform(), run.app.script(), run.app.copy_state()));
    EXPECT_EQ(Value(run, RootKey::local_machine, kNtFonts, "Arial (TrueType)"), std::nullopt);
    EXPECT_EQ(Value(run, RootKey::local_machine, kNtFonts, "Arial Upper (TrueType)"), RegValue::Text("ARIAL.TTF"));
    EXPECT_EQ(Value(run, RootKey::local_machine, kNtFonts, "Three"), std::nullopt);
    EXPECT_EQ(Value(run, RootKey::local_machine, kNtFonts, "After (TrueType)"), std::nullopt);
    EXPECT_EQ(run.temp.JournalLines("FONT").size(), 1u);

    // A system without the fonts key registers nothing.
    ASSERT_TRUE(run.app.platform().registry.DeleteKey(RootKey::local_machine, kNtFonts));
    run.app.script().fonts = {"After (TrueType),after.ttf"};
    EXPECT_FALSE(installer::RegisterFonts(run.app.platform(), run.app.script(), run.app.copy_state()));
    EXPECT_FALSE(run.app.platform().registry.KeyExists(RootKey::local_machine, kNtFonts));
}

TEST(ServiceStages, StopAndDeleteNamedServicesOnTheNtFamily) {
    FileStages run;
    AddService(run, "DemoSvc");
    AddService(run, "Svc%V%");
    AddService(run, "Svc1");
    run.app.script().user_variables = {"V=1"};
    EXPECT_EQ(system::StopService(run.app.platform().services, "Missing"), system::ServiceRequest::no_such_service);
    EXPECT_EQ(system::DeleteService(run.app.platform().services, "Missing"), system::ServiceRequest::no_such_service);
    EXPECT_EQ(system::StopService(run.app.platform().services, "demosvc"), system::ServiceRequest::accepted);
    EXPECT_TRUE(ServiceKeyExists(run, "DemoSvc"));  // stopping leaves it installed

    run.app.script().stop_services_update = {"Missing", "DemoSvc"};
    installer::StopServicesForUpdate(run.app.platform().services, run.app.script());
    EXPECT_FALSE(ServiceKeyExists(run, "DemoSvc"));
    EXPECT_EQ(FileEntry(run, std::string("HKEY_LOCAL_MACHINE\\") + kServices + "\\DemoSvc", "\"Type\""), "<none>");
    // Names are taken as written: no variable is substituted.
    run.app.script().stop_services = {"Svc%V%"};
    installer::StopServices(run.app.platform().services, run.app.script());
    EXPECT_FALSE(ServiceKeyExists(run, "Svc%V%"));
    EXPECT_TRUE(ServiceKeyExists(run, "Svc1"));
    EXPECT_EQ(run.Journal("SERVICE"),
              "SERVICE action=stop name=\"DemoSvc\"\n"
              "SERVICE action=stop name=\"DemoSvc\"\n"
              "SERVICE action=delete name=\"DemoSvc\"\n"
              "SERVICE action=stop name=\"Svc%V%\"\n"
              "SERVICE action=delete name=\"Svc%V%\"\n");
    EXPECT_TRUE(system::CanManageServices(run.app.platform()));
}

TEST(ServiceStages, WithoutAServiceManagerNothingHappensAndTheStagesGoOn) {
    for (const auto& config : {Family(platform::PlatformFamily::windows_95), Family(platform::PlatformFamily::windows_nt, false)}) {
        FileStages run(std::string(), config);
        AddService(run, "DemoSvc");
        platform::ServiceControl& services = run.app.platform().services;
        // The manager's refusal comes before any lookup, for missing services too.
        const bool nt = config.version.family == platform::PlatformFamily::windows_nt;
        EXPECT_EQ(services.Stop("Missing").status(), nt ? Status::access_denied : Status::unsupported);
        EXPECT_EQ(services.MarkForDeletion("DemoSvc").status(), nt ? Status::access_denied : Status::unsupported);
        for (const char* name : {"DemoSvc", "Missing"}) {
            EXPECT_EQ(system::StopService(services, name), system::ServiceRequest::refused) << name;
            EXPECT_EQ(system::DeleteService(services, name), system::ServiceRequest::refused) << name;
        }
        run.app.script().stop_services_update = {"DemoSvc", "Missing"};
        run.app.script().stop_services = {"DemoSvc"};
        installer::StopServicesForUpdate(run.app.platform().services, run.app.script());
        installer::StopServices(run.app.platform().services, run.app.script());
        EXPECT_TRUE(ServiceKeyExists(run, "DemoSvc"));
        EXPECT_EQ(run.Journal("SERVICE"), "");
        // The 95 family has nothing to guard; on the NT family only an administrator may manage.
        EXPECT_EQ(system::CanManageServices(run.app.platform()), !nt);
    }
}

TEST(ServiceStages, ServicesForTheUninstallerBecomeServiceRecordsAsWritten) {
    FileStages run;
    run.app.script().stop_services_uninstall = {"DemoSvc", "Svc%V%"};
    std::filesystem::create_directories(run.temp.HostPath("C:\\Prog"));
    run.app.uninstall_log().Open("App.nvu", "C:\\Prog\\");
    installer::RecordServicesForUninstaller(run.app.script(), run.app.uninstall_log());
    run.app.uninstall_log().Close();
    EXPECT_EQ(run.Read("C:\\Prog\\App.nvu"), ".DC:\\Prog\\App.nvu\r\n.GDemoSvc\r\n.GSvc%V%\r\n");
}
