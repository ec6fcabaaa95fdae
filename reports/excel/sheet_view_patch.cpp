#include "reports/excel/sheet_view_patch.h"

#include <string_view>

namespace zorvek {
namespace {

constexpr std::string_view kViews = "<sheetViews>";
constexpr std::string_view kView = "<sheetView";
constexpr std::string_view kViewAttribute = " view=\"";
constexpr std::string_view kPageBreakPreview = " view=\"pageBreakPreview\"";

}  // namespace

bool SetPageBreakPreview(std::string& sheetXml) {
    const std::size_t views = sheetXml.find(kViews);
    if (views == std::string::npos) return false;
    const std::size_t view = sheetXml.find(kView, views + kViews.size());
    const std::size_t viewEnd = sheetXml.find('>', view);
    if (view == std::string::npos || viewEnd == std::string::npos) return false;
    // A view chosen before gives way: an attribute may appear only once.
    const std::string_view tag = std::string_view(sheetXml).substr(view, viewEnd - view);
    if (const std::size_t earlier = tag.find(kViewAttribute); earlier != std::string_view::npos) {
        const std::size_t valueEnd = tag.find('"', earlier + kViewAttribute.size());
        if (valueEnd == std::string_view::npos) return false;
        sheetXml.erase(view + earlier, valueEnd + 1 - earlier);
    }
    sheetXml.insert(view + kView.size(), kPageBreakPreview);
    return true;
}

}  // namespace zorvek
