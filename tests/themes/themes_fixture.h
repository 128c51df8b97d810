#pragma once
// A device root with theme folders and a preferences file, for the theme pages' tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_value.h"
#include "platform/foundation/preferences_store.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/application.h"
#include "platform/ui/table_view.h"
#include "settings/preferences_file.h"
#include "support/temp_dir.h"

namespace vx::test {

inline plist::Dictionary themeRecord(std::string name, std::string path, std::string html) {
    return plist::Dictionary{
        {"name", std::move(name)}, {"path", std::move(path)}, {"html", std::move(html)}};
}
// Two records named "Clock" and one named "Moon".
inline plist::Dictionary clock() {
    return themeRecord("Clock", "/var/mobile/Library/Veltrix/Clock.theme", "Widget.html");
}
inline plist::Dictionary otherClock() {
    return themeRecord("Clock", "/Library/Themes/Clock.veltrix", "LockBackground.html");
}
inline plist::Dictionary moon() {
    return themeRecord("Moon", "/Library/Themes/Moon.theme", "Widget.html");
}

class ThemesFixture : public ::testing::Test {
protected:
    ThemesFixture() { reset(); }
    ~ThemesFixture() override { reset(); }
    static void reset() {
        UIApplication::sharedApplication().reset();
        clearPlistCache();
    }

    // A theme folder entry holding one file (an HTML page by default).
    void addEntry(std::string_view folder, std::string_view entry,
                  std::string_view file = "Widget.html") const {
        root_.writeFile(std::string(folder) + "/" + std::string(entry) + "/" + std::string(file),
                        "<html></html>");
    }
    void writePreferences(const plist::Dictionary& preferences) const {
        root_.writeFile(kPreferencesPath, plist::writeXml(plist::Value(preferences)));
    }
    // The file as it is now (empty when there is none).
    plist::Dictionary preferences() const {
        auto read = readPreferences();
        return read ? *read : plist::Dictionary();
    }

    static std::shared_ptr<UIAlertView> frontAlert() {
        return UIApplication::sharedApplication().frontAlert();
    }

    // The labels of a table's rows in one section, as built now.
    static std::vector<std::string> labels(UITableView& table, int section = 0) {
        table.reloadData();
        std::vector<std::string> out(static_cast<std::size_t>(table.numberOfRowsInSection(section)));
        for (std::size_t row = 0; row < out.size(); ++row)
            out[row] =
                table.cellForRowAtIndexPath({section, static_cast<int>(row)})->textLabel()->text();
        return out;
    }

    // One character per row of section 0: "x" for a row with a check mark, "-" otherwise.
    static std::string checks(UITableView& table) {
        std::string marks;
        for (int row = 0; row < table.numberOfRowsInSection(0); ++row)
            marks += table.cellForRowAtIndexPath({0, row})->accessoryType() ==
                             UITableViewCellAccessoryType::Checkmark
                         ? 'x'
                         : '-';
        return marks;
    }

    ScopedDeviceRoot root_;
};

}  // namespace vx::test
