#pragma once
// A device root with theme folders, and the process-wide state the editor touches (alert
// queue, preferences cache, run loop) reset around each test.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/preferences_store.h"
#include "platform/foundation/run_loop.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/application.h"
#include "platform/ui/screen.h"
#include "support/temp_dir.h"
#include "theme_editor/lock_theme_settings_controller.h"

namespace vx::test {

inline constexpr std::string_view kTheme = "/var/mobile/Library/Veltrix/Clock.veltrix";

inline plist::Value optionsEntry(std::string name, std::string label, std::string type,
                                 std::string value) {
    return plist::Value(plist::Dictionary{{"name", std::move(name)},
                                          {"label", std::move(label)},
                                          {"type", std::move(type)},
                                          {"default", std::move(value)}});
}

inline plist::Value selectOptionsEntry(std::string value, plist::Dictionary options) {
    plist::Value entry = optionsEntry("size", "Size", "select", std::move(value));
    entry.dictionary().set("options", plist::Value(std::move(options)));
    return entry;
}

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() { resetState(); }
    ~EditorFixture() override { resetState(); }

    static void resetState() {
        UIApplication::sharedApplication().reset();
        UIScreen::mainScreen().reset();
        RunLoop::main().reset(1'700'000'000.0);
        clearPlistCache();
    }

    // Writes the entries as a shipped theme would, keys in the order given (our own writer
    // sorts them). Strings, integers and nested dictionaries only.
    void writeOptions(const plist::Array& entries, std::string_view theme = kTheme) const {
        std::string xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>\n";
        for (const plist::Value& entry : entries) xml += xmlOf(entry);
        root.writeFile(std::string(theme) + "/Options.plist", xml + "</array>\n</plist>\n");
    }
    static std::string xmlOf(const plist::Value& value) {
        if (const plist::Dictionary* dictionary = value.asDictionary()) {
            std::string xml = "<dict>";
            for (const auto& [key, member] : *dictionary)
                xml += "<key>" + key + "</key>" + xmlOf(member);
            return xml + "</dict>\n";
        }
        if (value.isInteger()) return "<integer>" + std::to_string(value.integer()) + "</integer>";
        return "<string>" + (value.isString() ? value.string() : std::string()) + "</string>";
    }
    void writeScript(std::string_view name, std::string_view text,
                     std::string_view theme = kTheme) const {
        root.writeFile(std::string(theme) + "/" + std::string(name), text);
    }
    bool exists(std::string_view devicePath) const {
        return std::filesystem::exists(root.host(devicePath));
    }
    std::string themeFile(std::string_view name, std::string_view theme = kTheme) const {
        return std::string(theme) + "/" + std::string(name);
    }

    std::shared_ptr<LockThemeSettingsController> open(std::optional<std::string> script = "config.js",
                                                      std::string_view theme = kTheme) const {
        auto editor = LockThemeSettingsController::initForContentSize({320, 480}, theme,
                                                                      std::move(script));
        EXPECT_TRUE(editor);
        return editor;
    }
    static std::shared_ptr<UIAlertView> frontAlert() {
        return UIApplication::sharedApplication().frontAlert();
    }

    // The cell of a row as the table builds it now.
    static std::shared_ptr<UITableViewCell> cell(LockThemeSettingsController& editor, int row,
                                                 int section = 0) {
        const auto& table = editor.brandNewTableView();
        table->reloadData();
        return table->cellForRowAtIndexPath({section, row});
    }
    static std::shared_ptr<UITextField> fieldOf(const UITableViewCell& cell) {
        for (const auto& view : cell.contentView()->subviews())
            if (auto field = std::dynamic_pointer_cast<UITextField>(view)) return field;
        return nullptr;
    }
    static std::shared_ptr<UISwitch> switchOf(const UITableViewCell& cell) {
        return std::dynamic_pointer_cast<UISwitch>(cell.accessoryView());
    }
    static std::string defaultAt(const LockThemeSettingsController& editor, std::size_t row) {
        return entryText(editor.masterDict()->at(row), "default");
    }

    ScopedDeviceRoot root;
};

}  // namespace vx::test
