#include <gtest/gtest.h>

#include "platform/ui/keyboard.h"
#include "platform/ui/screen.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/table_view.h"
#include "platform/ui/text_field.h"

namespace vx {
namespace {

TEST(Keyboard, UserInfoRoundTripsAndMissingValuesReadAsZero) {
    const auto show = UIKeyboard::willShowNotification(UIKeyboard::frameOnScreen());
    EXPECT_EQ(show.name, UIKeyboardWillShowNotification);
    EXPECT_EQ(UIKeyboard::endFrame(show), CGRectMake(0, 352, 320, 216));
    EXPECT_EQ(UIKeyboard::animationCurve(show), 7);
    EXPECT_DOUBLE_EQ(UIKeyboard::animationDuration(show), 0.25);

    Notification bare{std::string(UIKeyboardWillHideNotification), nullptr, {}};
    bare.userInfo[std::string(UIKeyboardFrameEndUserInfoKey)] = std::string("not a rect");
    EXPECT_TRUE(CGRectIsEmpty(UIKeyboard::endFrame(bare)));
    EXPECT_EQ(UIKeyboard::animationCurve(bare), 0);
    EXPECT_EQ(UIKeyboard::animationDuration(bare), 0);

    auto& screen = UIScreen::mainScreen();
    screen.setBounds({0, 480});  // refused
    EXPECT_EQ(screen.bounds(), CGRectMake(0, 0, 320, 568));
    screen.setBounds({320, 480});
    EXPECT_EQ(UIKeyboard::frameOnScreen(), CGRectMake(0, 264, 320, 216));
    screen.reset();
    EXPECT_EQ(screen.scale(), 2);
}

TEST(ScrollView, ScrollRectToVisibleStaysWithinContentAndInsets) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 400));
    scroll->setContentSize({320, 1000});
    scroll->scrollRectToVisible(CGRectMake(0, 700, 320, 44), false);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 344));
    scroll->scrollRectToVisible(CGRectMake(0, 990, 320, 100), false);  // past the content: clamped
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 600));
    scroll->setContentInset(UIEdgeInsetsMake(64, 0, 0, 0));
    scroll->scrollRectToVisible(CGRectMake(0, -100, 10, 10), false);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, -64));
}

TEST(TextField, DelegateMayRefuseAnEditAndTheTextStays) {
    struct NoDigits : UITextFieldDelegate {
        std::optional<bool> shouldChangeCharactersInRange(UITextField&, std::size_t, std::size_t,
                                                          const std::string& replacement) override {
            return replacement.find_first_of("0123456789") == std::string::npos;
        }
    };
    auto delegate = std::make_shared<NoDigits>();
    auto field = UITextField::initWithFrame(CGRectZero);
    field->setDelegate(delegate);
    EXPECT_TRUE(field->userInsertText("ab"));
    EXPECT_FALSE(field->userInsertText("1"));
    EXPECT_EQ(field->text(), "ab");
    field->setText("é");
    EXPECT_TRUE(field->userDeleteBackward());  // a whole two-byte character
    EXPECT_EQ(field->text(), "");
    field->setEnabled(false);
    EXPECT_FALSE(field->userInsertText("x"));
}

struct Sections : UITableViewDataSource {
    std::vector<int> counts{1, 2};
    int built = 0;
    std::optional<int> numberOfSectionsInTableView(UITableView&) override {
        return static_cast<int>(counts.size());
    }
    int numberOfRowsInSection(UITableView&, int section) override { return counts[section]; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, IndexPath path) override {
        ++built;
        auto cell = table.dequeueReusableCellWithIdentifier("Cell");
        if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Default, "Cell");
        cell->textLabel()->setText(std::to_string(path.section) + ":" + std::to_string(path.row));
        return cell;
    }
};

TEST(TableView, SectionChangesAndRowReloadsRebuildOnlyWhatChanged) {
    auto source = std::make_shared<Sections>();
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
    table->setDataSource(source);
    table->reloadData();
    EXPECT_EQ(source->built, 3);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->textLabel()->text(), "0:0");
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->detailTextLabel(), nullptr);  // default style

    source->counts.insert(source->counts.begin(), 3);
    table->insertSections({0}, UITableViewRowAnimation::Fade);
    EXPECT_EQ(source->built, 6);  // only the new section's rows
    EXPECT_EQ(table->numberOfSections(), 3);
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 0})->textLabel()->text(), "0:0");  // built before

    source->counts.erase(source->counts.begin() + 1);
    table->deleteSections({1}, UITableViewRowAnimation::Fade);
    EXPECT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->reusePoolSize("Cell"), 1u);

    table->reloadRowsAtIndexPaths({{1, 1}}, UITableViewRowAnimation::None);
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 1})->textLabel()->text(), "1:1");
    EXPECT_EQ(table->reusePoolSize("Cell"), 1u);  // the old cell went to the pool and came back
    EXPECT_EQ(table->changeLog().back().kind, TableChange::Kind::Reload);
}

}  // namespace
}  // namespace vx
