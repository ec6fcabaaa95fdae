#include "reports/excel/sheet_view_patch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/reports/excel/xlsx_package.h"

namespace zorvek {
namespace {

const std::string kRoot =
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";

TEST(SheetViewPatchTest, TheFirstSheetViewEndsWithOnePageBreakView) {
    struct Case {
        const char* name;
        std::string views;  // the sheet's <sheetViews> and what follows
        std::vector<std::string> gridLines;
    };
    const std::vector<Case> cases = {
        {"a view chosen before",
         "<sheetViews><sheetView view=\"pageLayout\" workbookViewId=\"0\"/></sheetViews>",
         {}},
        {"the earlier view after other attributes",
         "<sheetViews><sheetView showGridLines=\"0\" view=\"normal\" workbookViewId=\"0\">"
         "<selection activeCell=\"A5\" sqref=\"A5\"/></sheetView></sheetViews>",
         {"0"}},
        // Only the sheet's own view changes, not one further on.
        {"a later custom view",
         "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews><sheetData/>"
         "<customSheetViews><customSheetView guid=\"{0}\" view=\"pageLayout\"/>"
         "</customSheetViews>",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string xml = kRoot + c.views + "</worksheet>";
        ASSERT_TRUE(SetPageBreakPreview(xml));
        // A repeated attribute would make the sheet unreadable.
        const test::XmlPart sheet(xml);
        EXPECT_EQ(sheet.All("//m:sheetView/@view"), std::vector<std::string>{"pageBreakPreview"});
        EXPECT_EQ(sheet.All("//m:sheetView/@showGridLines"), c.gridLines);
        EXPECT_EQ(sheet.One("//m:sheetView/@workbookViewId"), "0");
        EXPECT_EQ(sheet.One("//m:customSheetView/@view"),
                  c.views.find("customSheetView") != std::string::npos ? "pageLayout" : "");
    }
}

TEST(SheetViewPatchTest, ASheetWithoutViewsIsRefusedUnchanged) {
    for (const std::string& body :
         {std::string("<sheetData/>"), std::string("<sheetViews></sheetViews><sheetData/>")}) {
        std::string xml = kRoot + body + "</worksheet>";
        const std::string before = xml;
        EXPECT_FALSE(SetPageBreakPreview(xml)) << body;
        EXPECT_EQ(xml, before);
    }
}

}  // namespace
}  // namespace zorvek
