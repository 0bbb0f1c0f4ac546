// Page models made from the dialog descriptions: what a page shows before the core fills it is
// its template, with the addressable controls in template order and decoration left out.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "installer_pages.h"
#include "platform/dialog_description.h"
#include "uninstaller_pages.h"

namespace {

using rvx::platform::ControlKind;
using rvx::platform::ModelOf;

std::vector<int> IdsOf(const rvx::platform::PageModel& page) {
    std::vector<int> ids;
    for (const auto& control : page.controls) ids.push_back(control.id);
    return ids;
}

TEST(DialogDescription, TheModelLeavesOutLabelsAndDecorationAndKeepsLimits) {
    namespace personal = rvx::installer::dialogs::personal_data_page;
    const auto page = ModelOf(personal::kDescription);
    EXPECT_EQ(page.dialog_id, 109);
    EXPECT_EQ(page.description, &personal::kDescription);
    // The picture frame, the two labels and the line are the template's alone.
    EXPECT_EQ(IdsOf(page), (std::vector<int>{105, 101, 102, 1, 117, 2}));
    EXPECT_EQ(page.Find(personal::kName)->max_length, 40);
    EXPECT_EQ(page.Find(personal::kCompany)->max_length, 40);
    EXPECT_EQ(page.Find(personal::kName)->kind, ControlKind::edit);
    EXPECT_EQ(page.Find(personal::kBack)->text, "< &Back");
    EXPECT_EQ(personal::kDescription.MaxLength(personal::kIntro), 0);
    EXPECT_EQ(personal::kDescription.MaxLength(12345), 0);
}

TEST(DialogDescription, ListsAndLicenceAreMultiLineValuesAndBoxesStartUnticked) {
    namespace leftovers = rvx::uninstaller::dialogs::leftovers_page;
    const auto page = ModelOf(leftovers::kDescription);
    EXPECT_EQ(IdsOf(page), (std::vector<int>{1002, 1001, 1000, 1}));  // the icon is the platform's
    EXPECT_EQ(page.Find(leftovers::kFileList)->kind, ControlKind::multiline_text);
    EXPECT_EQ(page.Find(leftovers::kRemoveNow)->value, "0");
    EXPECT_EQ(page.caption, "Norvane uninstall");
    EXPECT_EQ(leftovers::kDescription.Find(leftovers::kIcon)->image(), 128);

    namespace licence = rvx::installer::dialogs::licence_page;
    EXPECT_EQ(ModelOf(licence::kDescription).Find(licence::kLicence)->kind, ControlKind::multiline_text);
    namespace previous = rvx::installer::dialogs::previous_installation_page;
    const auto radios = ModelOf(previous::kDescription);
    EXPECT_EQ(radios.Find(previous::kUpdateHere)->kind, ControlKind::radio);
    EXPECT_EQ(radios.Find(previous::kInstallElsewhere)->value, "0");
}

TEST(DialogDescription, ARadioGroupRunsFromItsFirstButtonAndNamesWhatEachButtonReveals) {
    namespace previous = rvx::installer::dialogs::previous_installation_page;
    for (int member : {previous::kUpdateHere, previous::kInstallElsewhere}) {
        const auto group = previous::kDescription.RadioGroupOf(member);
        ASSERT_EQ(group.size(), 2u) << member;
        EXPECT_EQ(group[0].id, previous::kUpdateHere);
        EXPECT_EQ(group[1].id, previous::kInstallElsewhere);
    }
    // Choosing "update the software in this folder" shows the warning; the other button hides it.
    EXPECT_EQ(previous::kDescription.Find(previous::kUpdateHere)->revealed(), previous::kUpdateWarning);
    EXPECT_EQ(previous::kDescription.Find(previous::kInstallElsewhere)->revealed(), 0);
    EXPECT_TRUE(previous::kDescription.RadioGroupOf(previous::kUpdateWarning).empty());
    EXPECT_TRUE(previous::kDescription.RadioGroupOf(12345).empty());

    // Two groups side by side stay apart; a button's data means nothing on another kind.
    using rvx::platform::ControlClass;
    using rvx::platform::ControlDescription;
    static constexpr ControlDescription controls[] = {
        {1, ControlClass::radio_first, "a", {}, 5}, {2, ControlClass::radio, "b", {}, 0},
        {3, ControlClass::radio_first, "c", {}, 0}, {4, ControlClass::radio, "d", {}, 6},
        {5, ControlClass::text, "", {}, 0},        {6, ControlClass::check_box, "", {}, 7},
    };
    static constexpr rvx::platform::DialogDescription two_groups{900, {}, rvx::platform::DialogLook::wizard, "", controls};
    EXPECT_EQ(two_groups.RadioGroupOf(2).size(), 2u);
    EXPECT_EQ(two_groups.RadioGroupOf(4).front().id, 3);
    EXPECT_EQ(two_groups.RadioGroupOf(4).size(), 2u);
    EXPECT_EQ(two_groups.Find(6)->revealed(), 0);
    EXPECT_EQ(two_groups.Icon(), 0);
}

TEST(DialogDescription, EachDialogNamesTheIconItShows) {
    for (const auto* dialog : rvx::uninstaller::dialogs::kAllDialogs) EXPECT_EQ(dialog->Icon(), 128) << dialog->id;
    // The installer's prompts leave the icon to the platform (the program's own).
    EXPECT_EQ(rvx::installer::dialogs::restart_page::kDescription.Icon(), 0);
    EXPECT_EQ(rvx::installer::dialogs::personal_data_page::kDescription.Icon(), 0);
}

// Every dialog of both programs: ids are unique, every model control carries its template text,
// and the dialogs the core shows as pages have the buttons that end them.
TEST(DialogDescription, EveryDialogHasUniqueIdsAndItsTemplateTexts) {
    std::set<int> installer_ids;
    for (const auto* dialog : rvx::installer::dialogs::kAllDialogs) EXPECT_TRUE(installer_ids.insert(dialog->id).second) << dialog->id;
    EXPECT_EQ(installer_ids, (std::set<int>{104, 109, 119, 121, 122, 124, 126, 127, 128, 129, 130, 131, 133}));
    std::set<int> uninstaller_ids;
    for (const auto* dialog : rvx::uninstaller::dialogs::kAllDialogs) EXPECT_TRUE(uninstaller_ids.insert(dialog->id).second) << dialog->id;
    EXPECT_EQ(uninstaller_ids, (std::set<int>{129, 130, 131}));

    std::vector<const rvx::platform::DialogDescription*> all(std::begin(rvx::installer::dialogs::kAllDialogs),
                                                             std::end(rvx::installer::dialogs::kAllDialogs));
    all.insert(all.end(), std::begin(rvx::uninstaller::dialogs::kAllDialogs), std::end(rvx::uninstaller::dialogs::kAllDialogs));
    for (const auto* dialog : all) {
        const auto page = ModelOf(*dialog);
        std::set<int> seen;
        bool has_button = false;
        for (const auto& control : page.controls) {
            EXPECT_TRUE(seen.insert(control.id).second) << "dialog " << dialog->id << " uses id " << control.id << " twice";
            EXPECT_EQ(control.text, dialog->Text(control.id)) << "dialog " << dialog->id << " control " << control.id;
            has_button = has_button || control.kind == ControlKind::button;
        }
        const bool modeless = dialog->look == rvx::platform::DialogLook::modeless;
        EXPECT_EQ(has_button, !modeless) << "dialog " << dialog->id;
    }
}

}  // namespace
