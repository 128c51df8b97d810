#include <filesystem>

#include "host/defaults_domain.h"
#include "host/plugin_entry.h"
#include "host/plugin_items_list_controller.h"
#include "host_test_support.h"
#include "platform/darwin/darwin_notify.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/ui/image.h"
#include "platform/ui/switch.h"

namespace vx::test {
namespace {

constexpr const char* kPluginFolder = "/Library/PreferenceBundles/VeltrixSettings.bundle/Plugins/Acme";
constexpr const char* kDomainFile = "/var/mobile/Library/Preferences/com.acme.plugin.plist";

class CustomPluginPage : public PSListController {
public:
    std::string className() const override { return "CustomPluginPage"; }
};

class PluginAndDomainTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        darwin::setRendezvousFolder(notifyDir.path());
        root.writeFile(std::string(kPluginFolder) + "/Acme.plist",
                       plist::writeXml(plist::Value(plist::Dictionary{
                           {"title", "Acme Settings"},
                           {"items", plist::Array{plist::Dictionary{
                                         {"cell", "PSSwitchCell"},
                                         {"label", "Turbo"},
                                         {"key", "turbo"},
                                         {"default", true},
                                         {"defaults", "com.acme.plugin"},
                                         {"PostNotification", "com.acme.plugin/changed"}}}}})));
        host = show(PSListController::init());
    }
    void TearDown() override {
        darwin::setRendezvousFolder(std::nullopt);
        HostTest::TearDown();
    }

    SpecifierList entryRows(plist::Value entry, std::string title = "Acme") {
        return host->specifiersFromEntry(entry, kPluginFolder, title);
    }
    std::shared_ptr<PSListController> openRow(const SpecifierPtr& row) {
        host->setSpecifiers({row});
        host->reloadSpecifiers();
        host->didSelectRowAtIndexPath(*host->table(), IndexPath{0, 0});
        return std::dynamic_pointer_cast<PSListController>(navigation->topViewController());
    }

    TempDir notifyDir;
    std::shared_ptr<PSListController> host;
};

TEST_F(PluginAndDomainTest, EntryBecomesOneLinkRowWithDefaults) {
    SpecifierList rows = entryRows(plist::Dictionary{{"icon", "none.png"}});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->name(), "Acme");  // label defaults to the title
    EXPECT_EQ(rows[0]->cellType(), PSCellType::Link);
    EXPECT_EQ(rows[0]->detailClassName(), kPluginItemsPageClassName);
    EXPECT_EQ(rows[0]->target().lock(), host);
    EXPECT_EQ(rows[0]->objectForKey("iconImage"), nullptr);  // no such file

    root.writeFile(std::string(kPluginFolder) + "/icon.png", "png");
    rows = entryRows(plist::Dictionary{{"label", "Acme Pro"}, {"icon", "icon.png"}});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->name(), "Acme Pro");
    EXPECT_NE(rows[0]->objectForKey<std::shared_ptr<UIImage>>("iconImage"), nullptr);
}

TEST_F(PluginAndDomainTest, EntriesThatMakeNoRowGiveNothing) {
    EXPECT_TRUE(entryRows(plist::Value("entry")).empty());
    EXPECT_TRUE(entryRows(plist::Dictionary{}, "").empty());  // no label, no title
    EXPECT_TRUE(entryRows(plist::Dictionary{{"label", 3}}).empty());
    EXPECT_TRUE(entryRows(plist::Dictionary{{"cell", "PSNoCell"}}).empty());
}

TEST_F(PluginAndDomainTest, EntryOpensItsRegisteredDetailClassElseItsItemsPage) {
    ClassRegistry::shared().registerClass<CustomPluginPage>("CustomPluginPage");
    for (const char* detail : {"", "CustomPluginPage", "Missing"}) {
        SCOPED_TRACE(detail);
        auto opened = openRow(entryRows(plist::Dictionary{{"detail", detail}})[0]);
        ASSERT_TRUE(opened);
        if (std::string(detail) == "CustomPluginPage") {
            EXPECT_TRUE(std::dynamic_pointer_cast<CustomPluginPage>(opened));
        } else {
            ASSERT_TRUE(std::dynamic_pointer_cast<PluginItemsListController>(opened));
            EXPECT_EQ(opened->bundlePath(), kPluginFolder);
            EXPECT_EQ(opened->title(), "Acme Settings");
            ASSERT_EQ(opened->cachedSpecifiers().size(), 1u);
            EXPECT_EQ(opened->cachedSpecifiers()[0]->name(), "Turbo");
        }
        navigation->popViewControllerAnimated(false);
    }
}

TEST_F(PluginAndDomainTest, DomainRowReadsStoredValueAndWritesThenNotifiesOnce) {
    auto listener = darwin::Listener::create({"com.acme.plugin/changed"});
    ASSERT_TRUE(listener);
    root.writeFile(
        kDomainFile,
        plist::writeXml(plist::Value(plist::Dictionary{{"turbo", false}, {"other", "kept"}})));
    auto items = openRow(entryRows(plist::Dictionary{})[0]);
    ASSERT_TRUE(items);
    auto control = std::dynamic_pointer_cast<UISwitch>(
        items->table()->cellForRowAtIndexPath(IndexPath{0, 0})->accessoryView());
    ASSERT_TRUE(control);
    EXPECT_FALSE(control->isOn());  // stored false over the default true

    control->userToggle();
    auto stored = plist::dictionaryWithContentsOfFile(kDomainFile);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, (plist::Dictionary{{"turbo", true}, {"other", "kept"}}));
    EXPECT_EQ((*listener)->takePending(), std::vector<std::string>{"com.acme.plugin/changed"});
}

TEST_F(PluginAndDomainTest, RowsWithoutAValidDomainStoreNothingAndPostNothing) {
    auto listener = darwin::Listener::create({"n"});
    ASSERT_TRUE(listener);
    auto row = PSSpecifier::preferenceSpecifierNamed("x", host, &PSListController::setPreferenceValue,
                                                     &PSListController::readPreferenceValue, "",
                                                     PSCellType::Switch);
    row->setProperty("k", "key");
    row->setProperty(7, "default");
    row->setProperty("n", "PostNotification");
    EXPECT_EQ(host->readPreferenceValue(row), plist::Value(7));  // no domain: the default

    log::Capture capture;
    for (const char* domain : {"../../../etc/evil", ".hidden", ""}) {
        row->setProperty(domain, "defaults");
        host->setPreferenceValue(true, row);
        EXPECT_EQ(host->readPreferenceValue(row), plist::Value(7));
    }
    EXPECT_TRUE((*listener)->takePending().empty());
    EXPECT_FALSE(std::filesystem::exists(root.host("/etc/evil.plist")));
    EXPECT_FALSE(isValidDefaultsDomain("a/b"));
    EXPECT_TRUE(isValidDefaultsDomain("com.acme.plugin"));
}

}  // namespace
}  // namespace vx::test
