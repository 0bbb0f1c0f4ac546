// The answer file of an unattended installation: lines keyword=value.
#include "common/text/field_splitter.h"
#include "common/text/text.h"
#include "installer/core/install_app.h"

namespace rvx::installer {

namespace {

// Splits a text file into lines as a text-mode reader sees them: "\r\n" and "\n" end a line, the
// line end is removed, and a last line without a line end still counts. Lines are kept whole,
// whatever their length, so that a long value is never cut into a wrong shorter one.
std::vector<std::string_view> TextLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        content.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

bool InstallApp::ReadAnswerFile(std::string_view path) {
    auto content = platform::ReadWholeFile(platform_.files, path);
    if (!content) {
        Message(text::FormatMessage("Can't open answerfile\n%s", {path}));
        return false;
    }

    bool result = true;
    for (std::string_view line : TextLines(content.value())) {
        auto fields = text::SplitFields(line, "=");
        if (fields.size() != 2) continue;
        const std::string keyword = text::ToLower(fields[0]);
        const std::string& value = fields[1];
        if (keyword == "installmode") {
            answers_.install_mode = static_cast<int>(text::ParseDecimalPrefix(value));
        } else if (keyword == "desktopicon") {
            answers_.desktop_shortcut_answer = static_cast<int>(text::ParseDecimalPrefix(value));
        } else if (keyword == "dstpath") {
            answers_.folder = value;
        } else if (keyword == "examplepath") {
            answers_.documents_folder = value;
        } else if (keyword == "name") {
            answers_.name = value;
        } else if (keyword == "company") {
            answers_.company = value;
        } else {
            Message(text::FormatMessage("Unknown ans keyword: %s", {keyword}));
            result = false;
            break;
        }
    }
    answers_.unattended = result;
    return result;
}

}  // namespace rvx::installer
