// The simulated machine's service manager and font table: services as keys of the registry, and
// what each action leaves in the journal. Rights and families: tests/installer/registration_test.cpp.
#include <gtest/gtest.h>

#include "platform/sandbox/sandbox_registry.h"
#include "platform/sandbox/sandbox_services.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using platform::RegValue;
using platform::RootKey;
using platform::Status;
using sandbox::kServicesKey;

namespace {

std::string ServiceKey(const std::string& name) { return std::string(kServicesKey) + "\\" + name; }

void WriteService(platform::Registry& registry, const std::string& name) {
    ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, ServiceKey(name), "Type", RegValue::Dword(16)));
    ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, ServiceKey(name), "ImagePath", RegValue::Text("C:\\svc.exe")));
    ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, ServiceKey(name) + "\\Parameters\\Deep", "X", RegValue::Dword(1)));
}

}  // namespace

TEST(SandboxServices, StopAndDeleteActOnKeysThatAreServices) {
    test_support::TempMachine temp;
    platform::Platform& platform = temp.Start("C:\\Setup\\Rovexa.exe", "");
    WriteService(platform.registry, "DemoSvc");
    // A key without a numeric Type is not a service, whatever else it holds.
    ASSERT_TRUE(platform.registry.WriteValue(RootKey::local_machine, ServiceKey("Plain"), "ImagePath", RegValue::Text("x")));
    ASSERT_TRUE(platform.registry.WriteValue(RootKey::local_machine, ServiceKey("TextType"), "Type", RegValue::Text("16")));

    EXPECT_TRUE(platform.services.OpenManager());
    EXPECT_TRUE(platform.services.Stop("demosvc"));
    for (const char* name : {"Plain", "TextType", "Missing", "DemoSvc\\Parameters", ""}) {
        EXPECT_EQ(platform.services.Stop(name).status(), Status::not_found) << name;
        EXPECT_EQ(platform.services.MarkForDeletion(name).status(), Status::not_found) << name;
    }
    EXPECT_TRUE(platform.registry.KeyExists(RootKey::local_machine, ServiceKey("DemoSvc\\Parameters")));

    EXPECT_TRUE(platform.services.MarkForDeletion("DEMOSVC"));
    EXPECT_FALSE(platform.registry.KeyExists(RootKey::local_machine, ServiceKey("DemoSvc")));
    EXPECT_TRUE(platform.registry.KeyExists(RootKey::local_machine, kServicesKey));
    EXPECT_EQ(platform.services.MarkForDeletion("DemoSvc").status(), Status::not_found);
    EXPECT_EQ(temp.JournalLines("SERVICE"),
              (std::vector<std::string>{"SERVICE action=stop name=\"DemoSvc\"", "SERVICE action=delete name=\"DemoSvc\""}));

    // The deletion is in registry.reg for the next program.
    temp.Reopen();
    const std::string file = test_support::Slurp(temp.folder() / "machine" / "registry.reg");
    EXPECT_EQ(file.find("DemoSvc"), std::string::npos);
    EXPECT_NE(file.find("\\Services\\Plain]"), std::string::npos);
}

TEST(SandboxServices, AServiceWithAKeyTheUserMayNotChangeIsNotPartlyDeleted) {
    test_support::TempMachine temp;
    platform::Platform& platform = temp.Start("C:\\Setup\\Rovexa.exe", "");
    WriteService(platform.registry, "Locked");
    auto& registry = static_cast<sandbox::SandboxRegistry&>(temp.machine().registry());
    registry.SetReadOnlyKeys({{RootKey::local_machine, ServiceKey("Locked\\Parameters\\Deep")}});
    EXPECT_EQ(platform.services.MarkForDeletion("Locked").status(), Status::access_denied);
    EXPECT_TRUE(platform.registry.KeyExists(RootKey::local_machine, ServiceKey("Locked\\Parameters\\Deep")));
    EXPECT_TRUE(platform.registry.ReadValue(RootKey::local_machine, ServiceKey("Locked"), "Type"));
    EXPECT_TRUE(temp.JournalLines("SERVICE").empty());
}

TEST(SandboxFonts, AddsExistingFontFilesOnly) {
    test_support::TempMachine temp;
    platform::Platform& platform = temp.Start("C:\\Setup\\Rovexa.exe", "");
    temp.PutFile("C:\\WINDOWS\\Fonts\\demo.ttf", "font");
    EXPECT_EQ(platform.fonts.AddFont("c:\\windows\\fonts\\DEMO.TTF").value_or(0), 1);
    EXPECT_EQ(platform.fonts.AddFont("C:\\WINDOWS\\Fonts\\missing.ttf").status(), Status::not_found);
    EXPECT_EQ(platform.fonts.AddFont("C:\\WINDOWS\\Fonts").status(), Status::not_found);
    EXPECT_EQ(temp.JournalLines("FONT"),
              (std::vector<std::string>{"FONT action=add path=\"c:\\\\windows\\\\fonts\\\\DEMO.TTF\""}));
}
