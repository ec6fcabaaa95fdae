#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "reports/word/png_size.h"
#include "reports/word/word_layer.h"

namespace zorvek {

// A PNG picture on its way into a document.
struct RtfPicture {
    std::vector<std::uint8_t> png;
    PngSize size;
};

// What is typed at one insertion point: paragraphs, tables and pictures. The
// insertion point stays at the end of it, or in a cell of its last table.
// Texts are cp1251; sizes are points.
class RtfFlow {
  public:
    enum class Placement {
        Document,       // the flow is the whole body of a new document
        InTemplate,     // the flow sits inside a paragraph of a template
        InTemplateCell  // ... of a template paragraph that lies in a table cell
    };

    RtfFlow(Placement placement, int fontSize);

    // Types a run; CR, LF or CR LF in the text end the paragraph. The
    // alignment applies to the paragraph typed into and those it starts.
    void Type(std::string_view text, int size, bool bold, ParagraphAlign align);
    // Ends the current paragraph; the new one keeps its alignment, its mark
    // takes `markSize`.
    void NewParagraph(int markSize);

    // Puts a table of empty cells at the insertion point and moves into its
    // first cell. Tables do not nest: in a table cell this does nothing.
    void AddTable(int rows, int columns, int fontSize);
    // Types into the current cell and moves to the next; from the last cell
    // of the last row a new row is appended and entered. Outside a table the
    // text is typed like Type.
    void WriteCell(std::string_view text, int size, bool bold, ParagraphAlign align);
    // The current table's columns share its width in proportion to
    // `weights`; ignored outside a table, for another count of weights or
    // for a weight below 1.
    void SetColumnWidths(const std::vector<int>& weights);
    // The current table is not kept on one page, however few its rows.
    void LetTableBreak();
    // In a table: to the cell below, or from the last row out of the table.
    // False outside a table (the move is then the caller's).
    bool MoveDown();
    // Deletes the row holding the insertion point; the insertion point goes to
    // the row that took its place, else to the row above, else (the table is
    // gone) below it. Outside a table nothing happens.
    void DeleteRow();

    // Paragraphs typed into from now on wrap `twips` in from the left after
    // their first line; 0 (or less) ends it.
    void SetHangingIndent(int twips) { m_hangingIndent = std::max(twips, 0); }
    // Paragraphs typed into from now on keep with what follows them.
    void SetKeepWithNext(bool on) { m_keepWithNext = on; }

    // Puts a picture in a centred paragraph of its own.
    void AddPicture(RtfPicture picture);

    // True while nothing has been typed.
    bool Empty() const;

    // Appends the RTF of the flow; tables span `textWidth` twips.
    void Render(std::string& out, int textWidth) const;

  private:
    struct Run {
        std::string text;
        int size = 12;
        bool bold = false;
    };
    using Piece = std::variant<Run, RtfPicture>;
    struct Paragraph {
        ParagraphAlign align = ParagraphAlign::Left;
        int markSize = 12;
        int hangingIndent = 0;  // twips
        std::vector<Piece> pieces;
        bool keepWithNext = false;
    };
    struct Cell {
        std::vector<Paragraph> paragraphs;
    };
    struct Table {
        int columns = 1;
        int fontSize = 12;
        std::vector<std::vector<Cell>> rows;
        std::vector<int> weights;  // empty: equal columns
        bool mayBreak = false;
    };
    using Block = std::variant<Paragraph, Table>;

    Paragraph& Current();
    Table& CurrentTable();
    static void AppendRow(Table& table);
    bool IsOpeningParagraph(const Paragraph& paragraph) const;
    static void RenderParagraph(std::string& out, const Paragraph& paragraph, bool inCell,
                                bool head, int width, bool keepWithNext = false);
    static bool KeptTogether(const Table& table);
    static bool HasHeaderRow(const Table& table);
    static void RenderTable(std::string& out, const Table& table, int textWidth);

    Placement m_placement;
    // Invariant: the last block is a paragraph; a table is always followed by
    // the paragraph that the insertion point reaches when it leaves the table.
    std::vector<Block> m_blocks;
    bool m_inTable = false;  // the insertion point is in the table before the last block
    std::size_t m_row = 0;
    std::size_t m_column = 0;
    int m_hangingIndent = 0;
    bool m_keepWithNext = false;
};

}  // namespace zorvek
