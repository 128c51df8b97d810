// From the theme list into a theme's settings editor: which script is chosen, when the
// editor opens, and its "Done".
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "platform/ui/navigation_controller.h"
#include "themes/lock_theme_view_controller.h"

namespace vx {
namespace {

using test::kTheme;
using test::optionsEntry;

class ThemeEntryTest : public test::EditorFixture {
protected:
    // Opens the theme's settings from the list; the editor, or nullptr when none opened.
    std::shared_ptr<LockThemeSettingsController> present(std::string_view theme = kTheme) {
        list_ = LockThemeViewController::init();
        list_->presentOptionsMenuForTheme(theme);
        auto container = std::dynamic_pointer_cast<UINavigationController>(
            list_->presentedViewController());
        if (!container) return nullptr;
        EXPECT_EQ(container, list_->navCtrl());
        auto editor = std::dynamic_pointer_cast<LockThemeSettingsController>(
            container->topViewController());
        EXPECT_EQ(editor, list_->controller());
        return editor;
    }
    std::shared_ptr<LockThemeViewController> list_;
};

// (Which script is a theme's settings script is followed by the theme discovery tests.)
TEST_F(ThemeEntryTest, TheEditorGetsTheChosenScriptOrNoneAndNothingOpensWithoutEither) {
    writeScript("main.js", "");
    writeScript("config.js", "var a = 1;");
    auto editor = present();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->fileName(), "config.js");
    EXPECT_EQ(editor->filePath(), kTheme);
    EXPECT_FALSE(present("/no/such/theme"));
    EXPECT_FALSE(list_->controller());
    // An options file without a script opens the editor without a name, asking nothing.
    writeOptions({optionsEntry("color", "Colour", "edit", "red")}, "/Library/Themes/Two.theme");
    UIApplication::sharedApplication().reset();
    editor = present("/Library/Themes/Two.theme");
    ASSERT_TRUE(editor);
    EXPECT_FALSE(editor->fileName());
    EXPECT_FALSE(frontAlert());
    EXPECT_EQ(editor->masterDict()->size(), 1u);
}

TEST_F(ThemeEntryTest, DoneStoresTheLinesAndClosesTheEditor) {
    writeOptions({optionsEntry("color", "Colour", "edit", "red")});
    auto editor = present();
    ASSERT_TRUE(editor);
    auto done = editor->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->title(), "Done");
    EXPECT_EQ(done->style(), UIBarButtonItemStyle::Done);
    EXPECT_EQ(done->action().targetIdentity(), static_cast<const void*>(list_.get()));
    EXPECT_TRUE(editor->navigationItem()->lastRightItemChangeAnimated());
    EXPECT_TRUE(list_->lastPresentationAnimated());

    fieldOf(*cell(*editor, 0))->userReplaceText("blue");
    ASSERT_FALSE(exists(kPreferencesPath));
    ASSERT_TRUE(done->userTap());
    EXPECT_FALSE(list_->presentedViewController());
    auto preferences = plist::dictionaryWithContentsOfFile(kPreferencesPath);
    ASSERT_TRUE(preferences);
    EXPECT_EQ(*plist::lookup(*preferences->find("ThemeOptions"), kTheme),
              plist::Value(plist::Array{"var color = \"blue\" ;"}));

    // A new opening starts from what the user stored.
    EXPECT_EQ(fieldOf(*cell(*present(), 0))->text(), "blue");
}

}  // namespace
}  // namespace vx
