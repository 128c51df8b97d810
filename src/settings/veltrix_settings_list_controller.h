#pragma once
// VeltrixSettingsListController: the bundle's root page. Its rows come from
// "VeltrixSettings"; while the plugin folder holds anything, a "Plugins" link row goes in at
// index 10. A header shows the product title and a credit line. Its buttons open the
// documentation (lauchDoc:) and export the weather city's position (getLocation:).
#include <memory>
#include <string>
#include <string_view>

#include "settings/veltrix_list_controller.h"

namespace vx {

class VeltrixSettingsListController : public VeltrixListController {
public:
    static constexpr const char* kClassName = "VeltrixSettingsListController";
    static constexpr std::string_view kSpecifierFile = "VeltrixSettings";
    static constexpr std::string_view kDocumentationURL = "https://docs.corvane.com/veltrix/";
    static constexpr std::size_t kPluginsRowIndex = 10;
    static constexpr double kHeaderHeight = 60;
    static constexpr double kHeaderGrowth = 35;

    VeltrixSettingsListController();
    static std::shared_ptr<VeltrixSettingsListController> init();

    std::string className() const override { return kClassName; }

    SpecifierList specifiers() override;
    // The base's loadView, setupHeader, then setupTint.
    void loadView() override;

    // Button actions; the row that was tapped is not used.
    void getLocation(const SpecifierPtr& specifier);
    void lauchDoc(const SpecifierPtr& specifier);

    void setupHeader();
    std::string headerText() const { return "Veltrix4"; }
    std::string headerImage() const { return ""; }
    std::string headerSubText() const { return "by Corvane Labs"; }
    UIColor headerColor() const { return UIColor::blueColor(); }

private:
    static bool holdsPluginsRow(const SpecifierList& rows);
    SpecifierPtr makePluginsRow();
    std::shared_ptr<UILabel> makeHeaderLabel(CGRect frame, std::string_view text, double fontSize) const;
};

}  // namespace vx
