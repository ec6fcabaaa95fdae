#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zorvek {

// A document as it goes onto paper: its page, then paragraphs, tables and
// pictures in reading order. The RTF documents and the workbook are both read
// into it, and the one paper writer lays it out for the PDF file, the preview
// and the printer. Lengths are twips (1/20 point); font sizes are points;
// texts are UTF-8.
enum class PaperFont { Serif, Mono, Sans };

enum class PaperAlign { Left, Centre, Right };

struct PaperRun {
    // A TAB moves to the paragraph's next tab stop, a LF starts a new line
    // within the paragraph.
    std::string text;
    double sizePt = 12;
    bool bold = false;
    PaperFont font = PaperFont::Serif;
    std::uint32_t colour = 0x000000;  // RGB
};

// A picture shown at the given size, centred in its paragraph.
struct PaperPicture {
    std::vector<std::uint8_t> png;
    int width = 0;
    int height = 0;
};

struct PaperParagraph {
    PaperAlign align = PaperAlign::Left;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int leftIndent = 0;   // from the text's (or the cell's) left edge
    int firstIndent = 0;  // of the first line, from leftIndent; negative: hanging
    int rightIndent = 0;
    // Tab stops from the text's left edge; where none is left, every half inch.
    std::vector<int> tabStops;
    bool keepWithNext = false;  // stays on the page of the block after it
    bool pageBreakBefore = false;
    std::vector<PaperRun> runs;
    // A paragraph holding a picture holds no runs. An empty paragraph
    // still takes one line of `emptySizePt` (its mark's size).
    std::optional<PaperPicture> picture;
    double emptySizePt = 12;
};

enum class PaperVerticalAlign { Top, Centre, Bottom };

struct PaperCell {
    int right = 0;  // the cell's right edge, from the row's left edge
    // Frame line widths; 0 draws no line.
    int borderLeft = 0;
    int borderTop = 0;
    int borderRight = 0;
    int borderBottom = 0;
    PaperVerticalAlign verticalAlign = PaperVerticalAlign::Top;
    std::optional<std::uint32_t> fill;  // RGB; none: the page shows through
    std::vector<PaperParagraph> paragraphs;
};

struct PaperRow {
    int left = 0;  // the row's left edge, from the text's left edge
    int gap = 0;   // space between a cell's edge and its text, each side
    int minHeight = 0;
    // Header rows open the table and are repeated at the top of every page
    // the table continues on.
    bool header = false;
    // Stays on the page of the row after it: a short table kept whole.
    bool keepWithNext = false;
    std::vector<PaperCell> cells;
};

// Rows are never split across pages, and a table's header rows never stand
// at a page's foot without the first row that follows them.
struct PaperTable {
    std::vector<PaperRow> rows;
    bool pageBreakBefore = false;
    // Stays on the page of the block after it (a short table and its note).
    bool keepWithNext = false;
};

struct PaperPage {
    // A4 portrait by default.
    int width = 11906;
    int height = 16838;
    int marginLeft = 1418;
    int marginRight = 850;
    int marginTop = 1134;
    int marginBottom = 1134;

    int TextWidth() const { return width - marginLeft - marginRight; }
    bool Landscape() const { return width > height; }
};

using PaperBlock = std::variant<PaperParagraph, PaperTable>;

struct PaperDocument {
    PaperPage page;
    std::vector<PaperBlock> blocks;
    // Every page carries "Стр. N из M" at its foot, inside the bottom margin.
    bool pageNumbers = true;
    // A line under the page number on every page: what ties the page to its
    // read-out (see StampLine). Empty: none.
    std::string footer;
    std::string title;  // the document's name in the PDF's properties
};

}  // namespace zorvek
