// Building every row of a long theme list reads the preferences file once per load.
#include <algorithm>
#include <ctime>

#include "themes/lock_theme_view_controller.h"
#include "themes_fixture.h"

namespace vx {
namespace {

using test::themeRecord;

class RowsAtScaleTest : public test::ThemesFixture {
protected:
    // The cache judges "settled" by a clock ten seconds ahead, so files written by the
    // test count as old enough to keep.
    RowsAtScaleTest() {
        setPlistCacheClockForTesting([] {
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            now.tv_sec += 10;
            return now;
        });
    }
    ~RowsAtScaleTest() override { setPlistCacheClockForTesting(nullptr); }

    static std::string entryName(int i) {
        std::string digits = std::to_string(i);
        return "T" + std::string(4 - digits.size(), '0') + digits + ".theme";
    }
    static long checked(UITableView& table) { return std::ranges::count(checks(table), 'x'); }
};

TEST_F(RowsAtScaleTest, AThousandRowsParseTheFileOnceAndFollowEveryChange) {
    constexpr int kThemes = 1000;
    plist::Array every10th;
    for (int i = 0; i < kThemes; ++i) {
        addEntry("/Library/Themes", entryName(i));
        if (i % 10 == 0) {
            std::string name = entryName(i).substr(0, 5);
            every10th.push_back(themeRecord(name, "/Library/Themes/" + entryName(i), "Widget.html"));
        }
    }
    writePreferences({{"ThemesSelected", every10th}});
    clearPlistCache();

    auto page = LockThemeViewController::initForContentSize({320, 480});
    auto& table = *page->tblView();
    table.reloadData();
    ASSERT_EQ(table.numberOfRowsInSection(0), kThemes);
    EXPECT_EQ(checked(table), kThemes / 10);
    EXPECT_EQ(plistCacheParseCount(), 1u);  // the scan's read; every row reused it
    table.reloadData();
    EXPECT_EQ(plistCacheParseCount(), 1u);

    writePreferences({{"ThemesSelected", plist::Array{every10th.back()}}});
    table.reloadData();
    EXPECT_EQ(checked(table), 1);
    EXPECT_EQ(plistCacheParseCount(), 2u);

    // Just saved, the file is too fresh for the cache to keep: still one parse per load.
    setPlistCacheClockForTesting(nullptr);
    writePreferences({{"ThemesSelected", plist::Array{every10th[0], every10th[1]}}});
    table.reloadData();
    EXPECT_EQ(checked(table), 2);
    EXPECT_EQ(plistCacheParseCount(), 3u);
}

}  // namespace
}  // namespace vx
