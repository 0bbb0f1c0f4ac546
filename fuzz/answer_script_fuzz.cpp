// Fuzz target: answer scripts of the simulated machine's user interface on arbitrary bytes:
// parsed, then asked for answers by a message box, a page and the folder browser in turn, on a
// medium of two disks, until the answers run out or stop fitting. Once they stop fitting, every
// interaction must be answered as cancelled.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sandbox/scripted_responder.h"

namespace {

rvx::platform::PageModel Page() {
    using rvx::platform::ControlKind;
    rvx::platform::PageModel page;
    page.dialog_id = 104;
    page.controls = {{101, ControlKind::edit, "", "C:\\Demo", 10, true, true},
                     {1009, ControlKind::check_box, "Icon", "0", 0, true, true},
                     {1, ControlKind::button, "Next", "", 0, true, true},
                     {2, ControlKind::button, "Cancel", "", 0, true, true}};
    return page;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto parsed = rvx::sandbox::ScriptedResponder::Parse(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz");
    if (!parsed) return 0;
    rvx::sandbox::ScriptedResponder& script = parsed.value();
    script.OfferDisks('A', 2);
    const rvx::platform::MessageRequest question{"Setup", "Quit ?", rvx::platform::Buttons::yes_no, rvx::platform::Icon::question, 2};
    for (int round = 0; round < 64 && !script.mismatch(); ++round) {
        (void)script.AnswerMessage(question);
        if (const auto disk = script.TakeDiskChange(); disk && (*disk < 1 || *disk > 2)) __builtin_trap();
        auto page = Page();
        (void)script.AnswerPage(page);
        (void)script.AnswerBrowse("Folder", "C:\\");
    }
    if (script.mismatch()) {
        auto page = Page();
        if (script.AnswerPage(page) != rvx::sandbox::kCancelledPageButton) __builtin_trap();
        if (script.AnswerMessage(question) != rvx::platform::Answer::cancel) __builtin_trap();
    }
    return 0;
}
