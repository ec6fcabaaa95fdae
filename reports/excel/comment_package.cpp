#include "reports/excel/comment_package.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "reports/excel/comment_parts.h"
#include "reports/excel/zip_archive.h"

namespace zorvek {
namespace {

constexpr std::string_view kRelsHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
constexpr std::string_view kRelsEnd = "</Relationships>";
constexpr std::string_view kRelTypes =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

constexpr std::string_view kTypesEnd = "</Types>";
constexpr std::string_view kVmlExtension = "Extension=\"vml\"";
constexpr std::string_view kVmlDefault =
    "<Default Extension=\"vml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.vmlDrawing\"/>";
constexpr std::string_view kCommentsOverride =
    "<Override PartName=\"/xl/comments1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.comments+xml\"/>";

constexpr std::string_view kSheetRoot = "<worksheet";
constexpr std::string_view kRelationshipsNamespace =
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
constexpr std::string_view kSheetDataEnd = "</sheetData>";
constexpr std::string_view kEmptySheetData = "<sheetData/>";
constexpr std::string_view kSheetEnd = "</worksheet>";
constexpr std::string_view kLegacyDrawing = "<legacyDrawing ";
// What may follow <legacyDrawing> in a sheet, in the schema's order.
constexpr std::array<std::string_view, 8> kAfterLegacyDrawing = {
    "<legacyDrawingHF", "<drawingHF",       "<picture",    "<oleObjects",
    "<controls",        "<webPublishItems", "<tableParts", "<extLst"};

// The first two ids of the form "rIdN" the relationships do not use yet.
std::array<std::string, 2> FreeRelationshipIds(const std::string& rels) {
    std::array<std::string, 2> ids;
    int n = 1;
    for (std::string& id : ids) {
        do {
            id = "rId" + std::to_string(n++);
        } while (rels.find("Id=\"" + id + "\"") != std::string::npos);
    }
    return ids;
}

void AppendRelationship(std::string& xml, std::string_view id, std::string_view type,
                        std::string_view target) {
    xml += "<Relationship Id=\"";
    xml += id;
    xml += "\" Type=\"";
    xml += kRelTypes;
    xml += type;
    xml += "\" Target=\"";
    xml += target;
    xml += "\"/>";
}

// The sheet's relationships to the two parts; the id of the drawing's.
std::optional<std::string> AddRelationships(std::vector<ZipEntry>& package) {
    ZipEntry* rels = FindEntry(package, kSheetRelsPart);
    if (rels == nullptr) {
        rels = &package.emplace_back(
            ZipEntry{std::string(kSheetRelsPart), std::string(kRelsHead) + std::string(kRelsEnd)});
    }
    const std::size_t end = rels->data.rfind(kRelsEnd);
    if (end == std::string::npos) return std::nullopt;
    const auto [vmlId, commentsId] = FreeRelationshipIds(rels->data);
    std::string added;
    AppendRelationship(added, vmlId, "vmlDrawing", "../drawings/vmlDrawing1.vml");
    AppendRelationship(added, commentsId, "comments", "../comments1.xml");
    rels->data.insert(end, added);
    return vmlId;
}

bool AddContentTypes(std::string& types) {
    const std::size_t end = types.rfind(kTypesEnd);
    if (end == std::string::npos) return false;
    types.insert(end, kCommentsOverride);
    if (types.find(kVmlExtension) == std::string::npos) types.insert(end, kVmlDefault);
    return true;
}

bool AddLegacyDrawing(std::string& sheet, std::string_view vmlId) {
    const std::size_t root = sheet.find(kSheetRoot);
    const std::size_t rootEnd = sheet.find('>', root);
    if (rootEnd == std::string::npos ||
        std::string_view(sheet).substr(root, rootEnd - root).find(kRelationshipsNamespace) ==
            std::string_view::npos) {
        return false;
    }
    // Only the few elements after the cells are searched, not the cells.
    std::size_t cellsEnd = sheet.rfind(kSheetDataEnd);
    if (cellsEnd == std::string::npos) cellsEnd = sheet.find(kEmptySheetData);
    std::size_t at = sheet.rfind(kSheetEnd);
    if (cellsEnd == std::string::npos || at == std::string::npos || at < cellsEnd ||
        sheet.find(kLegacyDrawing, cellsEnd) != std::string::npos) {
        return false;
    }
    for (const std::string_view follower : kAfterLegacyDrawing) {
        at = std::min(at, sheet.find(follower, cellsEnd));
    }
    sheet.insert(at, "<legacyDrawing r:id=\"" + std::string(vmlId) + "\"/>");
    return true;
}

}  // namespace

std::optional<std::string> PackCommentParts(const Sheet& sheet) {
    const std::unique_ptr<MemoryZip> parts = MemoryZip::Open();
    if (!parts || !parts->Put(std::string(kCommentsDrawingPart), CommentsVml(sheet)) ||
        !parts->Put(std::string(kCommentsPart), CommentsXml(sheet))) {
        return std::nullopt;
    }
    return parts->Close();
}

bool LinkCommentParts(std::vector<ZipEntry>& package) {
    if (FindEntry(package, kContentTypesPart) == nullptr ||
        FindEntry(package, kSheetPart) == nullptr || FindEntry(package, kCommentsPart) != nullptr ||
        FindEntry(package, kCommentsDrawingPart) != nullptr) {
        return false;
    }
    // Relationships first: a new part moves the others.
    const std::optional<std::string> vmlId = AddRelationships(package);
    return vmlId && AddLegacyDrawing(FindEntry(package, kSheetPart)->data, *vmlId) &&
           AddContentTypes(FindEntry(package, kContentTypesPart)->data);
}

}  // namespace zorvek
