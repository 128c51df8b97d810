#pragma once
// A Settings application on a fresh device root that holds the bundle folder, with the test
// pages registered and the run loop and the screen started afresh.
#include <gtest/gtest.h>

#include "app/settings_application.h"
#include "app_test_pages.h"
#include "platform/foundation/run_loop.h"
#include "platform/ui/screen.h"
#include "support/temp_dir.h"

namespace vx::test {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().reset(1000);
        UIScreen::mainScreen().reset();
        root.makeFolder(SettingsApplication::kBundlePath);
        registerAppTestPages();
    }

    // Opens the test list page as the first page.
    void open() {
        auto opened = app.open("AppTestRoot");
        ASSERT_TRUE(opened.ok()) << opened.error();
    }

    ScopedDeviceRoot root;
    SettingsApplication app;
};

}  // namespace vx::test
