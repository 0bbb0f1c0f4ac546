// The user variables' index: which line an expansion takes next, against a walk over every line,
// and the orders of expansion that depend on it.
#include <gtest/gtest.h>

#include <random>

#include "installer/core/install_app.h"
#include "installer/core/state/user_variables.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::UserVariables;

namespace {

// The first line from `from` on whose name, between percent signs, occurs in text, found by
// looking at every line: what the index must answer.
std::optional<size_t> ByWalkingEveryLine(const UserVariables& variables, std::string_view text, size_t from) {
    for (size_t at = from; at < variables.size(); ++at) {
        const auto definition = UserVariables::Parse(variables[at]);
        if (definition && text.find("%" + std::string(definition->name) + "%") != std::string_view::npos) return at;
    }
    return std::nullopt;
}

}  // namespace

TEST(UserVariableIndex, FindsWhatAWalkOverEveryLineFinds) {
    // Few names from few characters, so that names, percent signs and duplicates meet often.
    const std::vector<std::string> names = {"A", "B", "AB", "A%B", "%", "", " A", "a", "B%"};
    const std::vector<std::string> pieces = {"%", "A", "B", "a", " ", "=", "x"};
    std::mt19937 random(5);
    for (int round = 0; round < 400; ++round) {
        UserVariables variables;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            std::string line = names[random() % names.size()];
            line += random() % 8 ? " = " : "";  // now and then a line without "="
            line += random() % 5 ? "v" + std::to_string(i) : "a=b";
            variables.push_back(line);
        }
        if (round % 2) variables = UserVariables::Lines(variables.lines());  // built at once, not line by line
        std::string text;
        for (int i = static_cast<int>(random() % 10); i > 0; --i) text += pieces[random() % pieces.size()];
        for (size_t from = 0; from <= variables.size(); ++from)
            ASSERT_EQ(variables.FirstNamedIn(text, from), ByWalkingEveryLine(variables, text, from))
                << "text '" << text << "' from " << from << " line 0 '" << (variables.empty() ? "" : variables[0]) << "'";
    }
}

TEST(UserVariableIndex, ClearingAndReplacingTheLinesReplacesTheIndex) {
    UserVariables variables = {"A=1", "B=2"};
    EXPECT_EQ(variables.FirstNamedIn("%B%", 0), 1u);
    variables = {"B=3"};
    EXPECT_EQ(variables.FirstNamedIn("%A%", 0), std::nullopt);
    EXPECT_EQ(variables.FirstNamedIn("%B%", 0), 0u);
    variables.clear();
    EXPECT_EQ(variables.FirstNamedIn("%B%", 0), std::nullopt);
    variables.emplace_back("B = 4");
    EXPECT_EQ(variables.FirstNamedIn("x%B%", 0), 0u);
}

TEST(UserVariables, EachLineTakesItsTurnOnTheTextAsItStandsThen) {
    test_support::TempMachine temp;
    platform::Platform& platform = temp.Start("D:\\Rovexa.exe", "", "", installer::kBuiltInStrings);
    installer::InstallApp app(platform);
    auto expand = [&](std::initializer_list<std::string> lines, std::string_view text) {
        app.script().user_variables = lines;
        const installer::Expansion expanded = installer::Expanded(app, text);
        return expanded.stopped() ? "stop at " + expanded.stop().variable : *expanded;
    };
    // A later definition of a name counts when a value in between brought the name back.
    EXPECT_EQ(expand({"A=%C%", "B=b", "C=%A%", "A=q"}, "%A%"), "q");
    // A value holding its own name is put in once for each place the name held before.
    EXPECT_EQ(expand({"s=<%s%>"}, "%s%%s%"), "<%s%><%s%>");
    // Names with percent signs and the empty name between two neighbouring ones.
    EXPECT_EQ(expand({"A%B=joined", "=empty"}, "x%A%B%y%%z"), "xjoinedyemptyz");
    // Replacing one name can take away another that shared its percent sign.
    EXPECT_EQ(expand({"A=1", "B=2"}, "%A%B%."), "1B%.");
    EXPECT_EQ(expand({"B=2", "A=1"}, "%A%B%."), "%A2.");
    // Names match exactly.
    EXPECT_EQ(expand({"name=lower", "NAME=upper"}, "%NAME%,%name%"), "upper,lower");
}
