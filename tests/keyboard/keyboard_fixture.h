#pragma once
// Shared set-up of the keyboard tests: a fresh run loop clock, notification centre,
// animation record and screen, and a window for views that take the focus.
#include <gtest/gtest.h>

#include <memory>

#include "keyboard/scroll_view_vx_additions.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/run_loop.h"
#include "platform/ui/animation.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/screen.h"
#include "platform/ui/text_field.h"
#include "platform/ui/text_view.h"
#include "platform/ui/window.h"

namespace vx::testing {

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().reset(1000);
        NotificationCenter::defaultCenter().reset();
        AnimationRecorder::shared().clear();
        UIScreen::mainScreen().reset();
        window = std::make_shared<UIWindow>();
    }
    void TearDown() override { RunLoop::main().reset(1000); }

    static std::shared_ptr<UITextField> fieldAt(double x, double y, double width = 100,
                                                double height = 30) {
        return UITextField::initWithFrame(CGRectMake(x, y, width, height));
    }
    static std::shared_ptr<UIView> viewAt(double x, double y, double width, double height) {
        return UIView::initWithFrame(CGRectMake(x, y, width, height));
    }

    std::shared_ptr<UIWindow> window;
};

}  // namespace vx::testing
