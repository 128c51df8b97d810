#pragma once
// How a front end names a row of the visible screen: by its label as shown ("Themes"), by
// section title and label ("General/Enabled"), or by position ("#3" counts rows across all
// sections from 0, "#1.2" is row 2 of section 1). The application resolves it against the
// screen at the moment of the gesture.
#include <string>
#include <string_view>

namespace vx {

struct RowRef {
    enum class Kind { Label, Index, SectionIndex };

    Kind kind = Kind::Label;
    std::string text;  // as written, for messages and label look-up
    int section = 0;   // SectionIndex
    int row = 0;       // Index (flat) and SectionIndex

    static RowRef parse(std::string_view text);
    static RowRef index(int flatRow);
    static RowRef at(int section, int row);
};

}  // namespace vx
