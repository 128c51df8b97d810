#include "host/specifier_file.h"

#include "host_test_support.h"
#include "platform/foundation/log.h"

namespace vx::test {
namespace {

using SpecifierFileTest = HostTest;

TEST_F(SpecifierFileTest, CellTypeNamesRoundTripAndUnknownNamesGiveNothing) {
    for (const char* name : {"PSGroupCell", "PSSwitchCell", "PSLinkCell", "PSLinkListCell",
                             "PSEditTextCell", "PSSecureEditTextCell", "PSButtonCell",
                             "PSStaticTextCell", "PSTitleValueCell", "PSSliderCell", "PSSegmentCell"}) {
        auto type = PSTableCell::cellTypeFromString(name);
        ASSERT_TRUE(type) << name;
        EXPECT_EQ(PSTableCell::stringFromCellType(*type), name);
    }
    EXPECT_FALSE(PSTableCell::cellTypeFromString("PSLinkcell"));
    EXPECT_FALSE(PSTableCell::cellTypeFromString(""));
}

TEST_F(SpecifierFileTest, LoadsRowsWithPropertiesHooksTitleAndTarget) {
    writeSpecifierFile("Sample",
                       {item({{"cell", "PSGroupCell"}, {"label", "GENERAL"}, {"footerText", "FOOT"}}),
                        item({{"cell", "PSSwitchCell"},
                              {"label", "ENABLED"},
                              {"key", "enabled"},
                              {"default", true},
                              {"PostNotification", "com.example/changed"}}),
                        item({{"cell", "PSLinkCell"},
                              {"label", "More"},
                              {"detail", "MorePage"},
                              {"id", "more"},
                              {"icon", "more.png"}}),
                        item({{"cell", "PSButtonCell"},
                              {"label", "Docs"},
                              {"action", "lauchDoc:"},
                              {"enabled", false},
                              {"icon", "sub/docs.png"}})},
                       "Sample Title");
    for (const char* icon : {"/more.png", "/sub/docs.png"})
        root.writeFile(std::string(kDefaultBundlePath) + icon, "png");
    auto page = PSListController::init();
    SpecifierList rows = page->loadSpecifiersFromPlistName("Sample", page);

    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(page->title(), "Sample Title");
    EXPECT_EQ(rows[0]->cellType(), PSCellType::Group);
    EXPECT_EQ(rows[0]->stringPropertyForKey("footerText"), "FOOT");
    EXPECT_EQ(rows[0]->getter(), nullptr);  // holds no value

    EXPECT_EQ(rows[1]->name(), "ENABLED");
    EXPECT_EQ(rows[1]->key(), "enabled");
    EXPECT_EQ(*rows[1]->propertyForKey("default"), plist::Value(true));
    EXPECT_EQ(rows[1]->setter(), &PSListController::setPreferenceValue);
    EXPECT_EQ(rows[1]->getter(), &PSListController::readPreferenceValue);
    EXPECT_EQ(rows[1]->target().lock(), page);

    EXPECT_EQ(rows[2]->detailClassName(), "MorePage");
    EXPECT_EQ(rows[2]->identifier(), "more");
    EXPECT_EQ(rows[1]->identifier(), "ENABLED");  // no "id": the name
    EXPECT_EQ(rows[3]->actionName(), "lauchDoc:");
    EXPECT_FALSE(rows[3]->isEnabled());
    EXPECT_TRUE(rows[2]->isEnabled());
    EXPECT_NE(rows[2]->objectForKey("iconImage"), nullptr);
    EXPECT_EQ(rows[3]->objectForKey("iconImage"), nullptr) << "an icon is a file of the bundle folder";
}

TEST_F(SpecifierFileTest, ValidValuesAndTitlesBecomeTheTitleDictionaryOfAChoiceRow) {
    writeSpecifierFile("Choice", {item({{"cell", "PSLinkListCell"},
                                        {"label", "Style"},
                                        {"key", "style"},
                                        {"validValues", plist::Array{0, 1, "x", 1}},
                                        {"validTitles", plist::Array{"Off", "On", "Ex", "Uno"}}})});
    auto page = PSListController::init();
    SpecifierList rows = page->loadSpecifiersFromPlistName("Choice", page);

    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(rows[0]->titleDictionary());
    EXPECT_EQ(rows[0]->titleDictionary()->size(), 3u) << "a repeated value keeps its last title";
    EXPECT_EQ(rows[0]->titleForValue(1), "Uno");
    EXPECT_EQ(rows[0]->titleForValue(true), "Uno");  // Foundation equality: @YES == @1
    EXPECT_EQ(rows[0]->titleForValue("x"), "Ex");
    EXPECT_FALSE(rows[0]->titleForValue(2));
    EXPECT_EQ(rows[0]->values(), (plist::Array{0, 1, "x", 1}));
    EXPECT_EQ(rows[0]->detailClassName(), kChoicePageClassName);
}

TEST_F(SpecifierFileTest, MalformedItemsAreSkippedWithALogLineAndTheRestKept) {
    writeSpecifierFile(
        "Bad", {plist::Value("not a dictionary"), item({{"label", "no cell"}}),
                item({{"cell", "PSWobbleCell"}, {"label", "unknown cell"}}),
                item({{"cell", "PSSwitchCell"}, {"label", 7}}),
                item({{"cell", "PSSwitchCell"}, {"label", "x"}, {"enabled", "yes"}}),
                item({{"cell", "PSLinkListCell"},
                      {"label", "short"},
                      {"validValues", plist::Array{1, 2}},
                      {"validTitles", plist::Array{"a"}}}),
                item({{"cell", "PSLinkListCell"}, {"label", "alone"}, {"validValues", plist::Array{1}}}),
                item({{"cell", "PSSegmentCell"},
                      {"label", "titles"},
                      {"validValues", plist::Array{1}},
                      {"validTitles", plist::Array{2}}}),
                item({{"cell", "PSStaticTextCell"}, {"label", "Good"}})});
    log::Capture capture;
    auto page = PSListController::init();
    SpecifierList rows = page->loadSpecifiersFromPlistName("Bad", page);

    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->name(), "Good");
    EXPECT_EQ(capture.lines().size(), 8u);
    EXPECT_TRUE(capture.contains("item 0 skipped: not a dictionary"));
    EXPECT_TRUE(capture.contains("item 2 skipped: unknown cell PSWobbleCell"));
    EXPECT_TRUE(capture.contains("item 3 skipped: label is not a string"));
    EXPECT_TRUE(capture.contains("item 5 skipped: validValues and validTitles differ"));
}

TEST_F(SpecifierFileTest, MissingUnreadableOrShapelessFilesGiveNoRows) {
    auto page = PSListController::init();
    log::Capture capture;
    EXPECT_TRUE(page->loadSpecifiersFromPlistName("Missing", page).empty());
    const std::pair<std::string, std::string> files[] = {
        {"Garbage", "<plist><dict><key>"},
        {"Array", plist::writeXml(plist::Value(plist::Array{1, 2}))},
        {"NoItems", plist::writeXml(plist::Value(plist::Dictionary{{"items", "nope"}}))}};
    for (const auto& [name, contents] : files) {
        root.writeFile(std::string(kDefaultBundlePath) + "/" + name + ".plist", contents);
        EXPECT_TRUE(page->loadSpecifiersFromPlistName(name, page).empty()) << name;
    }
    EXPECT_GE(capture.lines().size(), 4u);
    EXPECT_TRUE(capture.contains("Array.plist: root is not a dictionary"));
}

}  // namespace
}  // namespace vx::test
