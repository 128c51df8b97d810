#pragma once
// PSListController: a page made of rows (PSSpecifier). It keeps the cached row list, loads
// rows from specifier files of its bundle, and is the data source and delegate of its own
// grouped table: group rows become sections (label → header, "footerText" → footer), the
// other rows become cells that show and edit their values through the row's value hooks
// (normally readPreferenceValue / setPreferenceValue of the page), link rows open their
// detail page class from the class registry, buttons call their page's action by name.
//
// The base readPreferenceValue / setPreferenceValue serve rows that name a preferences
// domain ("defaults"): /var/mobile/Library/Preferences/<defaults>.plist, written under the
// preferences store's write protocol, with the row's "PostNotification" posted after it.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/bundle_path.h"
#include "host/ps_specifier.h"
#include "host/ps_view_controller.h"
#include "platform/foundation/bundle.h"
#include "platform/foundation/plist_value.h"
#include "platform/ui/table_view.h"

namespace vx {

// Where the preferences domains named by rows live: "<folder>/<defaults>.plist".
inline constexpr std::string_view kPreferencesFolder = "/var/mobile/Library/Preferences";

class PSListController : public PSViewController,
                         public UITableViewDataSource,
                         public UITableViewDelegate {
public:
    // A button action: a member function of the page taking the tapped row.
    using Action = std::function<void(PSListController& page, const SpecifierPtr& specifier)>;

    PSListController() = default;
    static std::shared_ptr<PSListController> init();

    std::string className() const override { return "PSListController"; }

    // ---- Rows
    // The rows the page shows. The base answers the cached list (empty when nothing was
    // cached); pages override it to load and adjust their rows, keeping them in the cache.
    virtual SpecifierList specifiers();
    // The cached row list: whether there is one, the list itself (created empty on first
    // use, handed out for change), and replacing it.
    bool hasSpecifiers() const { return specifiers_.has_value(); }
    SpecifierList& cachedSpecifiers();
    void setSpecifiers(SpecifierList specifiers);
    // Rebuilds the shown rows from specifiers() and reloads the table. The application
    // calls it (through viewWillAppear) each time the page is shown.
    void reloadSpecifiers();
    void viewWillAppear(bool animated) override;

    // loadSpecifiersFromPlistName:target: — the rows of "<bundle>/<name>.plist", each with
    // the given target; sets the page title from the file's "title" when it has one. A
    // missing or unreadable file gives no rows; malformed items are skipped (logged).
    SpecifierList loadSpecifiersFromPlistName(std::string_view name,
                                              std::weak_ptr<PSListController> target);

    // The row at a shown position, and the position of a shown row.
    SpecifierPtr specifierAtIndexPath(IndexPath indexPath) const;
    std::optional<IndexPath> indexPathForSpecifier(const SpecifierPtr& specifier) const;
    std::optional<std::size_t> indexOfSpecifier(const SpecifierPtr& specifier) const;
    // The first row with this identifier ("id", else name), or nullptr.
    SpecifierPtr specifierForID(std::string_view identifier) const;

    // insertSpecifier:afterSpecifier:animated: — puts the row into the list directly after
    // `after` and into the table. A null row, a row already shown, or an `after` that is
    // not shown changes nothing (logged).
    void insertSpecifier(SpecifierPtr specifier, const SpecifierPtr& after, bool animated);
    // removeSpecifier:animated: — takes the row out of the list and the table. A row that is
    // not shown changes nothing.
    void removeSpecifier(const SpecifierPtr& specifier, bool animated);

    // ---- Values
    // readPreferenceValue: — for a row naming a "defaults" domain, the domain file's value
    // under the row's "key", else the row's "default", else nothing.
    virtual std::optional<plist::Value> readPreferenceValue(const SpecifierPtr& specifier);
    // setPreferenceValue:specifier: — stores the value under the row's "key" in its
    // "defaults" domain file, then posts its "PostNotification" once. A row without a key
    // or a valid domain, or a failed write, is logged and posts nothing.
    virtual void setPreferenceValue(const plist::Value& value, const SpecifierPtr& specifier);
    // What a row shows and how an edit is stored: the row's get/set hooks on its target.
    // Nothing (and no write) when the row has no hook or its target has gone.
    std::optional<plist::Value> valueForSpecifier(const SpecifierPtr& specifier);
    void setValueForSpecifier(const plist::Value& value, const SpecifierPtr& specifier);

    // ---- Bundle, table, title
    // The settings bundle the page's specifier files and strings come from.
    virtual std::string bundlePath() const;
    void setBundlePath(std::string devicePath);
    // Never null.
    std::shared_ptr<Bundle> bundle() const;
    // The page's table; nullptr until loadView ran.
    const std::shared_ptr<UITableView>& table() const { return table_; }
    // Creates the grouped table over the page's bounds, this page being its data source and
    // delegate, and makes it the page's view.
    void loadView() override;
    // The page's title becomes the row's name (pages set their own later).
    void setSpecifier(SpecifierPtr specifier) override;

    // ---- Button actions
    // Registers a member function of the page (T) as the action named `name`
    // ("lauchDoc:"). The call receives the page; nothing is captured.
    template <class T>
    void registerAction(std::string name, void (T::*method)(const SpecifierPtr&)) {
        actions_[std::move(name)] = [method](PSListController& page, const SpecifierPtr& row) {
            if (auto* typed = dynamic_cast<T*>(&page)) (typed->*method)(row);
        };
    }
    // The action registered under the name, or nothing.
    virtual std::optional<Action> actionForName(std::string_view name) const;
    // Calls the named action of this page with the row; false (logged) for an unknown name.
    bool performAction(std::string_view name, const SpecifierPtr& specifier);

    // ---- The host's preference-loading extension
    // specifiersFromEntry:sourcePreferenceLoaderBundlePath:title: — a plugin entry (a
    // dictionary: cell, label, icon, detail, and for a valued row key/defaults/...) becomes
    // one row with this page as target. A link row opens the registered class named by
    // "detail", else the generic list page over "<bundlePath>/<title>.plist". Nothing for an
    // entry that is not a dictionary, has neither label nor title, or is malformed.
    SpecifierList specifiersFromEntry(const plist::Value& entry, std::string_view bundlePath,
                                      std::string_view title);

    // ---- UITableViewDataSource
    std::optional<int> numberOfSectionsInTableView(UITableView& tableView) override;
    int numberOfRowsInSection(UITableView& tableView, int section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                           IndexPath indexPath) override;
    std::optional<std::string> titleForHeaderInSection(UITableView& tableView, int section) override;
    std::optional<std::string> titleForFooterInSection(UITableView& tableView, int section) override;
    std::optional<bool> canEditRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;

    // ---- UITableViewDelegate
    void didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;

protected:
    // One section of the shown list: its group row (nullptr for rows before the first
    // group) and the indices of its rows in the list.
    struct Group {
        SpecifierPtr groupSpecifier;
        std::vector<std::size_t> rows;
    };
    // Built once per row list and kept until the list is handed out for change
    // (cachedSpecifiers, setSpecifiers), so each data-source call costs no rebuild.
    const std::vector<Group>& groups() const;

    // Fills a cell for a row; pages with special rows extend it.
    virtual void configureCell(UITableViewCell& cell, const SpecifierPtr& specifier);
    // What a tap on an enabled row does.
    virtual void activateSpecifier(const SpecifierPtr& specifier);
    // Opens the page class a link row names (pushed on this page's navigation container).
    void openDetailOf(const SpecifierPtr& specifier);

private:
    const SpecifierList& shownSpecifiers() const;
    void configureSwitch(UITableViewCell& cell, const SpecifierPtr& specifier);
    void configureTextField(UITableViewCell& cell, const SpecifierPtr& specifier);
    void configureSlider(UITableViewCell& cell, const SpecifierPtr& specifier);
    void configureValueDetail(UITableViewCell& cell, const SpecifierPtr& specifier);
    void tellTableAboutRow(const SpecifierPtr& specifier, bool inserted, IndexPath path, bool animated);

    std::optional<SpecifierList> specifiers_;
    mutable std::optional<std::vector<Group>> groups_;
    std::shared_ptr<UITableView> table_;
    std::string bundlePath_{kDefaultBundlePath};
    mutable std::shared_ptr<Bundle> bundle_;
    std::map<std::string, Action, std::less<>> actions_;
};

}  // namespace vx
