#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <map>
#include <numeric>
#include <optional>
#include <string>

#include "reports/paper/paper_fonts.h"
#include "reports/paper/paper_writer.h"

namespace zorvek {
namespace {

constexpr double kFooterSizePt = 10;
constexpr double kFooterLineSizePt = 8;
constexpr double kDefaultTabTwips = 709;

QString QStringOf(const std::string& utf8) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QChar('\n'), QChar::LineSeparator);
    return text;
}

QColor ColourOf(std::uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

Qt::Alignment QtAlignment(PaperAlign align) {
    switch (align) {
        case PaperAlign::Centre:
            return Qt::AlignHCenter;
        case PaperAlign::Right:
            return Qt::AlignRight;
        case PaperAlign::Left:
            break;
    }
    return Qt::AlignLeft;
}

// A paragraph whose one line is one format needs no text layout: measuring
// and drawing it straight is what keeps a long workbook fast.
bool OneFormat(const PaperParagraph& paragraph) {
    if (paragraph.runs.empty() || !paragraph.tabStops.empty()) return false;
    const PaperRun& first = paragraph.runs.front();
    return std::all_of(paragraph.runs.begin(), paragraph.runs.end(), [&](const PaperRun& run) {
        return run.font == first.font && run.sizePt == first.sizePt && run.bold == first.bold &&
               run.colour == first.colour && run.text.find_first_of("\t\n") == std::string::npos;
    });
}

std::string JoinedText(const PaperParagraph& paragraph) {
    std::string text;
    for (const PaperRun& run : paragraph.runs) text += run.text;
    return text;
}

// The lines of one paragraph set at a width: their heights, and what draws
// them. Built once to measure and once more to paint, so that no layout of
// a thousand-row table is held in memory.
class SetParagraph {
  public:
    SetParagraph(const PaperParagraph& paragraph, double width, PaperFonts& fonts)
        : m_paragraph(paragraph), m_width(width), m_fonts(fonts) {
        if (paragraph.picture) {
            m_heights.push_back(paragraph.picture->height);
        } else if (paragraph.runs.empty()) {
            m_heights.push_back(
                fonts.Metrics(PaperFont::Serif, paragraph.emptySizePt, false).lineSpacing());
        } else if (!SetAsOneLine()) {
            SetWithLayout();
        }
    }

    const std::vector<double>& Heights() const { return m_heights; }

    // Draws lines [first, first + count) with the first one's top at `top`;
    // `left` is the text's (or the cell's) left edge.
    void Paint(QPainter& painter, double left, double top, int first, int count) const {
        if (m_paragraph.picture) {
            PaintPicture(painter, left, top);
            return;
        }
        if (m_simple) {
            const PaperRun& run = m_paragraph.runs.front();
            painter.setPen(ColourOf(run.colour));
            for (const QGlyphRun& glyphs : m_simple->glyphs) {
                painter.drawGlyphRun(QPointF(left + m_simpleX, top), glyphs);
            }
            return;
        }
        if (!m_layout) return;
        const double shift = top - m_layout->lineAt(first).y();
        for (int i = first; i < first + count && i < m_layout->lineCount(); ++i) {
            m_layout->lineAt(i).draw(&painter, QPointF(left, shift));
        }
    }

  private:
    double LineStart(bool firstLine) const {
        return m_paragraph.leftIndent + (firstLine ? m_paragraph.firstIndent : 0);
    }
    double LineWidth(bool firstLine) const {
        return std::max(1.0, m_width - LineStart(firstLine) - m_paragraph.rightIndent);
    }

    bool SetAsOneLine() {
        if (!OneFormat(m_paragraph)) return false;
        const PaperRun& run = m_paragraph.runs.front();
        const QFontMetricsF& metrics = m_fonts.Metrics(run.font, run.sizePt, run.bold);
        const PaperFonts::Shaped& shaped =
            m_fonts.Shape(run.font, run.sizePt, run.bold, QStringOf(JoinedText(m_paragraph)));
        const double advance = shaped.advance;
        const double room = LineWidth(true);
        if (advance > room) return false;
        m_simple = &shaped;
        m_simpleX = LineStart(true);
        if (m_paragraph.align == PaperAlign::Centre) m_simpleX += (room - advance) / 2;
        if (m_paragraph.align == PaperAlign::Right) m_simpleX += room - advance;
        m_heights.push_back(metrics.lineSpacing());
        return true;
    }

    void SetWithLayout() {
        QString text;
        QList<QTextLayout::FormatRange> formats;
        for (const PaperRun& run : m_paragraph.runs) {
            const QString piece = QStringOf(run.text);
            QTextLayout::FormatRange range;
            range.start = static_cast<int>(text.size());
            range.length = static_cast<int>(piece.size());
            range.format.setFont(m_fonts.Font(run.font, run.sizePt, run.bold));
            range.format.setForeground(ColourOf(run.colour));
            formats.push_back(range);
            text += piece;
        }
        const PaperRun& first = m_paragraph.runs.front();
        m_layout =
            std::make_unique<QTextLayout>(text, m_fonts.Font(first.font, first.sizePt, first.bold));
        m_layout->setFormats(formats);
        QTextOption option(QtAlignment(m_paragraph.align));
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        QList<QTextOption::Tab> tabs;
        for (const int stop : m_paragraph.tabStops)
            tabs.push_back(QTextOption::Tab(stop, QTextOption::LeftTab));
        option.setTabs(tabs);
        option.setTabStopDistance(kDefaultTabTwips);
        m_layout->setTextOption(option);
        m_layout->setCacheEnabled(true);
        m_layout->beginLayout();
        double y = 0;
        for (bool firstLine = true;; firstLine = false) {
            QTextLine line = m_layout->createLine();
            if (!line.isValid()) break;
            line.setLeadingIncluded(true);
            line.setLineWidth(LineWidth(firstLine));
            line.setPosition(QPointF(LineStart(firstLine), y));
            y += line.height();
            m_heights.push_back(line.height());
        }
        m_layout->endLayout();
        if (m_heights.empty())
            m_heights.push_back(
                m_fonts.Metrics(first.font, first.sizePt, first.bold).lineSpacing());
    }

    void PaintPicture(QPainter& painter, double left, double top) const {
        const PaperPicture& picture = *m_paragraph.picture;
        QImage image;
        if (!image.loadFromData(picture.png.data(), static_cast<int>(picture.png.size()), "PNG"))
            return;
        double x = left + m_paragraph.leftIndent;
        const double room = m_width - m_paragraph.leftIndent - m_paragraph.rightIndent;
        if (m_paragraph.align == PaperAlign::Centre) x += (room - picture.width) / 2;
        if (m_paragraph.align == PaperAlign::Right) x += room - picture.width;
        painter.drawImage(QRectF(x, top, picture.width, picture.height), image);
    }

    const PaperParagraph& m_paragraph;
    double m_width;
    PaperFonts& m_fonts;
    std::vector<double> m_heights;
    const PaperFonts::Shaped* m_simple = nullptr;  // held by the fonts' cache
    double m_simpleX = 0;
    std::unique_ptr<QTextLayout> m_layout;
};

double Sum(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0);
}

double CellLeft(const PaperRow& row, std::size_t cell) {
    return cell == 0 ? 0.0 : row.cells[cell - 1].right;
}

double CellTextWidth(const PaperRow& row, std::size_t cell) {
    return std::max(1.0, row.cells[cell].right - CellLeft(row, cell) - 2.0 * row.gap);
}

double ParagraphHeight(const PaperParagraph& paragraph, double width, PaperFonts& fonts) {
    return paragraph.spaceBefore + Sum(SetParagraph(paragraph, width, fonts).Heights()) +
           paragraph.spaceAfter;
}

double CellContentHeight(const PaperRow& row, std::size_t cell, PaperFonts& fonts) {
    double height = 0;
    for (const PaperParagraph& paragraph : row.cells[cell].paragraphs) {
        height += ParagraphHeight(paragraph, CellTextWidth(row, cell), fonts);
    }
    return height;
}

double RowHeight(const PaperRow& row, PaperFonts& fonts) {
    double height = row.minHeight;
    for (std::size_t cell = 0; cell < row.cells.size(); ++cell) {
        height = std::max(height, CellContentHeight(row, cell, fonts));
    }
    return height;
}

// A page's frame lines by their width: drawn after every fill, so that a
// neighbour's fill never covers a line, and all of one width as one path, so
// that a long table's file stays small.
using Frames = std::map<int, QList<QLineF>>;

void AddFrames(Frames& lines, const PaperRow& row, double rowLeft, double top, double height) {
    const auto add = [&](int width, QPointF from, QPointF to) {
        if (width > 0) lines[width].push_back(QLineF(from, to));
    };
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        const PaperCell& cell = row.cells[i];
        const double left = rowLeft + CellLeft(row, i);
        const double right = rowLeft + cell.right;
        // A left edge the neighbour's right edge already drew is drawn once.
        if (i == 0 || row.cells[i - 1].borderRight < cell.borderLeft) {
            add(cell.borderLeft, {left, top}, {left, top + height});
        }
        add(cell.borderRight, {right, top}, {right, top + height});
        add(cell.borderTop, {left, top}, {right, top});
        add(cell.borderBottom, {left, top + height}, {right, top + height});
    }
}

void PaintFrames(QPainter& painter, const Frames& lines) {
    for (const auto& [width, group] : lines) {
        QPen pen(Qt::black, width);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLines(group);
    }
}

void PaintRow(QPainter& painter, const PaperRow& row, double textLeft, double top, double height,
              PaperFonts& fonts, Frames& frames) {
    const double rowLeft = textLeft + row.left;
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        const PaperCell& cell = row.cells[i];
        const QRectF box(rowLeft + CellLeft(row, i), top, cell.right - CellLeft(row, i), height);
        if (cell.fill) painter.fillRect(box, ColourOf(*cell.fill));
        const double width = CellTextWidth(row, i);
        std::vector<SetParagraph> set;
        set.reserve(cell.paragraphs.size());
        double content = 0;
        for (const PaperParagraph& paragraph : cell.paragraphs) {
            set.emplace_back(paragraph, width, fonts);
            content += paragraph.spaceBefore + Sum(set.back().Heights()) + paragraph.spaceAfter;
        }
        double y = top;
        if (cell.verticalAlign == PaperVerticalAlign::Centre) y += (height - content) / 2;
        if (cell.verticalAlign == PaperVerticalAlign::Bottom) y += height - content;
        for (std::size_t p = 0; p < set.size(); ++p) {
            y += cell.paragraphs[p].spaceBefore;
            set[p].Paint(painter, box.left() + row.gap, y, 0,
                         static_cast<int>(set[p].Heights().size()));
            y += Sum(set[p].Heights()) + cell.paragraphs[p].spaceAfter;
        }
    }
    AddFrames(frames, row, rowLeft, top, height);
}

}  // namespace

// What one page shows: parts of paragraphs and whole table rows, each at
// its place.
struct PlacedLines {
    const PaperParagraph* paragraph = nullptr;
    double top = 0;  // of the first line shown
    int first = 0;
    int count = 0;
};
struct PlacedRow {
    const PaperRow* row = nullptr;
    double top = 0;
    double height = 0;
};
using Placed = std::variant<PlacedLines, PlacedRow>;

class PaperLayoutData {
  public:
    explicit PaperLayoutData(const PaperDocument& source) : document(source) { Paginate(); }

    void Paint(QPainter& painter, int index) {
        const PaperPage& page = document.page;
        const double width = page.TextWidth();
        Frames frames;
        for (const Placed& placed : pages[static_cast<std::size_t>(index)]) {
            if (const auto* lines = std::get_if<PlacedLines>(&placed)) {
                SetParagraph(*lines->paragraph, width, fonts)
                    .Paint(painter, page.marginLeft, lines->top, lines->first, lines->count);
            } else {
                const auto& row = std::get<PlacedRow>(placed);
                PaintRow(painter, *row.row, page.marginLeft, row.top, row.height, fonts, frames);
            }
        }
        PaintFrames(painter, frames);
        if (document.pageNumbers) PaintPageNumber(painter, index);
        if (!document.footer.empty()) PaintFooterLine(painter);
    }

    PaperDocument document;
    PaperFonts fonts;
    std::vector<std::vector<Placed>> pages;

  private:
    double Top() const { return document.page.marginTop; }
    double Bottom() const { return document.page.height - document.page.marginBottom; }
    double PageRoom() const { return Bottom() - Top(); }
    bool PageEmpty() const { return pages.back().empty(); }
    void NewPage() {
        pages.emplace_back();
        m_y = Top();
    }
    // Breaks before something `height` tall that would not fit below, unless
    // it stands at a page's top already or is taller than any page.
    void KeepTogether(double height) {
        if (m_y + height > Bottom() && !PageEmpty() && height <= PageRoom()) NewPage();
    }

    static std::size_t HeaderRows(const PaperTable& table) {
        std::size_t count = 0;
        while (count < table.rows.size() && table.rows[count].header) ++count;
        return count;
    }

    // How much of block `index` must share a page with what keeps with it:
    // a paragraph's first line, a table's head and first row.
    double FirstUnit(std::size_t index) {
        if (index >= document.blocks.size()) return 0;
        const PaperBlock& block = document.blocks[index];
        if (const auto* paragraph = std::get_if<PaperParagraph>(&block)) {
            const SetParagraph set(*paragraph, document.page.TextWidth(), fonts);
            return paragraph->spaceBefore + set.Heights().front();
        }
        const auto& table = std::get<PaperTable>(block);
        double height = 0;
        for (std::size_t i = 0; i < HeaderRows(table); ++i)
            height += RowHeight(table.rows[i], fonts);
        return height + RowChain(table, HeaderRows(table), nullptr);
    }

    // The height of the rows from `first` that keep with each other: the
    // first row alone, or it and the rows it keeps with, up to the first that
    // does not keep with the next.
    double RowChain(const PaperTable& table, std::size_t first,
                    const std::vector<double>* heights) {
        double height = 0;
        for (std::size_t i = first; i < table.rows.size(); ++i) {
            height += heights != nullptr ? (*heights)[i] : RowHeight(table.rows[i], fonts);
            if (!table.rows[i].keepWithNext) break;
        }
        return height;
    }

    double WholeHeight(std::size_t index) {
        const PaperBlock& block = document.blocks[index];
        if (const auto* paragraph = std::get_if<PaperParagraph>(&block)) {
            return ParagraphHeight(*paragraph, document.page.TextWidth(), fonts);
        }
        double height = 0;
        for (const PaperRow& row : std::get<PaperTable>(block).rows)
            height += RowHeight(row, fonts);
        return height;
    }

    static bool KeepsWithNext(const PaperBlock& block) {
        if (const auto* paragraph = std::get_if<PaperParagraph>(&block))
            return paragraph->keepWithNext;
        return std::get<PaperTable>(block).keepWithNext;
    }

    // A heading kept with its table keeps the table's head and first row on
    // its page; a chain of such blocks moves as one.
    void KeepChain(std::size_t index) {
        double height = 0;
        std::size_t next = index;
        while (next < document.blocks.size() && KeepsWithNext(document.blocks[next])) {
            height += WholeHeight(next);
            ++next;
        }
        if (next == index) return;
        KeepTogether(height + FirstUnit(next));
    }

    void PlaceParagraph(const PaperParagraph& paragraph) {
        if (paragraph.pageBreakBefore && !PageEmpty()) NewPage();
        const SetParagraph set(paragraph, document.page.TextWidth(), fonts);
        const std::vector<double>& heights = set.Heights();
        // A picture is one unbreakable line.
        if (paragraph.picture) KeepTogether(paragraph.spaceBefore + heights.front());
        m_y += paragraph.spaceBefore;
        PlacedLines part{&paragraph, m_y, 0, 0};
        for (std::size_t i = 0; i < heights.size(); ++i) {
            if (m_y + heights[i] > Bottom() && (part.count > 0 || !PageEmpty())) {
                if (part.count > 0) pages.back().push_back(part);
                NewPage();
                part = PlacedLines{&paragraph, m_y, static_cast<int>(i), 0};
            }
            m_y += heights[i];
            ++part.count;
        }
        pages.back().push_back(part);
        m_y = std::min(m_y + paragraph.spaceAfter, Bottom());
    }

    void PlaceRow(const PaperRow& row, double height) {
        pages.back().push_back(PlacedRow{&row, m_y, height});
        m_y += height;
    }

    void PlaceTable(const PaperTable& table) {
        if (table.rows.empty()) return;
        if (table.pageBreakBefore && !PageEmpty()) NewPage();
        std::vector<double> heights;
        heights.reserve(table.rows.size());
        for (const PaperRow& row : table.rows) heights.push_back(RowHeight(row, fonts));
        const std::size_t head = HeaderRows(table);
        const double headHeight = std::accumulate(
            heights.begin(), heights.begin() + static_cast<std::ptrdiff_t>(head), 0.0);
        const auto placeHead = [&] {
            for (std::size_t i = 0; i < head; ++i) PlaceRow(table.rows[i], heights[i]);
        };
        // The head never stands alone at a page's foot.
        KeepTogether(headHeight + RowChain(table, head, &heights));
        placeHead();
        for (std::size_t i = head; i < table.rows.size(); ++i) {
            const bool chainStarts = i > head && !table.rows[i - 1].keepWithNext;
            const double needed = chainStarts ? RowChain(table, i, &heights) : heights[i];
            // Rows kept together move to the next page as one, unless they
            // would not fit there either.
            const bool fits = needed <= PageRoom() - headHeight;
            if (m_y + (fits ? needed : heights[i]) > Bottom() && m_y > Top() + headHeight) {
                NewPage();
                placeHead();
            }
            PlaceRow(table.rows[i], heights[i]);
        }
    }

    void Paginate() {
        NewPage();
        for (std::size_t i = 0; i < document.blocks.size(); ++i) {
            KeepChain(i);
            if (const auto* paragraph = std::get_if<PaperParagraph>(&document.blocks[i])) {
                PlaceParagraph(*paragraph);
            } else {
                PlaceTable(std::get<PaperTable>(document.blocks[i]));
            }
        }
    }

    void PaintPageNumber(QPainter& painter, int index) {
        const PaperPage& page = document.page;
        const QString text = QStringLiteral("Стр. %1 из %2").arg(index + 1).arg(pages.size());
        const QFont& font = fonts.Font(PaperFont::Serif, kFooterSizePt, false);
        const QFontMetricsF& metrics = fonts.Metrics(PaperFont::Serif, kFooterSizePt, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const double x = page.marginLeft + (page.TextWidth() - metrics.horizontalAdvance(text)) / 2;
        const double baseline = page.height - page.marginBottom / 2.0 + metrics.ascent() / 2;
        painter.drawText(QPointF(x, baseline), text);
    }

    // Under the page number, in one piece, so that the text a reader takes
    // from the file holds the fingerprint whole.
    void PaintFooterLine(QPainter& painter) {
        const PaperPage& page = document.page;
        const QString text = QString::fromStdString(document.footer);
        const QFont& font = fonts.Font(PaperFont::Serif, kFooterLineSizePt, false);
        const QFontMetricsF& metrics = fonts.Metrics(PaperFont::Serif, kFooterLineSizePt, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const double x = page.marginLeft + (page.TextWidth() - metrics.horizontalAdvance(text)) / 2;
        const double numberBaseline =
            page.height - page.marginBottom / 2.0 +
            fonts.Metrics(PaperFont::Serif, kFooterSizePt, false).ascent() / 2;
        painter.drawText(QPointF(x, numberBaseline + metrics.height()), text);
    }

    double m_y = 0;
};

PaperLayout::PaperLayout(const PaperDocument& document)
    : m_data(std::make_unique<PaperLayoutData>(document)) {}
PaperLayout::~PaperLayout() = default;
PaperLayout::PaperLayout(PaperLayout&&) noexcept = default;
PaperLayout& PaperLayout::operator=(PaperLayout&&) noexcept = default;

int PaperLayout::PageCount() const { return static_cast<int>(m_data->pages.size()); }

const PaperPage& PaperLayout::Page() const { return m_data->document.page; }

void PaperLayout::PaintPage(QPainter& painter, int index) const {
    if (index < 0 || index >= PageCount()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The charts' thin lines and small figures would blur in JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    m_data->Paint(painter, index);
    painter.restore();
}

bool PaperLayout::Print(QPagedPaintDevice& device) const {
    const PaperPage& page = Page();
    const QSizeF portrait(std::min(page.width, page.height) / 20.0,
                          std::max(page.width, page.height) / 20.0);
    const QPageLayout layout(
        QPageSize(portrait, QPageSize::Point, QString(), QPageSize::FuzzyMatch),
        page.Landscape() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
        QPageLayout::Point);
    device.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double scaleX = device.logicalDpiX() / 1440.0;
    const double scaleY = device.logicalDpiY() / 1440.0;
    for (int i = 0; i < PageCount(); ++i) {
        if (i > 0 && !device.newPage()) return false;
        painter.save();
        painter.scale(scaleX, scaleY);
        PaintPage(painter, i);
        painter.restore();
    }
    return painter.end();
}

}  // namespace zorvek
