// A save re-reads the file under the lock but skips the parse when the bytes there are the
// ones this process wrote last. These tests hold that to its promise: the change always
// sees exactly what a parse of the file would give.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/preferences_store.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

using plist::Array;
using plist::Date;
using plist::Dictionary;
using plist::Value;

TEST(PlistXmlWriter, SaysWhenItsTextReadsBackAsExactlyTheSameValue) {
    const struct {
        const char* name;
        Value value;
        bool exact;
    } cases[] = {
        {"keys in order, every type",
         Dictionary{{"a", 1},
                    {"b", 2.5},
                    {"c", "x < y & \r\n"},
                    {"d", Date{86400}},
                    {"e", Array{true, -0.5}},
                    {"f", plist::Data{0, 255}},
                    {"g", HUGE_VAL}},
         true},
        {"keys out of order", Dictionary{{"b", 1}, {"a", 2}}, false},
        {"nested keys out of order", Array{Dictionary{{"z", 1}, {"y", 2}}}, false},
        {"a date with a fraction", Date{0.5}, false},
        {"a date of minus zero", Date{-0.0}, false},
        {"a date past year 9999", Date{1e12}, false},
        {"negative zero", -0.0, false},
        {"not a number", std::nan(""), false},
        {"text XML cannot carry", Dictionary{{"k", "a\x01"}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool exact = !c.exact;
        auto xml = plist::writeXmlChecked(c.value, &exact);
        EXPECT_EQ(exact, c.exact);
        if (!xml || !exact) continue;
        auto back = plist::parse(*xml);
        ASSERT_TRUE(back.ok()) << back.error();
        EXPECT_EQ(::testing::PrintToString(*back), ::testing::PrintToString(c.value));
    }
}

constexpr std::string_view kFile = "/var/mobile/Library/Preferences/test.domain.plist";

TEST(PreferencesStore, ASaveAfterOurOwnSeesExactlyWhatIsOnDisk) {
    test::ScopedDeviceRoot root;
    auto save = [](const PlistChange& change) {
        auto saved = updatePlistFile(kFile, WhenMissing::Create, change);
        ASSERT_TRUE(saved.ok()) << saved.error();
    };
    save([](Dictionary& prefs) {
        prefs.set("count", 1);
        return true;
    });
    // Another program rewrites the file to the same length with another value.
    std::string bytes = root.readFile(kFile);
    bytes.replace(bytes.find("<integer>1<"), 11, "<integer>7<");
    root.writeFile(kFile, bytes);
    save([](Dictionary& prefs) {
        EXPECT_EQ(prefs.find("count")->integer(), 7);
        prefs.set("when", Date{12.75});  // the file keeps whole seconds
        return true;
    });
    save([](Dictionary& prefs) {
        EXPECT_EQ(prefs.find("when")->date().sinceReferenceDate, 12.0);
        EXPECT_EQ(prefs.keys(), (std::vector<std::string>{"count", "when"}));
        prefs.set("another", true);  // out of order until the file is read again
        return true;
    });
    save([](Dictionary& prefs) {
        EXPECT_EQ(prefs.keys(), (std::vector<std::string>{"another", "count", "when"}));
        return false;
    });
    EXPECT_EQ(root.readFile(kFile),
              plist::writeXml(Dictionary{{"another", true}, {"count", 7}, {"when", Date{12}}}));
}

}  // namespace
}  // namespace vx
