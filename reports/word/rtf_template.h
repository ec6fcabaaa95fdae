#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvek {

// A place in a template where RTF can be spliced in, with the state that the
// spliced text inherits there.
struct TemplateSpot {
    std::size_t offset = 0;  // byte offset in the template text
    bool bold = false;       // whether text written here comes out bold
    bool inTable = false;    // the place lies in a table cell
};

// An RTF template read just far enough to fill it: where its bookmarks end,
// where its lines start and how wide its text runs. The text itself is kept
// verbatim; a document is made by splicing RTF into it at these places.
//
// Bookmark names may be written as plain text, as \'xx (cp1251) or as \uN;
// they compare without regard to case. Character formatting is followed
// through \b, \b0 and \plain (bold that comes only from a style is not seen).
class RtfTemplate {
  public:
    // Nullopt when `text` is not RTF or its groups do not balance.
    static std::optional<RtfTemplate> Parse(std::string text);

    const std::string& Text() const { return m_text; }

    // The end of the named bookmark (cp1251 name); nullptr when missing.
    const TemplateSpot* FindBookmark(std::string_view name) const;

    // Where the insertion point stands in a document just made from it: at
    // the first text of the body.
    const TemplateSpot& Start() const { return m_start; }

    // The start of the line below the one holding `offset`. Lines are
    // paragraphs and table rows; a line that is a table row is entered at the
    // end of its first cell. Nullopt on the last line.
    std::optional<TemplateSpot> LineBelow(std::size_t offset) const;

    // Where the first section's footer can be spliced in: after the
    // document's page setup, before its first paragraph or table row.
    std::size_t FooterSpot() const { return m_footerSpot; }

    // Width between the left and right page margins, twips.
    int TextWidth() const { return m_textWidth; }

  private:
    friend class TemplateReader;

    struct LineEnd {
        std::size_t tokenStart = 0;  // where the \par, \sect or \row stands
        TemplateSpot below;          // the start of the next line
    };

    std::string m_text;
    std::vector<std::pair<std::string, TemplateSpot>> m_bookmarks;  // names lower-cased
    std::vector<LineEnd> m_lineEnds;                                // in text order
    TemplateSpot m_start;
    std::size_t m_footerSpot = 0;
    std::size_t m_bodyEnd = 0;  // where the document's outermost group closes
    int m_textWidth = 0;
};

}  // namespace zorvek
