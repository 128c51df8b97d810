#pragma once
// PSTableCell's cell types: the kinds of row a specifier can be, by their framework names.
#include <optional>
#include <string>
#include <string_view>

namespace vx {

enum class PSCellType {
    Group,           // starts a section; its label is the header, "footerText" the footer
    Switch,          // on/off value
    Link,            // opens the page class named by "detail"
    LinkList,        // choice among validValues/validTitles, opens the choice page
    EditText,        // text field
    SecureEditText,  // text field that hides its text
    Button,          // calls the target's action named by "action"
    StaticText,      // label only
    TitleValue,      // label and the current value's title, read only
    Slider,          // number between "min" and "max"
    Segment,         // choice among validValues/validTitles shown inline
};

class PSTableCell {
public:
    // cellTypeFromString: "PSSwitchCell" → PSCellType::Switch. Nothing for a name the
    // framework does not know.
    static std::optional<PSCellType> cellTypeFromString(std::string_view name);
    // The framework name of a cell type ("PSSwitchCell").
    static std::string_view stringFromCellType(PSCellType type);
};

}  // namespace vx
