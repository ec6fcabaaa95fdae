#include "reports/excel/comment_parts.h"

#include <charconv>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/cp1251.h"
#include "reports/excel/comment_box.h"
#include "reports/excel/sheet_ruler.h"

namespace zorvek {
namespace {

constexpr std::string_view kCommentsHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<comments xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<authors><author></author></authors><commentList>";
constexpr std::string_view kCommentsTail = "</commentList></comments>";
constexpr std::string_view kCommentOpen = "<comment ref=\"";
constexpr std::string_view kCommentText =
    "\" authorId=\"0\"><text><r><rPr><sz val=\"8\"/><color indexed=\"81\"/>"
    "<rFont val=\"Tahoma\"/><family val=\"2\"/></rPr><t";
constexpr std::string_view kCommentEnd = "</t></r></text></comment>";

constexpr std::string_view kVmlHead =
    "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" "
    "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
    "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
    "<o:shapelayout v:ext=\"edit\"><o:idmap v:ext=\"edit\" data=\"";
constexpr std::string_view kVmlShapeType =
    "\"/></o:shapelayout>"
    "<v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" "
    "path=\"m,l,21600r21600,l21600,xe\"><v:stroke joinstyle=\"miter\"/>"
    "<v:path gradientshapeok=\"t\" o:connecttype=\"rect\"/></v:shapetype>";
constexpr std::string_view kVmlTail = "</xml>";
constexpr std::string_view kShapeId = "<v:shape id=\"_x0000_s";
constexpr std::string_view kShapeLeft =
    "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:";
constexpr std::string_view kShapeTop = "pt;margin-top:";
constexpr std::string_view kShapeWidth = "pt;width:";
constexpr std::string_view kShapeHeight = "pt;height:";
constexpr std::string_view kShapeZ = "pt;z-index:";
constexpr std::string_view kShapeAnchor =
    ";visibility:hidden\" fillcolor=\"#ffffe1\" o:insetmode=\"auto\">"
    "<v:fill color2=\"#ffffe1\"/><v:shadow on=\"t\" color=\"black\" obscured=\"t\"/>"
    "<v:path o:connecttype=\"none\"/><v:textbox style=\"mso-direction-alt:auto\">"
    "<div style=\"text-align:left\"></div></v:textbox><x:ClientData ObjectType=\"Note\">"
    "<x:MoveWithCells/><x:SizeWithCells/><x:Anchor>";
constexpr std::string_view kShapeRow = "</x:Anchor><x:AutoFill>False</x:AutoFill><x:Row>";
constexpr std::string_view kShapeColumn = "</x:Row><x:Column>";
constexpr std::string_view kShapeEnd = "</x:Column></x:ClientData></v:shape>";
constexpr std::string_view kListSeparator = ", ";

// Shape ids come in blocks of 1024 per drawing; this drawing's ids start
// after the first block.
constexpr std::uint32_t kShapeBlock = 1024;

// A shape of the largest sheet takes about 620 bytes.
constexpr std::size_t kShapeBytes = 700;

void AppendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// Pixels as points, exactly: 0.75 points each.
void AppendPoints(std::string& out, std::uint32_t pixels) {
    static constexpr std::string_view kQuarters[] = {"", ".25", ".5", ".75"};
    const std::int64_t quarters = std::int64_t{pixels} * 3;
    AppendNumber(out, quarters / 4);
    out += kQuarters[quarters % 4];
}

void AppendCellRef(std::string& out, CellRef cell) {
    char letters[4];
    std::size_t count = 0;
    for (int col = cell.col + 1; col > 0; col = (col - 1) / 26) {
        letters[count++] = static_cast<char>('A' + (col - 1) % 26);
    }
    while (count > 0) out += letters[--count];
    AppendNumber(out, cell.row + 1);
}

// The text of one comment and what closes its element, escaped once for the
// thousands of comments that share it.
std::string CommentText(std::string_view cp1251) {
    const std::string utf8 = Utf8FromCp1251(cp1251);
    std::string text;
    // Leading or trailing blanks would be dropped by readers otherwise.
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    if (!utf8.empty() && (blank(utf8.front()) || blank(utf8.back()))) {
        text += " xml:space=\"preserve\"";
    }
    text += '>';
    for (const char c : utf8) {
        switch (c) {
            case '&':
                text += "&amp;";
                break;
            case '<':
                text += "&lt;";
                break;
            case '>':
                text += "&gt;";
                break;
            default:
                text += c;
        }
    }
    text += kCommentEnd;
    return text;
}

}  // namespace

std::string CommentsXml(const Sheet& sheet) {
    std::unordered_map<std::string_view, std::string> texts;
    std::vector<const std::string*> textOf;
    textOf.reserve(sheet.Comments().size());
    std::size_t size = kCommentsHead.size() + kCommentsTail.size();
    for (const auto& [cell, comment] : sheet.Comments()) {
        auto [text, added] = texts.try_emplace(comment.text);
        if (added) text->second = CommentText(comment.text);
        textOf.push_back(&text->second);
        size += kCommentOpen.size() + 16 + kCommentText.size() + text->second.size();
    }

    std::string xml;
    xml.reserve(size);
    xml += kCommentsHead;
    auto text = textOf.begin();
    for (const auto& [cell, comment] : sheet.Comments()) {
        xml += kCommentOpen;
        AppendCellRef(xml, cell);
        xml += kCommentText;
        xml += **text++;
    }
    xml += kCommentsTail;
    return xml;
}

std::string CommentsVml(const Sheet& sheet) {
    const SheetRuler ruler(sheet);
    const auto count = static_cast<std::uint32_t>(sheet.Comments().size());
    std::string vml;
    vml.reserve(kVmlHead.size() + kVmlShapeType.size() + kVmlTail.size() + count * kShapeBytes);
    vml += kVmlHead;
    // Every block of ids in use is declared.
    for (std::uint32_t block = 1; block <= count / kShapeBlock + 1; ++block) {
        if (block > 1) vml += ',';
        AppendNumber(vml, block);
    }
    vml += kVmlShapeType;

    std::uint32_t index = 0;
    for (const auto& [cell, comment] : sheet.Comments()) {
        const CommentBox box = PlaceComment(ruler, cell, comment.widthPt, comment.heightPt);
        ++index;
        vml += kShapeId;
        AppendNumber(vml, kShapeBlock + index);
        vml += kShapeLeft;
        AppendPoints(vml, box.left);
        vml += kShapeTop;
        AppendPoints(vml, box.top);
        vml += kShapeWidth;
        AppendPoints(vml, box.width);
        vml += kShapeHeight;
        AppendPoints(vml, box.height);
        vml += kShapeZ;
        AppendNumber(vml, index);
        vml += kShapeAnchor;
        const std::int64_t anchor[] = {box.from.col, box.from.x, box.from.row, box.from.y,
                                       box.to.col,   box.to.x,   box.to.row,   box.to.y};
        for (std::size_t i = 0; i < std::size(anchor); ++i) {
            if (i > 0) vml += kListSeparator;
            AppendNumber(vml, anchor[i]);
        }
        vml += kShapeRow;
        AppendNumber(vml, cell.row);
        vml += kShapeColumn;
        AppendNumber(vml, cell.col);
        vml += kShapeEnd;
    }
    vml += kVmlTail;
    return vml;
}

}  // namespace zorvek
