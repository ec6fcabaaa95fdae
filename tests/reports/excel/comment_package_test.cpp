#include "reports/excel/comment_package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/reports/excel/xlsx_package.h"

namespace zorvek {
namespace {

std::string Types(const std::string& more = "") {
    return "<?xml version=\"1.0\"?><Types "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>" +
           more + "</Types>";
}
const std::string kSheetRoot =
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
const std::string kHyperlinkRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/hyperlink\" Target=\"http://example.org/\" TargetMode=\"External\"/>"
    "</Relationships>";
const std::string kRelsPart = "xl/worksheets/_rels/sheet1.xml.rels";
const std::string kRelationship = "//*[local-name()='Relationship']";

std::vector<ZipEntry> Package(const std::string& sheetBody, const std::string& types = Types()) {
    return {{"[Content_Types].xml", types},
            {"xl/worksheets/sheet1.xml", kSheetRoot + sheetBody + "</worksheet>"}};
}

const std::string& Part(const std::vector<ZipEntry>& package, const std::string& name) {
    const auto found = std::find_if(package.begin(), package.end(),
                                    [&](const ZipEntry& entry) { return entry.name == name; });
    if (found == package.end()) throw std::runtime_error("no part " + name);
    return found->data;
}

// The names of the sheet's child elements, in order.
std::vector<std::string> SheetElements(const std::vector<ZipEntry>& package) {
    return test::XmlPart(Part(package, "xl/worksheets/sheet1.xml")).Names("/m:worksheet/*");
}

// The drawing goes before whatever the schema puts after it, and takes ids
// the sheet's other relationships leave free.
TEST(CommentPackageTest, LinksFitBesideWhatTheSheetHasAlready) {
    std::vector<ZipEntry> package =
        Package("<sheetData/><pageSetup/><tableParts count=\"0\"/><extLst/>",
                Types("<Default Extension=\"vml\" ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.vmlDrawing\"/>"));
    package.push_back({kRelsPart, kHyperlinkRels});
    ASSERT_TRUE(LinkCommentParts(package));

    EXPECT_EQ(SheetElements(package),
              (std::vector<std::string>{"sheetData", "pageSetup", "legacyDrawing", "tableParts",
                                        "extLst"}));
    EXPECT_NE(Part(package, "xl/worksheets/sheet1.xml").find("<legacyDrawing r:id=\"rId2\"/>"),
              std::string::npos);
    const test::XmlPart rels(Part(package, kRelsPart));
    EXPECT_EQ(rels.All(kRelationship + "/@Id"), (std::vector<std::string>{"rId1", "rId2", "rId3"}));
    EXPECT_EQ(rels.One(kRelationship + "[@Id='rId1']/@Target"), "http://example.org/");
    EXPECT_EQ(test::XmlPart(Part(package, "[Content_Types].xml")).Count("//*[@Extension='vml']"),
              1);
}

TEST(CommentPackageTest, PackagesItCannotLinkIntoAreRefused) {
    const std::string body = "<sheetData/>";
    struct Case {
        const char* name;
        std::vector<ZipEntry> package;
    };
    std::vector<Case> cases = {
        {"comments already", Package(body)},
        {"a drawing already", Package(body + "<legacyDrawing r:id=\"rId1\"/>")},
        {"no relationships namespace",
         {{"[Content_Types].xml", Types()},
          {"xl/worksheets/sheet1.xml",
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
               body + "</worksheet>"}}},
    };
    cases[0].package.push_back({std::string(kCommentsPart), "<comments/>"});
    for (Case& c : cases) EXPECT_FALSE(LinkCommentParts(c.package)) << c.name;
}

}  // namespace
}  // namespace zorvek
