// The answer file of an unattended installation.
#include "installer/core/answer_file.h"

#include <vector>

#include "common/text/field_splitter.h"
#include "common/text/text.h"
#include "installer/core/install_app.h"
#include "installer_strings.h"

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

int ToInt(std::string_view text) { return static_cast<int>(text::ParseDecimalPrefix(text)); }

}  // namespace

AnswerFileResult ParseAnswerFile(std::string_view content, Answers& answers) {
    for (std::string_view line : TextLines(content)) {
        auto fields = text::SplitFields(line, "=");
        if (fields.size() != 2) continue;
        const std::string keyword = text::ToLower(fields[0]);
        std::string& value = fields[1];
        if (keyword == "installmode") answers.install_mode = ToInt(value);
        else if (keyword == "desktopicon") answers.desktop_shortcut_answer = ToInt(value);
        else if (keyword == "dstpath") answers.folder = std::move(value);
        else if (keyword == "examplepath") answers.documents_folder = std::move(value);
        else if (keyword == "name") answers.name = std::move(value);
        else if (keyword == "company") answers.company = std::move(value);
        else return AnswerFileResult{keyword};
    }
    return AnswerFileResult{};
}

bool InstallApp::ReadAnswerFile(std::string_view path) {
    auto content = platform::ReadWholeFile(platform_.files, path);
    if (!content) {
        Message(text::FormatMessage(Text(kCannotOpenAnswerFile), {path}));
        return false;
    }
    const AnswerFileResult result = ParseAnswerFile(content.value(), answers_);
    if (result.unknown_keyword) Message(text::FormatMessage(Text(kUnknownAnswerKeyword), {*result.unknown_keyword}));
    answers_.unattended = !result.unknown_keyword;
    return answers_.unattended;
}

}  // namespace rvx::installer
