// Fuzz target: the GUI driver's use of an answer script on arbitrary bytes. The script is read
// as the driver reads it, then every answer is offered the interaction it names (a page of
// either program from its description, a message box, the folder browser), as the driver would
// meet them, until one does not fit; each answered page is written as the driver's transcript
// writes it. Nothing may crash or hang, whatever the values and buttons say.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "installer_pages.h"
#include "platform/dialog_description.h"
#include "platform/sandbox/responder.h"
#include "platform/sandbox/scripted_responder.h"
#include "platform/sandbox/transcript.h"
#include "uninstaller_pages.h"

namespace {

using rvx::platform::PageModel;

// The page the driver would read for that id: a described dialog of either program, or a bare
// one for an id that neither has.
PageModel PageFor(int id) {
    for (const auto* dialog : rvx::installer::dialogs::kAllDialogs)
        if (dialog->id == id) return rvx::platform::ModelOf(*dialog);
    for (const auto* dialog : rvx::uninstaller::dialogs::kAllDialogs)
        if (dialog->id == id) return rvx::platform::ModelOf(*dialog);
    PageModel bare;
    bare.dialog_id = id;
    bare.Add(1, rvx::platform::ControlKind::button, "OK");
    return bare;
}

int IdOf(const std::string& word) {
    int id = 0;
    for (char c : word) {
        if (c < '0' || c > '9' || id > 100000) return -1;
        id = id * 10 + (c - '0');
    }
    return word.empty() ? -1 : id;
}

// Offers one interaction; false when the script does not fit it, as the driver then stops.
bool Offer(rvx::sandbox::ScriptedResponder& responder, const std::vector<std::string>& words) {
    if (words[0] == "page" && words.size() > 1) {
        PageModel page = PageFor(IdOf(words[1]));
        const PageModel before = page;
        (void)responder.AnswerPage(page);
        (void)rvx::sandbox::PageFields(page);
        (void)rvx::sandbox::ChangedValueFields(before, page);
    } else if (words[0] == "browse") {
        (void)responder.AnswerBrowse("Choose a folder", "C:\\");
    } else {
        rvx::platform::MessageRequest request;
        request.caption = "Norvane Installation";
        // The box's text holds the expected part when the answer names one.
        request.text = words.size() > 3 ? "the text: " + words[3] : "a question";
        request.buttons = rvx::platform::Buttons::yes_no;
        (void)responder.AnswerMessage(request);
        (void)rvx::sandbox::MessageFields(request);
    }
    // A mismatch always says why, as the driver reports it.
    if (responder.mismatch() && responder.mismatch()->empty()) __builtin_trap();
    return !responder.mismatch();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto parsed = rvx::sandbox::ScriptedResponder::Parse(text, "fuzz");
    if (!parsed) return 0;
    rvx::sandbox::ScriptedResponder& responder = parsed.value();
    // The answers in order, each offered what its first words name.
    std::string_view rest = text;
    while (!rest.empty() && responder.remaining() > 0) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        auto words = rvx::sandbox::SplitAnswerWords(line);
        if (!words || words->empty() || (*words)[0].starts_with("#")) continue;
        if (!Offer(responder, *words)) break;
    }
    return 0;
}
