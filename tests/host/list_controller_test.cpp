#include "host/ps_list_controller.h"

#include <map>
#include <tuple>

#include "host/ps_list_items_controller.h"
#include "host_test_support.h"
#include "platform/foundation/log.h"
#include "platform/ui/switch.h"
#include "platform/ui/text_field.h"

namespace vx::test {
namespace {

// A page that loads "Page" and keeps its values in memory, recording every write.
class MemoryPage : public PSListController {
public:
    std::string className() const override { return "MemoryPage"; }
    SpecifierList specifiers() override {
        if (!hasSpecifiers()) setSpecifiers(loadSpecifiersFromPlistName("Page", weakFrom(this)));
        return cachedSpecifiers();
    }
    std::optional<plist::Value> readPreferenceValue(const SpecifierPtr& row) override {
        auto stored = values.find(row->key());
        if (stored != values.end()) return stored->second;
        return PSListController::readPreferenceValue(row);
    }
    void setPreferenceValue(const plist::Value& value, const SpecifierPtr& row) override {
        values[row->key()] = value;
        writes.emplace_back(row, value);
    }
    void lauchDoc(const SpecifierPtr& row) { tapped.push_back(row); }

    MemoryPage() { registerAction("lauchDoc:", &MemoryPage::lauchDoc); }

    std::map<std::string, plist::Value> values;
    std::vector<std::pair<SpecifierPtr, plist::Value>> writes;
    std::vector<SpecifierPtr> tapped;
};

class OtherPage : public PSListController {
public:
    std::string className() const override { return "OtherPage"; }
};

class ListControllerTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        writeSpecifierFile(
            "Page",
            {item({{"cell", "PSSwitchCell"}, {"label", "Top"}, {"key", "top"}, {"default", true}}),
             item({{"cell", "PSGroupCell"}, {"label", "Looks"}, {"footerText", "How it looks"}}),
             item({{"cell", "PSLinkListCell"},
                   {"label", "Style"},
                   {"key", "style"},
                   {"default", 0},
                   {"validValues", plist::Array{0, 1}},
                   {"validTitles", plist::Array{"Plain", "Fancy"}}}),
             item({{"cell", "PSEditTextCell"},
                   {"label", "Name"},
                   {"key", "name"},
                   {"placeholder", "Your name"}}),
             item({{"cell", "PSGroupCell"}}),
             item({{"cell", "PSLinkCell"}, {"label", "Other"}, {"detail", "OtherPage"}}),
             item({{"cell", "PSLinkCell"}, {"label", "Nowhere"}, {"detail", "NoSuchPage"}}),
             item({{"cell", "PSButtonCell"}, {"label", "Docs"}, {"action", "lauchDoc:"}}),
             item({{"cell", "PSButtonCell"}, {"label", "Odd"}, {"action", "noSuchAction:"}}),
             item({{"cell", "PSLinkCell"},
                   {"label", "Off"},
                   {"detail", "OtherPage"},
                   {"enabled", false}})});
        ClassRegistry::shared().registerClass<OtherPage>("OtherPage");
        page = show(std::make_shared<MemoryPage>());
    }

    UITableView& table() { return *page->table(); }
    std::shared_ptr<UITableViewCell> cell(int section, int row) {
        return table().cellForRowAtIndexPath(IndexPath::indexPathForRow(row, section));
    }
    void tap(int section, int row) {
        page->didSelectRowAtIndexPath(table(), IndexPath::indexPathForRow(row, section));
    }

    std::shared_ptr<MemoryPage> page;
};

TEST_F(ListControllerTest, GroupsBecomeSectionsWithHeadersAndFooters) {
    ASSERT_EQ(table().numberOfSections(), 3);
    EXPECT_EQ(table().numberOfRowsInSection(0), 1);  // rows before the first group
    EXPECT_EQ(table().numberOfRowsInSection(1), 2);
    EXPECT_EQ(table().numberOfRowsInSection(2), 5);
    EXPECT_FALSE(table().headerTitleForSection(0));
    EXPECT_EQ(table().headerTitleForSection(1), "Looks");
    EXPECT_EQ(table().footerTitleForSection(1), "How it looks");
    EXPECT_FALSE(table().headerTitleForSection(2));  // a group without a label
    EXPECT_EQ(cell(2, 0)->textLabel()->text(), "Other");
    EXPECT_EQ(cell(2, 0)->accessoryType(), UITableViewCellAccessoryType::DisclosureIndicator);
}

TEST_F(ListControllerTest, ValueRowsShowTheStoredValueOverTheDefaultAndWriteThroughThePage) {
    auto control = std::dynamic_pointer_cast<UISwitch>(cell(0, 0)->accessoryView());
    ASSERT_TRUE(control);
    EXPECT_TRUE(control->isOn());  // nothing stored: the default

    page->values = {{"top", false}, {"name", "Ada"}, {"style", 1}};
    page->reloadSpecifiers();
    control = std::dynamic_pointer_cast<UISwitch>(cell(0, 0)->accessoryView());
    ASSERT_TRUE(control);
    EXPECT_FALSE(control->isOn());  // a stored false wins over the default true
    EXPECT_EQ(cell(1, 0)->detailTextLabel()->text(), "Fancy");
    auto field = std::dynamic_pointer_cast<UITextField>(cell(1, 1)->accessoryView());
    ASSERT_TRUE(field);
    EXPECT_EQ(field->text(), "Ada");
    EXPECT_EQ(field->placeholder(), "Your name");

    control->userToggle();
    field->userReplaceText("Grace");
    ASSERT_EQ(page->writes.size(), 2u);
    EXPECT_EQ(page->writes[0], std::make_pair(page->specifierForID("Top"), plist::Value(true)));
    EXPECT_EQ(page->writes[1], std::make_pair(page->specifierForID("Name"), plist::Value("Grace")));
}

TEST_F(ListControllerTest, ChoicePageMarksTheCurrentValueAndWritesTheChosenOne) {
    tap(1, 0);
    auto choices = std::dynamic_pointer_cast<PSListItemsController>(navigation->topViewController());
    ASSERT_TRUE(choices);
    EXPECT_EQ(choices->title(), "Style");
    UITableView& list = *choices->table();
    ASSERT_EQ(list.numberOfRowsInSection(0), 2);
    auto plain = list.cellForRowAtIndexPath(IndexPath::indexPathForRow(0, 0));
    EXPECT_EQ(plain->textLabel()->text(), "Plain");
    EXPECT_EQ(plain->accessoryType(), UITableViewCellAccessoryType::Checkmark);  // the default 0

    choices->didSelectRowAtIndexPath(list, IndexPath::indexPathForRow(1, 0));
    ASSERT_EQ(page->writes.size(), 1u);
    EXPECT_EQ(page->writes[0].first, page->specifierForID("Style"));
    EXPECT_EQ(page->writes[0].second, plist::Value(1));
    EXPECT_EQ(list.cellForRowAtIndexPath(IndexPath::indexPathForRow(1, 0))->accessoryType(),
              UITableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(list.cellForRowAtIndexPath(IndexPath::indexPathForRow(0, 0))->accessoryType(),
              UITableViewCellAccessoryType::None);

    navigation->popViewControllerAnimated(false);  // back on the page: the new title shows
    EXPECT_EQ(cell(1, 0)->detailTextLabel()->text(), "Fancy");
}

TEST_F(ListControllerTest, TappedRowsOpenTheirPageOrCallTheirActionUnlessUnknownOrDisabled) {
    const struct {
        int row;
        const char* opens;  // the class of the page pushed, or nullptr
        int actions;        // calls of lauchDoc: so far
        const char* logged;
    } cases[] = {{0, "OtherPage", 0, nullptr},
                 {1, nullptr, 0, "NoSuchPage"},
                 {2, nullptr, 1, nullptr},
                 {3, nullptr, 1, "noSuchAction:"},
                 {4, nullptr, 1, nullptr}};  // "enabled" false
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        log::Capture capture;
        tap(2, c.row);
        auto top = navigation->topViewController();
        EXPECT_EQ(top->className(), c.opens ? c.opens : "MemoryPage");
        if (c.opens) {
            auto other = std::dynamic_pointer_cast<OtherPage>(top);
            EXPECT_EQ(other->specifier(), page->specifierForID("Other"));
            EXPECT_EQ(other->title(), "Other");
            navigation->popViewControllerAnimated(false);
        }
        EXPECT_EQ(page->tapped.size(), static_cast<std::size_t>(c.actions));
        EXPECT_TRUE(!c.logged || capture.contains(c.logged));
    }
    EXPECT_EQ(page->tapped.at(0), page->specifierForID("Docs"));
    EXPECT_EQ(cell(2, 4)->selectionStyle(), UITableViewCellSelectionStyle::None);
}

TEST_F(ListControllerTest, InsertAndRemoveKeepListAndTableInStepAndAGroupReshapesTheSections) {
    auto staticRow = [&](const char* label) {
        return PSSpecifier::preferenceSpecifierNamed(label, page, nullptr, nullptr, "",
                                                     PSCellType::StaticText);
    };
    auto changes = [&] {
        std::vector<std::tuple<TableChange::Kind, std::vector<IndexPath>, bool>> out;
        for (const auto& c : table().changeLog()) out.emplace_back(c.kind, c.indexPaths, c.animated);
        return out;
    };
    SpecifierPtr name = page->specifierForID("Name"), extra = staticRow("Extra");
    table().clearChangeLog();
    page->insertSpecifier(extra, page->specifierForID("Style"), true);
    page->insertSpecifier(extra, name, true);                 // already shown: nothing changes
    page->insertSpecifier(staticRow("Lost"), nullptr, true);  // after a row not shown: refused
    EXPECT_EQ(page->indexOfSpecifier(extra), 3u);
    EXPECT_EQ(cell(1, 2)->textLabel()->text(), "Name");
    page->removeSpecifier(name, false);
    page->removeSpecifier(name, true);  // no longer shown
    EXPECT_FALSE(page->indexOfSpecifier(name));
    EXPECT_EQ(cell(1, 1)->textLabel()->text(), "Extra");
    EXPECT_EQ(page->cachedSpecifiers().size(), 10u);
    EXPECT_EQ(changes(), (decltype(changes()){{TableChange::Kind::InsertRows, {{1, 1}}, true},
                                              {TableChange::Kind::DeleteRows, {{1, 2}}, false}}));

    page->removeSpecifier(page->cachedSpecifiers()[1], true);  // the "Looks" group
    EXPECT_EQ(table().numberOfSections(), 2);
    EXPECT_EQ(table().numberOfRowsInSection(0), 3);
}

TEST_F(ListControllerTest, ReusedCellsCarryNoControlsOrTargetsOfTheirPreviousRow) {
    // A second switch row above the first: after the reload every cell comes from the reuse
    // pool, the "Top" switch cell now showing the new row.
    SpecifierPtr top = page->specifierForID("Top");
    SpecifierPtr fresh = PSSpecifier::preferenceSpecifierNamed(
        "Fresh", page, &PSListController::setPreferenceValue, &PSListController::readPreferenceValue, "",
        PSCellType::Switch);
    fresh->setProperty("fresh", "key");
    page->cachedSpecifiers().insert(page->cachedSpecifiers().begin(), fresh);
    page->reloadSpecifiers();

    EXPECT_EQ(cell(0, 0)->textLabel()->text(), "Fresh");
    auto control = std::dynamic_pointer_cast<UISwitch>(cell(0, 0)->accessoryView());
    ASSERT_TRUE(control);
    EXPECT_FALSE(control->isOn());  // not the old row's default true
    control->userToggle();
    ASSERT_EQ(page->writes.size(), 1u);
    EXPECT_EQ(page->writes[0].first, fresh);
    EXPECT_FALSE(cell(2, 0)->accessoryView());  // link cells hold no control
    EXPECT_TRUE(cell(1, 0)->detailTextLabel()->text() == "Plain");
}

}  // namespace
}  // namespace vx::test
