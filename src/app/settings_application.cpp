#include "app/settings_application.h"

#include <unicode/ubrk.h>
#include <unicode/utext.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "host/ps_list_controller.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/run_loop.h"
#include "platform/services/class_registry.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/application.h"
#include "platform/ui/bar_button_item.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/label.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/navigation_item.h"
#include "platform/ui/screen.h"
#include "platform/ui/slider.h"
#include "platform/ui/switch.h"
#include "platform/ui/table_view.h"
#include "platform/ui/table_view_cell.h"
#include "platform/ui/text_field.h"
#include "platform/ui/text_view.h"
#include "platform/ui/view_controller.h"
#include "platform/ui/window.h"

namespace vx {
namespace {

// Presentation chains are short; the bound only guards against a cycle.
constexpr int kMaxPresentationDepth = 64;

std::string quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The characters a person types one by one: grapheme clusters ("é" as e + combining accent
// is one keystroke), by ICU's character break rules. Falls back to code points.
std::vector<std::string> typedCharacters(std::string_view text) {
    std::vector<std::string> characters;
    UErrorCode status = U_ZERO_ERROR;
    UText* source = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
    UBreakIterator* breaks = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
    if (U_SUCCESS(status)) {
        ubrk_setUText(breaks, source, &status);
    }
    if (U_SUCCESS(status)) {
        for (int32_t start = ubrk_first(breaks), end = ubrk_next(breaks); end != UBRK_DONE;
             start = end, end = ubrk_next(breaks)) {
            characters.emplace_back(
                text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
        }
    }
    ubrk_close(breaks);
    utext_close(source);
    if (U_FAILURE(status)) {
        characters.clear();
        for (std::size_t i = 0; i < text.size();) {
            std::size_t length = 1;
            while (i + length < text.size() &&
                   (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) {
                ++length;
            }
            characters.emplace_back(text.substr(i, length));
            i += length;
        }
    }
    return characters;
}

bool isTextInput(const UIView* view) {
    return dynamic_cast<const UITextField*>(view) != nullptr ||
           dynamic_cast<const UITextView*>(view) != nullptr;
}

std::shared_ptr<UITableView> findTable(const std::shared_ptr<UIView>& view) {
    if (!view || view->isHidden()) {
        return nullptr;
    }
    if (auto table = std::dynamic_pointer_cast<UITableView>(view)) {
        return table;
    }
    for (const auto& subview : view->subviews()) {
        if (auto table = findTable(subview)) {
            return table;
        }
    }
    return nullptr;
}

// The first visible switch, slider or text field at or beneath `view`, depth first.
std::shared_ptr<UIView> findControl(const std::shared_ptr<UIView>& view) {
    if (!view || view->isHidden()) {
        return nullptr;
    }
    if (std::dynamic_pointer_cast<UISwitch>(view) || std::dynamic_pointer_cast<UISlider>(view) ||
        std::dynamic_pointer_cast<UITextField>(view)) {
        return view;
    }
    for (const auto& subview : view->subviews()) {
        if (auto control = findControl(subview)) {
            return control;
        }
    }
    return nullptr;
}

// A row's control: in the cell's accessory view, else among its content view's subviews.
std::shared_ptr<UIView> controlOfCell(const UITableViewCell& cell) {
    if (auto control = findControl(cell.accessoryView())) {
        return control;
    }
    return findControl(cell.contentView());
}

void collectLabels(const std::shared_ptr<UIView>& view, const UIView& header,
                   std::vector<std::pair<double, std::string>>& labels) {
    if (!view || view->isHidden()) {
        return;
    }
    if (auto label = std::dynamic_pointer_cast<UILabel>(view); label && !label->text().empty()) {
        labels.emplace_back(label->convertRectToView(label->bounds(), &header).origin.y, label->text());
    }
    for (const auto& subview : view->subviews()) {
        collectLabels(subview, header, labels);
    }
}

std::vector<std::string> headerTexts(const std::shared_ptr<UIView>& header) {
    std::vector<std::pair<double, std::string>> labels;
    if (header) {
        collectLabels(header, *header, labels);
    }
    std::stable_sort(labels.begin(), labels.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> texts;
    texts.reserve(labels.size());
    for (auto& [y, text] : labels) {
        texts.push_back(std::move(text));
    }
    return texts;
}

RowAccessory accessoryOf(const UITableViewCell& cell) {
    if (cell.accessoryView()) {
        return RowAccessory::None;
    }
    switch (cell.accessoryType()) {
        case UITableViewCellAccessoryType::Checkmark: return RowAccessory::Checkmark;
        case UITableViewCellAccessoryType::DisclosureIndicator:
        case UITableViewCellAccessoryType::DetailDisclosureButton: return RowAccessory::Disclosure;
        default: return RowAccessory::None;
    }
}

ScreenRow rowOf(const UITableView& table, const UITableViewCell& cell) {
    ScreenRow row;
    row.label = cell.textLabel() ? cell.textLabel()->text() : std::string();
    row.detail = cell.detailTextLabel() ? cell.detailTextLabel()->text() : std::string();
    row.accessory = accessoryOf(cell);
    auto control = controlOfCell(cell);
    if (auto toggle = std::dynamic_pointer_cast<UISwitch>(control)) {
        row.control = SwitchControl{toggle->isOn()};
    } else if (auto field = std::dynamic_pointer_cast<UITextField>(control)) {
        row.control = TextControl{field->text()};
    } else if (auto slider = std::dynamic_pointer_cast<UISlider>(control)) {
        row.control = SliderControl{slider->value(), slider->minimumValue(), slider->maximumValue()};
    }
    row.selectable = table.allowsSelection() &&
                     cell.selectionStyle() != UITableViewCellSelectionStyle::None;
    row.movable = table.isEditing() && cell.showsReorderControl();
    return row;
}

std::vector<ScreenSection> sectionsOf(UITableView& table) {
    std::vector<ScreenSection> sections;
    const int sectionCount = table.numberOfSections();
    for (int s = 0; s < sectionCount; ++s) {
        ScreenSection section;
        section.title = table.headerTitleForSection(s);
        section.footer = table.footerTitleForSection(s);
        const int rows = table.numberOfRowsInSection(s);
        for (int r = 0; r < rows; ++r) {
            if (auto cell = table.cellForRowAtIndexPath(IndexPath{s, r})) {
                section.rows.push_back(rowOf(table, *cell));
            } else {
                section.rows.push_back(ScreenRow{});
            }
        }
        sections.push_back(std::move(section));
    }
    return sections;
}

std::string pageName(const std::shared_ptr<UIViewController>& page) {
    if (!page) {
        return "the screen";
    }
    std::string title = page->navigationTitle();
    if (title.empty()) {
        title = page->title();
    }
    return quote(title.empty() ? page->className() : title);
}

std::string titleOf(const UIViewController& page) {
    std::string title = page.navigationTitle();
    return title.empty() ? page.title() : title;
}

std::string cellLabel(const std::shared_ptr<UITableViewCell>& cell) {
    return cell && cell->textLabel() ? cell->textLabel()->text() : std::string();
}

std::optional<int> parseButtonIndex(std::string_view text) {
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    int index = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return index;
}

std::string listed(const std::vector<std::string>& titles) {
    std::string out;
    for (const auto& title : titles) {
        out += (out.empty() ? "" : ", ") + quote(title);
    }
    return out.empty() ? "none" : out;
}

}  // namespace

// A row of the visible table, found for a gesture.
struct RowTarget {
    std::shared_ptr<UITableView> table;
    IndexPath path;
    std::shared_ptr<UITableViewCell> cell;
};

struct SettingsApplication::State {
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UINavigationController> root;
    bool keyboardShownForEditing = false;
    double keyboardHeight = kDefaultKeyboardHeight;
    bool refreshPending = false;  // the visible page's rows wait for editing to end

    std::shared_ptr<UIViewController> visibleContainer() const {
        std::shared_ptr<UIViewController> top = root;
        for (int depth = 0; top && depth < kMaxPresentationDepth; ++depth) {
            auto presented = top->presentedViewController();
            if (!presented || presented == top) {
                break;
            }
            top = presented;
        }
        return top;
    }

    std::shared_ptr<UIViewController> visiblePage() const {
        auto container = visibleContainer();
        if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(container)) {
            return navigation->topViewController();
        }
        return container;
    }

    Result<void> requireOpen() const {
        if (!root) {
            return fail("no page is open");
        }
        return {};
    }

    // The front alert takes every touch until it is answered.
    Result<void> requireNoAlert() const {
        VX_TRY(requireOpen());
        if (auto alert = UIApplication::sharedApplication().frontAlert()) {
            return fail("an alert is up (" + quote(alert->title()) +
                        "); answer it with one of its buttons: " + listed(alert->buttonTitles()));
        }
        return {};
    }

    Result<std::shared_ptr<UITableView>> visibleTable() const {
        auto page = visiblePage();
        auto table = page && page->isViewLoaded() ? findTable(page->view()) : nullptr;
        if (!table) {
            return fail("the page " + pageName(page) + " has no table");
        }
        return table;
    }

    Result<RowTarget> resolve(const RowRef& ref) const {
        auto table = VX_TRY(visibleTable());
        auto found = locate(*table, ref);
        if (!found) {
            return fail("no row " + quote(ref.text) + " on " + pageName(visiblePage()));
        }
        RowTarget target{table, *found, table->cellForRowAtIndexPath(*found)};
        return target;
    }

    static std::optional<IndexPath> locate(UITableView& table, const RowRef& ref) {
        const int sections = table.numberOfSections();
        switch (ref.kind) {
            case RowRef::Kind::SectionIndex:
                if (ref.section < sections && ref.row < table.numberOfRowsInSection(ref.section)) {
                    return IndexPath{ref.section, ref.row};
                }
                return std::nullopt;
            case RowRef::Kind::Index: {
                int remaining = ref.row;
                for (int s = 0; s < sections; ++s) {
                    const int rows = table.numberOfRowsInSection(s);
                    if (remaining < rows) {
                        return IndexPath{s, remaining};
                    }
                    remaining -= rows;
                }
                return std::nullopt;
            }
            case RowRef::Kind::Label: break;
        }
        if (auto whole = findLabel(table, ref.text, std::nullopt)) {
            return whole;
        }
        for (std::size_t slash = ref.text.find('/'); slash != std::string::npos;
             slash = ref.text.find('/', slash + 1)) {
            if (auto found = findLabel(table, ref.text.substr(slash + 1), ref.text.substr(0, slash))) {
                return found;
            }
        }
        return std::nullopt;
    }

    // The first row labelled `label`, in the section titled `section` when one is given.
    static std::optional<IndexPath> findLabel(UITableView& table, const std::string& label,
                                              const std::optional<std::string>& section) {
        const int sections = table.numberOfSections();
        for (int s = 0; s < sections; ++s) {
            if (section && table.headerTitleForSection(s) != section) {
                continue;
            }
            const int rows = table.numberOfRowsInSection(s);
            for (int r = 0; r < rows; ++r) {
                if (cellLabel(table.cellForRowAtIndexPath(IndexPath{s, r})) == label) {
                    return IndexPath{s, r};
                }
            }
        }
        return std::nullopt;
    }

    template <class Control>
    Result<std::shared_ptr<Control>> controlOf(const RowRef& ref, const char* kind) const {
        auto target = VX_TRY(resolve(ref));
        auto control = target.cell ? std::dynamic_pointer_cast<Control>(controlOfCell(*target.cell))
                                   : nullptr;
        if (!control) {
            return fail("the row " + quote(ref.text) + " has no " + kind);
        }
        if (!control->isEnabled()) {
            return fail("the " + std::string(kind) + " of the row " + quote(ref.text) + " is disabled");
        }
        return control;
    }

    void postKeyboard(bool show, double height) {
        const CGRect screen = UIScreen::mainScreen().bounds();
        const double top = show ? screen.size.height - height : screen.size.height;
        const CGRect frame = CGRectMake(0, top, screen.size.width, height);
        UIApplication::sharedApplication().setKeyboardState(show, frame);
        keyboardHeight = height;
        NotificationCenter::defaultCenter().post(show ? UIKeyboard::willShowNotification(frame)
                                                      : UIKeyboard::willHideNotification(frame));
    }

    // Focuses a text field as a tap into it would, bringing the keyboard up if it is down.
    Result<void> focus(UITextField& field) {
        if (!field.isFirstResponder() && !field.becomeFirstResponder()) {
            return fail("the text field would not take the focus");
        }
        if (!UIApplication::sharedApplication().isKeyboardVisible()) {
            postKeyboard(true, keyboardHeight);
            keyboardShownForEditing = true;
        }
        return {};
    }

    // The text field of a row, focused as a tap into it would; refused while an alert is up.
    Result<std::shared_ptr<UITextField>> focusedTextFieldOf(const RowRef& row) {
        VX_TRY(requireNoAlert());
        auto field = VX_TRY(controlOf<UITextField>(row, "text field"));
        VX_TRY(focus(*field));
        return field;
    }

    // What the run loop does between two gestures: due calls, then a layout pass, then the
    // calls that layout made due; a keyboard that came up for editing goes when editing ends.
    void settle() {
        RunLoop::main().runPending();
        if (refreshPending && !typing()) {
            refreshPending = false;
            refreshVisiblePage();
        }
        if (window) {
            window->layoutIfNeeded();
        }
        RunLoop::main().runPending();
        auto responder = window ? window->firstResponder() : nullptr;
        if (keyboardShownForEditing && UIApplication::sharedApplication().isKeyboardVisible() &&
            !isTextInput(responder.get())) {
            keyboardShownForEditing = false;
            postKeyboard(false, keyboardHeight);
            RunLoop::main().runPending();
        }
    }

    // A text field has the focus and the keyboard is up to type into it.
    bool typing() const {
        return UIApplication::sharedApplication().isKeyboardVisible() &&
               isTextInput(window ? window->firstResponder().get() : nullptr);
    }

    // A list page rebuilds its rows from its specifiers (reading the values afresh); any
    // other page's table asks its data source again.
    void refreshVisiblePage() {
        auto page = visiblePage();
        if (auto list = std::dynamic_pointer_cast<PSListController>(page)) {
            list->reloadSpecifiers();
        } else if (auto table = page && page->isViewLoaded() ? findTable(page->view()) : nullptr) {
            table->reloadData();
        }
    }

    void close() {
        if (root) {
            root->dismissViewControllerAnimated(false);
        }
        if (window) {
            window->setRootViewController(nullptr);
        }
        root.reset();
        window.reset();
        keyboardShownForEditing = false;
        keyboardHeight = kDefaultKeyboardHeight;
        refreshPending = false;
        UIApplication::sharedApplication().reset();
    }
};

SettingsApplication::SettingsApplication() : state_(std::make_unique<State>()) {}

SettingsApplication::~SettingsApplication() { state_->close(); }

Result<void> SettingsApplication::open(std::string_view pageClass) {
    if (!files::isDirectory(kBundlePath)) {
        return fail("the settings bundle is not installed: " +
                    DeviceRoot::resolve(kBundlePath).string() + " does not exist");
    }
    auto object = ClassRegistry::shared().instantiate(pageClass);
    if (!object) {
        return fail("there is no page class named " + quote(pageClass));
    }
    auto page = std::dynamic_pointer_cast<UIViewController>(object);
    if (!page) {
        return fail(quote(pageClass) + " is not a page class");
    }
    state_->close();
    state_->window = std::make_shared<UIWindow>();
    state_->window->makeKeyAndVisible();
    page->displayedView();  // the view is loaded before the page is first shown
    state_->root = UINavigationController::initWithRootViewController(page);
    state_->window->setRootViewController(state_->root);
    state_->settle();
    return {};
}

Result<void> SettingsApplication::tap(const RowRef& row) {
    VX_TRY(state_->requireNoAlert());
    auto target = VX_TRY(state_->resolve(row));
    if (!target.table->userTapRow(target.path)) {
        return fail("the row " + quote(row.text) + " cannot be selected");
    }
    state_->settle();
    return {};
}

Result<void> SettingsApplication::setSwitch(const RowRef& row, bool on) {
    VX_TRY(state_->requireNoAlert());
    auto toggle = VX_TRY(state_->controlOf<UISwitch>(row, "switch"));
    // A switch already in that position cannot be flipped there: nothing happens.
    if (toggle->isOn() != on) {
        toggle->userToggle();
    }
    state_->settle();
    return {};
}

Result<void> SettingsApplication::slide(const RowRef& row, double value) {
    VX_TRY(state_->requireNoAlert());
    auto slider = VX_TRY(state_->controlOf<UISlider>(row, "slider"));
    slider->userSlide(value);
    state_->settle();
    return {};
}

Result<void> SettingsApplication::type(const RowRef& row, std::string_view text) {
    auto field = VX_TRY(state_->focusedTextFieldOf(row));
    const auto characters = typedCharacters(text);
    for (std::size_t typed = 0; typed < characters.size(); ++typed) {
        // Keystrokes go to the field only while it has the focus; a page that rebuilds its
        // table under the field takes the focus (and the keyboard) away.
        if (!field->isFirstResponder()) {
            state_->settle();
            return fail("the text field of the row " + quote(row.text) + " lost the focus after " +
                        std::to_string(typed) + " of " + std::to_string(characters.size()) +
                        " characters");
        }
        // ignored: a keystroke the delegate refuses is simply not inserted, as on the device.
        (void)field->userInsertText(characters[typed]);
    }
    state_->settle();
    return {};
}

Result<void> SettingsApplication::clear(const RowRef& row) {
    auto field = VX_TRY(state_->focusedTextFieldOf(row));
    // ignored: a refusing delegate keeps the text, as on the device.
    (void)field->userReplaceText("");
    state_->settle();
    return {};
}

Result<void> SettingsApplication::pressReturn() {
    VX_TRY(state_->requireNoAlert());
    auto field = std::dynamic_pointer_cast<UITextField>(state_->window->firstResponder());
    if (!field) {
        return fail("no text field is being edited");
    }
    (void)field->userPressReturn();  // the delegate's answer only decides the end-on-exit actions
    state_->settle();
    return {};
}

Result<void> SettingsApplication::pressAlertButton(std::string_view titleOrIndex) {
    auto alert = frontAlert();
    if (!alert) {
        return fail("no alert is up");
    }
    const auto& titles = alert->buttonTitles();
    auto byTitle = std::find(titles.begin(), titles.end(), titleOrIndex);
    if (byTitle != titles.end()) {
        return pressAlertButton(static_cast<int>(byTitle - titles.begin()));
    }
    if (auto index = parseButtonIndex(titleOrIndex)) {
        return pressAlertButton(*index);
    }
    return fail("the alert " + quote(alert->title()) + " has no button " + quote(titleOrIndex) +
                " (its buttons: " + listed(titles) + ")");
}

Result<void> SettingsApplication::pressAlertButton(int index) {
    auto alert = frontAlert();
    if (!alert) {
        return fail("no alert is up");
    }
    if (index < 0 || index >= alert->numberOfButtons()) {
        return fail("the alert " + quote(alert->title()) + " has no button " + std::to_string(index) +
                    " (its buttons: " + listed(alert->buttonTitles()) + ")");
    }
    if (!alert->userPressButtonAtIndex(index)) {
        return fail("the alert " + quote(alert->title()) + " did not take the press");
    }
    state_->settle();
    return {};
}

Result<void> SettingsApplication::pressBarButton(std::string_view title) {
    VX_TRY(state_->requireNoAlert());
    auto page = state_->visiblePage();
    if (!std::dynamic_pointer_cast<UINavigationController>(state_->visibleContainer()) || !page) {
        return fail("the page " + pageName(page) + " has no navigation bar");
    }
    auto item = page->navigationItem();
    std::vector<std::string> titles;
    for (const auto& button : {item->leftBarButtonItem(), item->rightBarButtonItem()}) {
        if (!button) {
            continue;
        }
        if (button->title() == title) {
            if (!button->isEnabled()) {
                return fail("the button " + quote(title) + " is disabled");
            }
            if (!button->userTap()) {
                return fail("the button " + quote(title) + " did nothing: its target has gone");
            }
            state_->settle();
            return {};
        }
        titles.push_back(button->title());
    }
    return fail("no button " + quote(title) + " on " + pageName(page) +
                " (its buttons: " + listed(titles) + ")");
}

Result<void> SettingsApplication::goBack() {
    VX_TRY(state_->requireNoAlert());
    auto navigation = std::dynamic_pointer_cast<UINavigationController>(state_->visibleContainer());
    if (!navigation || navigation->viewControllers().size() < 2) {
        return fail("nothing to go back to");
    }
    navigation->popViewControllerAnimated(true);
    state_->settle();
    return {};
}

Result<void> SettingsApplication::moveRow(const RowRef& from, const RowRef& to) {
    VX_TRY(state_->requireNoAlert());
    auto source = VX_TRY(state_->resolve(from));
    auto destination = VX_TRY(state_->resolve(to));
    auto& table = source.table;
    if (!table->isEditing()) {
        return fail("the table of " + pageName(state_->visiblePage()) + " is not being edited");
    }
    if (!table->canMoveRow(source.path)) {
        return fail("the row " + quote(from.text) + " cannot be moved");
    }
    if (!table->moveRow(source.path, destination.path)) {
        return fail("the row " + quote(from.text) + " cannot be moved to " + quote(to.text));
    }
    state_->settle();
    return {};
}

Result<void> SettingsApplication::showKeyboard(double height) {
    VX_TRY(state_->requireOpen());
    const double screenHeight = UIScreen::mainScreen().bounds().size.height;
    if (!std::isfinite(height) || height <= 0 || height > screenHeight) {
        return fail("a keyboard is between 0 and the screen's height (" +
                    std::to_string(static_cast<int>(screenHeight)) + ") high");
    }
    state_->keyboardShownForEditing = false;
    state_->postKeyboard(true, height);
    state_->settle();
    return {};
}

Result<void> SettingsApplication::hideKeyboard() {
    VX_TRY(state_->requireOpen());
    if (!UIApplication::sharedApplication().isKeyboardVisible()) {
        return fail("the keyboard is not up");
    }
    state_->keyboardShownForEditing = false;
    state_->postKeyboard(false, state_->keyboardHeight);
    state_->settle();
    return {};
}

Result<void> SettingsApplication::wait(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) {
        return fail("time cannot go backwards");
    }
    RunLoop::main().advance(seconds);
    state_->settle();
    return {};
}

bool SettingsApplication::followClock(double now) {
    if (!state_->root || !(now > RunLoop::main().now())) {
        return false;
    }
    const std::size_t ran = RunLoop::main().advance(now - RunLoop::main().now());
    if (ran == 0) {
        return false;
    }
    state_->settle();
    return true;
}

void SettingsApplication::refreshAfterOutsideChange() {
    if (!state_->root) {
        return;
    }
    state_->refreshPending = true;
    state_->settle();
}

Screen SettingsApplication::screen() const {
    Screen screen;
    auto page = state_->visiblePage();
    if (!page) {
        return screen;
    }
    screen.title = page->navigationTitle();
    if (screen.title.empty()) {
        screen.title = page->title();
    }
    auto container = state_->visibleContainer();
    auto navigation = std::dynamic_pointer_cast<UINavigationController>(container);
    if (navigation) {
        auto item = page->navigationItem();
        if (item->leftBarButtonItem()) {
            screen.left.push_back(item->leftBarButtonItem()->title());
        }
        if (item->rightBarButtonItem()) {
            screen.right.push_back(item->rightBarButtonItem()->title());
        }
    }
    if (auto table = page->isViewLoaded() ? findTable(page->view()) : nullptr) {
        screen.header = headerTexts(table->tableHeaderView());
        screen.sections = sectionsOf(*table);
    }
    screen.scroll = page->isViewLoaded() ? scrollSnapshot(page->view()) : std::nullopt;
    if (auto alert = frontAlert()) {
        screen.alert = ScreenAlert{alert->title(), alert->message(), alert->buttonTitles()};
    }
    screen.modal = container != state_->root;
    screen.depth = navigation ? static_cast<int>(navigation->viewControllers().size()) : 1;
    if (navigation && navigation->viewControllers().size() >= 2) {
        const auto& stack = navigation->viewControllers();
        if (const auto& previous = stack[stack.size() - 2]) {
            screen.back = titleOf(*previous);
        }
    }
    if (keyboardVisible()) {
        screen.keyboard = state_->keyboardHeight;
    }
    return screen;
}

std::shared_ptr<UIViewController> SettingsApplication::visiblePage() const {
    return state_->visiblePage();
}

void SettingsApplication::showStoredValues() {
    if (auto table = state_->visibleTable(); table) (*table)->reloadData();
    state_->settle();
}

std::shared_ptr<UINavigationController> SettingsApplication::visibleContainer() const {
    return std::dynamic_pointer_cast<UINavigationController>(state_->visibleContainer());
}

std::shared_ptr<UINavigationController> SettingsApplication::rootContainer() const {
    return state_->root;
}

std::shared_ptr<UIAlertView> SettingsApplication::frontAlert() const {
    return UIApplication::sharedApplication().frontAlert();
}

std::shared_ptr<UITextField> SettingsApplication::firstResponderField() const {
    return state_->window ? std::dynamic_pointer_cast<UITextField>(state_->window->firstResponder())
                          : nullptr;
}

std::shared_ptr<UIWindow> SettingsApplication::window() const { return state_->window; }

bool SettingsApplication::keyboardVisible() const {
    return UIApplication::sharedApplication().isKeyboardVisible();
}

double SettingsApplication::keyboardHeight() const { return state_->keyboardHeight; }

}  // namespace vx
