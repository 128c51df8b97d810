#include <gtest/gtest.h>

#include <cmath>

#include "platform/ui/appearance.h"
#include "platform/ui/bar_button_item.h"
#include "platform/ui/slider.h"
#include "platform/ui/switch.h"
#include "platform/ui/table_view.h"
#include "platform/ui/text_field.h"
#include "platform/ui/view_controller.h"

namespace vx {
namespace {

struct Page : UIViewController {
    std::string name = "TestPage";
    std::vector<std::string> calls;
    std::string className() const override { return name; }
    void saveTextEdit(UITextField& field) { calls.push_back("edit:" + field.text()); }
    void saveSwitchFlip(UISwitch& control) { calls.push_back(control.isOn() ? "on" : "off"); }
    void saveSlide(UISlider& control) { calls.push_back("slide:" + std::to_string(control.value())); }
    void doneButtonTapped() { calls.push_back("done"); }
};

TEST(TargetAction, ActionsReachLiveTargetsOnlyForTheirEventsAndBarButtonsToo) {
    auto page = std::make_shared<Page>();
    auto field = UITextField::initWithFrame(CGRectMake(10, 10, 280, 25));
    field->addTarget(page, &Page::saveTextEdit, "saveTextEdit:", UIControlEvents::EditingChanged);
    field->addTarget(page, &Page::doneButtonTapped, "doneButtonTapped:", UIControlEvents::EditingDidEnd);
    field->setText("set in code");  // programmatic: no action
    EXPECT_TRUE(field->userInsertText("1"));
    EXPECT_TRUE(field->userInsertText("2"));
    EXPECT_TRUE(field->userDeleteBackward());
    EXPECT_EQ(page->calls, (std::vector<std::string>{"edit:set in code1", "edit:set in code12",
                                                     "edit:set in code1"}));
    EXPECT_EQ(field->actionsForTarget(page.get(), UIControlEvents::EditingChanged),
              (std::vector<std::string>{"saveTextEdit:"}));
    EXPECT_TRUE(field->actionsForTarget(page.get(), UIControlEvents::ValueChanged).empty());

    auto toggle = UISwitch::initWithFrame(CGRectMake(10, 10, 280, 25));
    EXPECT_EQ(toggle->frame().size, UISwitch::kSize);
    toggle->addTarget(page, &Page::saveSwitchFlip, "saveSwitchFlip:", UIControlEvents::ValueChanged);
    toggle->setOn(true);  // no action
    toggle->userToggle();
    EXPECT_EQ(page->calls.back(), "off");

    auto done = UIBarButtonItem::initWithTitle("Done", UIBarButtonItemStyle::Done, page,
                                               &Page::doneButtonTapped, "doneButtonTapped:");
    EXPECT_TRUE(done->userTap());
    EXPECT_EQ(page->calls.back(), "done");

    // Targets are held weakly: once the page is gone nothing is called, nothing crashes.
    std::weak_ptr<Page> weak = page;
    page.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(field->userInsertText("3"));
    toggle->userToggle();
    EXPECT_TRUE(toggle->isOn());
    EXPECT_FALSE(done->userTap());
    toggle->setEnabled(false);
    toggle->userToggle();
    EXPECT_TRUE(toggle->isOn());
}

TEST(Slider, ValuesStayInRangeAndOnlyADragThatMovesTheThumbSendsAnAction) {
    auto page = std::make_shared<Page>();
    auto slider = UISlider::initWithFrame(CGRectMake(0, 0, 180, 31));
    slider->addTarget(page, &Page::saveSlide, "setSliderValue:", UIControlEvents::ValueChanged);
    slider->setMaximumValue(20);
    slider->setMinimumValue(1);  // drags the value up into range
    EXPECT_EQ(slider->value(), 1);
    slider->setValue(50);  // code: clamped, no action
    EXPECT_EQ(slider->value(), 20);
    struct Drag {
        double to;
        double expected;
        bool sends;
    };
    const Drag drags[] = {{7.5, 7.5, true}, {7.5, 7.5, false}, {-3, 1, true},
                          {0, 1, false},    {99, 20, true},    {std::nan(""), 20, false}};
    for (const Drag& drag : drags) {
        const std::size_t before = page->calls.size();
        slider->userSlide(drag.to);
        EXPECT_EQ(slider->value(), drag.expected) << drag.to;
        EXPECT_EQ(page->calls.size(), before + (drag.sends ? 1 : 0)) << drag.to;
    }
    slider->setMaximumValue(0);  // below the minimum: the minimum follows
    EXPECT_EQ(slider->minimumValue(), 0);
    EXPECT_EQ(slider->value(), 0);
    slider->setMinimumValue(5);  // above the maximum: the maximum follows
    EXPECT_EQ(slider->maximumValue(), 5);
    slider->setMaximumValue(10);
    slider->setEnabled(false);
    slider->userSlide(8);  // disabled: no change, no action
    EXPECT_EQ(slider->value(), 5);
    EXPECT_EQ(page->calls.size(), 3u);
}

class SwitchAppearanceTest : public ::testing::Test {
protected:
    void SetUp() override { UIAppearance::shared().reset(); }
    void TearDown() override { UIAppearance::shared().reset(); }
};

TEST_F(SwitchAppearanceTest, ProxiesApplyOnlyInsideTheirPageClass) {
    UISwitch::appearanceWhenContainedIn("TintedPage").setOnTintColor(UIColor::greenColor());
    UISwitch::appearanceWhenContainedIn("TintedPage").setTintColor(UIColor::blueColor());

    auto tinted = std::make_shared<Page>();
    tinted->name = "TintedPage";
    auto other = std::make_shared<Page>();
    other->name = "OtherPage";

    auto makeSwitchIn = [](const std::shared_ptr<Page>& page) {
        auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
        page->setView(table);
        auto cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, "FunctionCell");
        table->addSubview(cell);
        auto control = UISwitch::initWithFrame(CGRectZero);
        cell->setAccessoryView(control);
        return control;
    };
    auto inside = makeSwitchIn(tinted);
    auto outside = makeSwitchIn(other);
    EXPECT_EQ(inside->effectiveOnTintColor(), UIColor::greenColor());
    EXPECT_EQ(inside->effectiveTintColor(), UIColor::blueColor());
    EXPECT_EQ(outside->effectiveOnTintColor(), std::nullopt);
    EXPECT_EQ(UISwitch::initWithFrame(CGRectZero)->effectiveOnTintColor(), std::nullopt);

    // The switch's own colour wins; the unscoped proxy is the last resort.
    inside->setOnTintColor(UIColor::redColor());
    EXPECT_EQ(inside->effectiveOnTintColor(), UIColor::redColor());
    UISwitch::appearance().setOnTintColor(UIColor::whiteColor());
    EXPECT_EQ(outside->effectiveOnTintColor(), UIColor::whiteColor());
}

}  // namespace
}  // namespace vx
