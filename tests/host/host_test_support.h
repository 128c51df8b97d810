#pragma once
// Shared set-up for the host tests: a fresh device root with the settings bundle folder, a
// clean class registry holding the host's classes, and specifier files written from values.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/host_classes.h"
#include "host/ps_list_controller.h"
#include "platform/foundation/plist_codec.h"
#include "platform/services/class_registry.h"
#include "platform/ui/navigation_controller.h"
#include "support/temp_dir.h"

namespace vx::test {

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClassRegistry::shared().reset();
        registerHostClasses();
    }
    void TearDown() override { ClassRegistry::shared().reset(); }

    // Writes "<bundle>/<name>.plist" with the given items (and title).
    void writeSpecifierFile(const std::string& name, plist::Array items, std::string title = {}) const {
        plist::Dictionary file{{"items", std::move(items)}};
        if (!title.empty()) file.set("title", title);
        root.writeFile(std::string(kDefaultBundlePath) + "/" + name + ".plist",
                       plist::writeXml(plist::Value(std::move(file))));
    }

    // A page shown in a navigation container, its table loaded.
    template <class Page>
    std::shared_ptr<Page> show(std::shared_ptr<Page> page) {
        navigation = UINavigationController::initWithRootViewController(page);
        navigation->view();  // shows the top page, loading its view
        page->reloadSpecifiers();
        return page;
    }

    ScopedDeviceRoot root;
    std::shared_ptr<UINavigationController> navigation;
};

inline plist::Dictionary item(std::initializer_list<plist::Dictionary::Entry> entries) {
    return plist::Dictionary(entries);
}

}  // namespace vx::test
