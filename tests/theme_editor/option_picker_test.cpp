// The option picker and the editor's "Done" that maps its answer back.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "platform/ui/navigation_controller.h"

namespace vx {
namespace {

using test::optionsEntry;
using test::selectOptionsEntry;

class OptionPickerTest : public test::EditorFixture {
protected:
    // Opens the editor on one "select" entry and taps its row.
    std::shared_ptr<OptionsController> openPicker(plist::Value entry) {
        writeOptions({optionsEntry("a", "A", "edit", "x"), std::move(entry)});
        editor_ = open();
        editor_->brandNewTableView()->reloadData();
        EXPECT_TRUE(editor_->brandNewTableView()->userTapRow({0, 1}));
        return editor_->controller();
    }
    static std::vector<std::string> rows(OptionsController& picker) {
        std::vector<std::string> out;
        const auto& table = picker.optionsTableView();
        table->reloadData();
        for (int row = 0; row < table->numberOfRowsInSection(0); ++row) {
            auto cell = table->cellForRowAtIndexPath({0, row});
            out.push_back(
                cell->textLabel()->text() +
                (cell->accessoryType() == UITableViewCellAccessoryType::Checkmark ? " *" : ""));
        }
        return out;
    }
    void pressDone() {
        auto done = editor_->controller()->navigationItem()->rightBarButtonItem();
        ASSERT_TRUE(done);
        ASSERT_TRUE(done->userTap());
    }
    std::shared_ptr<LockThemeSettingsController> editor_;
};

TEST_F(OptionPickerTest, DoneAtOnceKeepsTheCurrentOptionOrTakesTheFirstOrKeepsADefaultWithoutOptions) {
    plist::Value mistyped = optionsEntry("size", "Size", "select", "Keep");
    mistyped.dictionary().set("options", plist::Value("not a dictionary"));
    const std::vector<std::pair<plist::Value, std::string>> cases{
        {selectOptionsEntry("Large", {{"Small", "12px"}, {"Large", "24px"}}), "Large"},
        {selectOptionsEntry("Gone", {{"Small", "12px"}, {"Large", "24px"}}), "Small"},
        {selectOptionsEntry("Keep", {}), "Keep"},
        {mistyped, "Keep"},
    };
    for (const auto& [entry, kept] : cases) {
        SCOPED_TRACE(kept);
        UIApplication::sharedApplication().reset();
        openPicker(entry);
        pressDone();
        EXPECT_FALSE(editor_->presentedViewController());
        EXPECT_EQ(defaultAt(*editor_, 1), kept);
        EXPECT_EQ(cell(*editor_, 1)->detailTextLabel()->text(), kept);
    }
}

// (The picker's rows and its "Done" through the screen are checked by the road test.)
TEST_F(OptionPickerTest, TheMarkFollowsTapsAndDoneStoresTheLastTappedAndOpensThereNextTime) {
    auto picker = openPicker(
        selectOptionsEntry("Small", {{"Small", "12px"}, {"Large", "24px"}, {"Huge", "40px"}}));
    ASSERT_TRUE(picker);
    EXPECT_EQ(editor_->presentedViewController(), editor_->navCtrl());
    EXPECT_EQ(editor_->navCtrl()->topViewController(), picker);
    EXPECT_EQ(rows(*picker), (std::vector<std::string>{"Small *", "Large", "Huge"}));
    EXPECT_FALSE(editor_->brandNewTableView()->indexPathForSelectedRow());
    auto table = picker->optionsTableView();
    ASSERT_TRUE(table->userTapRow({0, 2}));
    ASSERT_TRUE(table->userTapRow({0, 1}));
    EXPECT_EQ(rows(*picker), (std::vector<std::string>{"Small", "Large *", "Huge"}));
    EXPECT_FALSE(table->indexPathForSelectedRow());
    pressDone();
    EXPECT_EQ(defaultAt(*editor_, 1), "Large");
    // Each tap makes a fresh picker, marked on the option chosen last.
    ASSERT_TRUE(editor_->brandNewTableView()->userTapRow({0, 1}));
    EXPECT_NE(editor_->controller(), picker);
    EXPECT_EQ(editor_->controller()->selection(), 1);
}

}  // namespace
}  // namespace vx
