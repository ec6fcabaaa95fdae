#pragma once

#include <string>
#include <string_view>

namespace zorvek {

// The comment that explains the codes of one column of the sheet.
struct Legend {
    std::string_view key;
    std::string text;  // cp1251, lines joined by "\n", none at the end
    int widthPt = 0;   // comment box, points
    int heightPt = 0;
};

// The legend of "yustkoord", "koord", "warnings", "protect", "discret" or
// "lep" (compared exactly); nullptr for any other key.
const Legend* FindLegend(std::string_view key);

}  // namespace zorvek
