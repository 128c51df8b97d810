#include "platform/foundation/bundle.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/foundation/log.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

constexpr std::string_view kBundle = "/Library/PreferenceBundles/VeltrixSettings.bundle";

class BundleTest : public ::testing::Test {
protected:
    BundleTest() {
        root.writeFile(std::string(kBundle) + "/en.lproj/Localizable.strings",
                       "\"Enabled\" = \"Enabled!\";\n\"Only English\" = \"English text\";");
        root.writeFile(std::string(kBundle) + "/de.lproj/Localizable.strings",
                       "\"Enabled\" = \"Aktiviert\";");
        root.writeFile(std::string(kBundle) + "/de.lproj/Other.strings", "\"Enabled\" = \"An\";");
        root.writeFile(std::string(kBundle) + "/Root.plist", "<plist/>");
        root.writeFile(std::string(kBundle) + "/en.lproj/Help.html", "help");
    }
    ~BundleTest() override { Bundle::setPreferredLanguage("en"); }

    test::ScopedDeviceRoot root;
};

TEST_F(BundleTest, TranslatesInThePreferredLanguageThenEnglishThenFallsBack) {
    Bundle bundle{std::string(kBundle)};
    EXPECT_EQ(bundle.bundlePath(), kBundle);
    EXPECT_EQ(bundle.localizedStringForKey("Enabled", "Enabled"), "Enabled!");
    Bundle::setPreferredLanguage("de");
    EXPECT_EQ(bundle.localizedStringForKey("Enabled", "Enabled"), "Aktiviert");
    EXPECT_EQ(bundle.localizedStringForKey("Enabled", "", "Other"), "An");
    EXPECT_EQ(bundle.localizedStringForKey("Only English", "Only English"), "English text");
    EXPECT_EQ(bundle.localizedStringForKey("Missing", "Fallback"), "Fallback");
    EXPECT_EQ(bundle.localizedStringForKey("Missing", ""), "Missing");
    EXPECT_EQ(bundle.localizedStringForKey("Enabled", "Enabled", "NoSuchTable"), "Enabled");
}

// A bundle reads a table once; a new bundle reads it again, and a broken one has nothing.
TEST_F(BundleTest, TablesAreReadOncePerBundleAndMissingOrBrokenOnesHaveNoTranslations) {
    Bundle bundle{std::string(kBundle)};
    EXPECT_EQ(bundle.localizedStringForKey("Enabled", "Enabled"), "Enabled!");
    root.writeFile(std::string(kBundle) + "/en.lproj/Localizable.strings", "\"Enabled\" = \"New\";");
    EXPECT_EQ(bundle.localizedStringForKey("Enabled", "Enabled"), "Enabled!");
    EXPECT_EQ(Bundle(std::string(kBundle)).localizedStringForKey("Enabled", "Enabled"), "New");
    Bundle missing("/Library/PreferenceBundles/Nothing.bundle");
    EXPECT_EQ(missing.localizedStringForKey("Enabled", "Enabled"), "Enabled");
    root.writeFile(std::string(kBundle) + "/en.lproj/Localizable.strings", "\"Enabled\" = ");
    log::Capture capture;
    EXPECT_EQ(Bundle(std::string(kBundle)).localizedStringForKey("Enabled", "Enabled"), "Enabled");
    EXPECT_TRUE(capture.contains("en.lproj/Localizable.strings: line 1"));
}

TEST_F(BundleTest, FindsResources) {
    Bundle bundle{std::string(kBundle)};
    EXPECT_EQ(bundle.pathForResource("Root", "plist"), std::string(kBundle) + "/Root.plist");
    EXPECT_EQ(bundle.pathForResource("Root.plist", ""), std::string(kBundle) + "/Root.plist");
    EXPECT_EQ(bundle.pathForResource("Help", "html"), std::string(kBundle) + "/en.lproj/Help.html");
    EXPECT_FALSE(bundle.pathForResource("Nothing", "plist"));
    EXPECT_FALSE(bundle.pathForResource("", "plist"));
    EXPECT_TRUE(Bundle::bundleWithPath(kBundle));
    EXPECT_FALSE(Bundle::bundleWithPath("/Library/PreferenceBundles/Nothing.bundle"));
}

}  // namespace
}  // namespace vx
