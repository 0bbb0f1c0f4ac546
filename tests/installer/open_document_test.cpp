// Opening documents and web addresses: the fallback to the registered web browser and what the
// user is told when nothing could open the target.
#include <gtest/gtest.h>

#include "installer/actions/hyperlink_actions.h"
#include "installer/actions/open_document.h"
#include "installer/actions/open_error.h"
#include "tests/installer/file_engine_fixture.h"

using namespace rvx;
using test_support::FileStages;

namespace {

constexpr const char* kBrowser = "\"C:\\WINDOWS\\browser.exe\"";

platform::ShellCode Open(FileStages& run, std::string_view target) {
    platform::Platform& p = run.app.platform();
    return installer::OpenDocument({p.shell, p.registry, p.processes, p.ui}, target, platform::ShowState::normal);
}

}  // namespace

TEST(OpenDocument, WhatTheShellCannotOpenGoesToTheRegisteredBrowser) {
    FileStages run;
    run.Put("C:\\Docs\\notes.xyz", "no program opens these");
    EXPECT_TRUE(Open(run, "C:\\Docs\\notes.xyz").opened());
    const auto started = run.temp.JournalLines("START");
    ASSERT_EQ(started.size(), 1u);
    // The registered command is cut at its quoted "%1" and the target appended, unquoted.
    EXPECT_NE(started[0].find(sandbox::Field("command", std::string(kBrowser) + "  C:\\Docs\\notes.xyz")), std::string::npos)
        << started[0];

    EXPECT_EQ(installer::BrowserCommandLine("browser.exe %1 -new", "x.htm"), "browser.exe  x.htm");
    EXPECT_EQ(installer::BrowserCommandLine("browser.exe -nohome", "x.htm"), "browser.exe -nohome x.htm");
    EXPECT_EQ(installer::BrowserCommandLine("b.exe \"%1\" %1", "x"), "b.exe  x");
}

TEST(OpenDocument, TheWaitCursorShowsWhileTheTargetOpensAndTheArrowAfter) {
    FileStages run;
    run.Put("C:\\Docs\\notes.xyz", "no program opens these");
    run.Put("C:\\Docs\\readme.txt", "text");
    EXPECT_TRUE(Open(run, "C:\\Docs\\readme.txt").opened());   // opened by the shell at once
    EXPECT_TRUE(Open(run, "C:\\Docs\\notes.xyz").opened());    // through the browser
    std::vector<std::string> kinds;
    for (const auto& line : run.temp.JournalLines()) {
        const std::string kind = line.substr(0, line.find(' '));
        if (kind == "CURSOR" || kind == "OPEN" || kind == "START") kinds.push_back(kind == "CURSOR" ? line : kind);
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"CURSOR shape=wait", "OPEN", "CURSOR shape=arrow", "CURSOR shape=wait", "OPEN",
                                               "START", "CURSOR shape=arrow"}));
}

TEST(OpenDocument, WithoutABrowserTheShellsCodeIsShown) {
    FileStages run("message ok ~ \"no application associated\"\n");
    run.Put("C:\\Docs\\notes.xyz", "no program opens these");
    ASSERT_TRUE(run.app.platform().registry.DeleteKey(platform::RootKey::classes_root, ".htm"));
    installer::InstallerHyperlinkActions actions(run.app.platform());
    const platform::ShellCode code = actions.Open("C:\\Docs\\notes.xyz");
    EXPECT_EQ(code.value, platform::shell_code::no_association);
    EXPECT_TRUE(run.temp.JournalLines("START").empty());
    actions.ShowOpenError(code);
    const auto messages = run.temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 2u);  // the trace notice comes first
    EXPECT_NE(messages[1].find(sandbox::Field(
                  "text", "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.")),
              std::string::npos)
        << messages[1];
    EXPECT_NE(messages[1].find("icon=warning"), std::string::npos) << messages[1];
}

TEST(ShowOpenError, EveryCodeHasItsText) {
    FileStages run;
    const std::pair<int, const char*> texts[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {1, "Unknown Error (1) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const auto& [code, text] : texts)
        EXPECT_EQ(installer::OpenErrorMessage(run.app.platform().resources, {code}), std::string("Unable to open hyperlink:\n\n") + text) << code;
}
