// The generic row read and write over the preferences file, and the row's notification.
#include "settings/preferences_file.h"

#include <gtest/gtest.h>

#include "platform/darwin/darwin_notify.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

constexpr std::string_view kUserPath = "/User/Library/Preferences/com.corvane.veltrix.plist";

plist::Dictionary row(std::string key, std::optional<plist::Value> fallback = std::nullopt,
                      std::optional<std::string> notification = std::nullopt) {
    plist::Dictionary properties{{"key", std::move(key)}};
    if (fallback) properties.set("default", *fallback);
    if (notification) properties.set("PostNotification", *notification);
    return properties;
}

class PreferencesFileTest : public ::testing::Test {
protected:
    PreferencesFileTest() { darwin::setRendezvousFolder(notifyDir_.path() / "notify"); }
    ~PreferencesFileTest() override { darwin::setRendezvousFolder(std::nullopt); }

    test::ScopedDeviceRoot root_;
    test::TempDir notifyDir_;
};

TEST_F(PreferencesFileTest, RowsReadTheirValueOrDefaultAndAWriteKeepsEveryOtherKey) {
    EXPECT_EQ(readPreferenceValue(row("enabled", true)), plist::Value(true));
    EXPECT_EQ(readPreferenceValue(row("enabled")), std::nullopt);
    EXPECT_EQ(readPreferenceValue(plist::Dictionary{{"default", 3}}), plist::Value(3));
    ASSERT_TRUE(setPreferenceValue(false, row("enabled", true)).ok());  // makes the file
    // A stored false is shown as false, whatever the default.
    EXPECT_EQ(readPreferenceValue(row("enabled", true)), plist::Value(false));

    const plist::Value coordinates(plist::Dictionary{{"Clock", plist::Dictionary{{"widgetX", 10}}}});
    root_.writeFile(kPreferencesPath, plist::writeXml(plist::Dictionary{
                                          {"WidgetCoordinates", coordinates}, {"lockNote", "hello"}}));
    ASSERT_TRUE(setPreferenceValue("bye", row("lockNote")).ok());
    EXPECT_EQ(readPreferences(),
              (plist::Dictionary{{"WidgetCoordinates", coordinates}, {"lockNote", "bye"}}));
    EXPECT_EQ(readPlistDictionary(kUserPath), readPreferences());  // both paths name one file
}

TEST_F(PreferencesFileTest, ARowPostsItsNotificationOncePerWriteAndOnlyAfterASuccessfulWrite) {
    auto listener = darwin::Listener::create({"com.corvane.veltrix/note"});
    ASSERT_TRUE(listener.ok()) << listener.error();
    const plist::Dictionary noted = row("lockNote", std::nullopt, "com.corvane.veltrix/note");

    ASSERT_TRUE(setPreferenceValue(true, row("quiet")).ok());
    EXPECT_TRUE((*listener)->takePending().empty());
    ASSERT_TRUE(setPreferenceValue("a", noted).ok());
    ASSERT_TRUE(setPreferenceValue("b", noted).ok());
    EXPECT_EQ((*listener)->takePending(),
              (std::vector<std::string>{"com.corvane.veltrix/note", "com.corvane.veltrix/note"}));

    // A row without a string key cannot be saved (the device would throw here): no record,
    // no notification.
    log::Capture capture;
    for (const plist::Dictionary& keyless :
         {plist::Dictionary{{"PostNotification", "com.corvane.veltrix/note"}},
          plist::Dictionary{{"key", 5}, {"PostNotification", "com.corvane.veltrix/note"}}})
        EXPECT_FALSE(setPreferenceValue(1, keyless).ok());
    EXPECT_EQ(readPreferences(), (plist::Dictionary{{"quiet", true}, {"lockNote", "b"}}));
    EXPECT_TRUE((*listener)->takePending().empty());

    // The file cannot be replaced (a folder stands in its way): the reason comes back, and
    // nobody is told about a change that is not on disk.
    test::ScopedDeviceRoot blocked;
    blocked.makeFolder(kPreferencesPath);
    EXPECT_FALSE(setPreferenceValue("c", noted).ok());
    EXPECT_TRUE(capture.contains("not a regular file"));
    EXPECT_TRUE((*listener)->takePending().empty());
}

}  // namespace
}  // namespace vx
