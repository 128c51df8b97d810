#include "platform/services/class_registry.h"

#include <gtest/gtest.h>

#include "platform/foundation/log.h"
#include "platform/ui/view_controller.h"

namespace vx {
namespace {

struct ThemeListPage : UIViewController {
    std::string className() const override { return "LockThemeViewController"; }
};

class ClassRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ClassRegistry::shared().reset(); }
    void TearDown() override { ClassRegistry::shared().reset(); }
};

TEST_F(ClassRegistryTest, RegisteredClassesAreFoundAndMadeByNameAndCanBeReplaced) {
    auto& registry = ClassRegistry::shared();
    EXPECT_TRUE(registry.registerClass<ThemeListPage>("LockThemeViewController"));
    auto cls = objc_getClass("LockThemeViewController");
    ASSERT_TRUE(cls.has_value());
    EXPECT_EQ(cls->name(), "LockThemeViewController");
    auto first = cls->instantiateAs<UIViewController>();
    auto second = registry.instantiateAs<UIViewController>("LockThemeViewController");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);  // a new instance each time
    EXPECT_EQ(first->className(), "LockThemeViewController");
    // The wrong type gives nothing rather than a bad cast.
    EXPECT_EQ(cls->instantiateAs<UIView>(), nullptr);
    // Registering a name again replaces its factory.
    registry.registerClass("LockThemeViewController", [] {
        return std::static_pointer_cast<Object>(std::make_shared<UIViewController>());
    });
    EXPECT_EQ(registry.instantiate("LockThemeViewController")->className(), "UIViewController");
    EXPECT_EQ(registry.classNames(), (std::vector<std::string>{"LockThemeViewController"}));
}

TEST_F(ClassRegistryTest, UnknownNamesGiveNothing) {
    auto& registry = ClassRegistry::shared();
    EXPECT_FALSE(objc_getClass("WeatherPreferences").has_value());
    EXPECT_EQ(registry.instantiate("WeatherPreferences"), nullptr);
    EXPECT_FALSE(registry.hasClass(""));

    log::Capture capture;
    EXPECT_FALSE(registry.registerClass("", [] { return std::make_shared<Object>(); }));
    EXPECT_FALSE(registry.registerClass("NoFactory", nullptr));
    EXPECT_FALSE(registry.hasClass("NoFactory"));

    registry.registerClass("Temporary", [] { return std::make_shared<Object>(); });
    registry.unregisterClass("Temporary");
    EXPECT_EQ(registry.instantiate("Temporary"), nullptr);
    EXPECT_TRUE(registry.classNames().empty());
}

}  // namespace
}  // namespace vx
