#include "reports/excel/xlsx_writer.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/atomic_file.h"
#include "model/binary_file.h"
#include "model/cp1251.h"
#include "model/scratch_file.h"
#include "reports/excel/c_numbers.h"
#include "reports/excel/comment_package.h"
#include "reports/excel/palette.h"
#include "reports/excel/quiet_stderr.h"
#include "reports/excel/sheet_ruler.h"
#include "reports/excel/sheet_view_patch.h"
#include "reports/excel/zip_archive.h"

namespace zorvek {
namespace {

constexpr const char* kSheetName = "Лист1";

// Comment boxes are laid out on the sheet's grid as this writer sizes it.
static_assert(kStandardRowHeightPt == LXW_DEF_ROW_HEIGHT);
static_assert(kStandardColumnWidth == LXW_DEF_COL_WIDTH);

constexpr std::uint8_t kPaperA4 = 9;
constexpr std::uint8_t kCyrillicCharset = 204;
// Far above the largest workbook the layer makes (well under 10 MB).
constexpr std::size_t kWorkbookLimit = std::size_t{1} << 30;

lxw_color_t LxwColour(std::uint32_t rgb) {
    // The writer reads 0 as "no colour"; black has its own code.
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

std::uint8_t LxwBorder(const BorderLine& line) {
    if (!line.Drawn()) return LXW_BORDER_NONE;
    switch (line.weight) {
        case kXlHairline:
            return LXW_BORDER_HAIR;
        case kXlMedium:
            return LXW_BORDER_MEDIUM;
        case kXlThick:
            return LXW_BORDER_THICK;
        default:
            return LXW_BORDER_THIN;
    }
}

std::uint8_t LxwAlign(int alignment) {
    switch (alignment) {
        case kXlAlignLeft:
            return LXW_ALIGN_LEFT;
        case kXlAlignCentre:
            return LXW_ALIGN_CENTER;
        case kXlAlignRight:
            return LXW_ALIGN_RIGHT;
        default:
            return LXW_ALIGN_NONE;
    }
}

class WorkbookWriter {
  public:
    WorkbookWriter(const Sheet& sheet, lxw_workbook* workbook, lxw_worksheet* worksheet)
        : m_sheet(sheet), m_workbook(workbook), m_worksheet(worksheet) {}

    lxw_error Write() {
        lxw_error error = WriteColumns();
        if (error == LXW_NO_ERROR) error = WriteRows();
        if (error == LXW_NO_ERROR) WriteWindowAndPage();
        if (error == LXW_NO_ERROR) error = WritePrintSetup();
        return error;
    }

  private:
    // Equal looks share one format.
    lxw_format* FormatFor(const CellFormat& look) {
        const auto found = m_formats.find(look);
        if (found != m_formats.end()) return found->second;
        lxw_format* format = workbook_add_format(m_workbook);
        // The charset keeps every format apart from the workbook's default
        // one, so each written cell names its format: some readers give a
        // cell that names none its column's format instead of the default.
        format_set_font_charset(format, kCyrillicCharset);
        if (look.bold) format_set_bold(format);
        format_set_font_size(format, look.fontSize);
        if (const auto rgb = PaletteColour(look.fontColorIndex)) {
            format_set_font_color(format, LxwColour(*rgb));
        }
        if (const auto rgb = PaletteColour(look.interiorColorIndex)) {
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, LxwColour(*rgb));
        }
        if (const std::uint8_t align = LxwAlign(look.horizontalAlignment);
            align != LXW_ALIGN_NONE) {
            format_set_align(format, align);
        }
        SetSide(format, look.Border(CellSide::Left), format_set_left, format_set_left_color);
        SetSide(format, look.Border(CellSide::Top), format_set_top, format_set_top_color);
        SetSide(format, look.Border(CellSide::Bottom), format_set_bottom, format_set_bottom_color);
        SetSide(format, look.Border(CellSide::Right), format_set_right, format_set_right_color);
        SetDiagonals(format, look.Border(CellSide::DiagonalDown),
                     look.Border(CellSide::DiagonalUp));
        m_formats.emplace(look, format);
        return format;
    }

    static void SetSide(lxw_format* format, const BorderLine& line,
                        void (*setStyle)(lxw_format*, std::uint8_t),
                        void (*setColour)(lxw_format*, lxw_color_t)) {
        if (!line.Drawn()) return;
        setStyle(format, LxwBorder(line));
        if (const auto rgb = PaletteColour(line.colorIndex)) setColour(format, LxwColour(*rgb));
    }

    // The file has one style for both diagonals; the downward one wins.
    static void SetDiagonals(lxw_format* format, const BorderLine& down, const BorderLine& up) {
        if (!down.Drawn() && !up.Drawn()) return;
        format_set_diag_type(format, down.Drawn() && up.Drawn() ? LXW_DIAGONAL_BORDER_UP_DOWN
                                     : down.Drawn()             ? LXW_DIAGONAL_BORDER_DOWN
                                                                : LXW_DIAGONAL_BORDER_UP);
        const BorderLine& line = down.Drawn() ? down : up;
        format_set_diag_border(format, LxwBorder(line));
        if (const auto rgb = PaletteColour(line.colorIndex)) {
            format_set_diag_color(format, LxwColour(*rgb));
        }
    }

    // Columns go out as runs that do not overlap: the writer drops an
    // earlier run when a later one overlaps it. Every column is written when
    // the sheet has its own width or format, so that empty cells show them.
    lxw_error WriteColumns() {
        const bool formatted = m_sheet.Format() != CellFormat{};
        lxw_format* format = formatted ? FormatFor(m_sheet.Format()) : nullptr;
        const bool everyColumn = formatted || m_sheet.AllColumnsWidth().has_value();
        const double standard = m_sheet.AllColumnsWidth().value_or(kStandardColumnWidth);
        int next = 0;
        lxw_error error = LXW_NO_ERROR;
        const auto run = [&](int first, int last, double width) {
            if (error == LXW_NO_ERROR) {
                error = worksheet_set_column(m_worksheet, static_cast<lxw_col_t>(first),
                                             static_cast<lxw_col_t>(last), width, format);
            }
        };
        for (const auto& [col, width] : m_sheet.ColumnWidths()) {
            if (everyColumn && col > next) run(next, col - 1, standard);
            run(col, col, width);
            next = col + 1;
        }
        if (everyColumn && next < kSheetColumns) run(next, kSheetColumns - 1, standard);
        return error;
    }

    lxw_error WriteRows() {
        for (const auto& [r, row] : m_sheet.Rows()) {
            const auto lxwRow = static_cast<lxw_row_t>(r);
            for (const auto& [c, cell] : row.cells) {
                const lxw_error error = WriteCell(lxwRow, static_cast<lxw_col_t>(c), cell);
                if (error != LXW_NO_ERROR) return error;
            }
            // A written file has to give a row the height typing would.
            const double height = RowHeightPt(row);
            if (row.format || height != kStandardRowHeightPt) {
                const lxw_error error = worksheet_set_row(
                    m_worksheet, lxwRow, height, row.format ? FormatFor(*row.format) : nullptr);
                if (error != LXW_NO_ERROR) return error;
            }
        }
        return LXW_NO_ERROR;
    }

    // Texts go out as strings whatever they look like: no text is ever taken
    // for a formula.
    lxw_error WriteCell(lxw_row_t row, lxw_col_t col, const SheetCell& cell) {
        lxw_format* format = FormatFor(cell.format);
        if (cell.number) return worksheet_write_number(m_worksheet, row, col, *cell.number, format);
        if (cell.text.empty()) return worksheet_write_blank(m_worksheet, row, col, format);
        return worksheet_write_string(m_worksheet, row, col, Utf8FromCp1251(cell.text).c_str(),
                                      format);
    }

    void WriteWindowAndPage() {
        if (!m_sheet.DisplayGridlines()) worksheet_gridlines(m_worksheet, LXW_HIDE_ALL_GRIDLINES);
        if (const auto frozen = m_sheet.FrozenAt()) {
            worksheet_freeze_panes(m_worksheet, static_cast<lxw_row_t>(frozen->row),
                                   static_cast<lxw_col_t>(frozen->col));
        }
        const SheetSelection& selection = m_sheet.Selection();
        worksheet_set_selection(m_worksheet, static_cast<lxw_row_t>(selection.first.row),
                                static_cast<lxw_col_t>(selection.first.col),
                                static_cast<lxw_row_t>(selection.last.row),
                                static_cast<lxw_col_t>(selection.last.col));
        if (m_sheet.Orientation() == kXlLandscape) worksheet_set_landscape(m_worksheet);
        worksheet_set_paper(m_worksheet, kPaperA4);
    }

    lxw_error WritePrintSetup() {
        const SheetPrintSetup& print = m_sheet.PrintSetup();
        lxw_error error = LXW_NO_ERROR;
        if (print.titleRows > 0) {
            error = worksheet_repeat_rows(
                m_worksheet, static_cast<lxw_row_t>(print.titleFirstRow),
                static_cast<lxw_row_t>(print.titleFirstRow + print.titleRows - 1));
        }
        if (error == LXW_NO_ERROR && print.titleColumns > 0) {
            error = worksheet_repeat_columns(m_worksheet, 0,
                                             static_cast<lxw_col_t>(print.titleColumns - 1));
        }
        if (print.fitWidth) worksheet_fit_to_pages(m_worksheet, 1, 0);
        if (error == LXW_NO_ERROR && !print.footer.empty()) {
            error = worksheet_set_footer(m_worksheet, Utf8FromCp1251(print.footer).c_str());
        }
        if (error == LXW_NO_ERROR && print.printArea) {
            const auto& [first, last] = *print.printArea;
            error = worksheet_print_area(
                m_worksheet, static_cast<lxw_row_t>(first.row), static_cast<lxw_col_t>(first.col),
                static_cast<lxw_row_t>(last.row), static_cast<lxw_col_t>(last.col));
        }
        if (print.overThenDown) worksheet_print_across(m_worksheet);
        if (error == LXW_NO_ERROR && print.autoFilter) {
            const auto& [first, last] = *print.autoFilter;
            error = worksheet_autofilter(
                m_worksheet, static_cast<lxw_row_t>(first.row), static_cast<lxw_col_t>(first.col),
                static_cast<lxw_row_t>(last.row), static_cast<lxw_col_t>(last.col));
        }
        return error;
    }

    const Sheet& m_sheet;
    lxw_workbook* m_workbook;
    lxw_worksheet* m_worksheet;
    std::map<CellFormat, lxw_format*> m_formats;
};

// The writer's failures as results: what it could not do with a file has
// the system's reason in errno when it returns.
TransferResult WriterFailure(lxw_error error, int systemError) {
    switch (error) {
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return FailureFromErrno(ENOMEM, false);
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_PARAMETER_ERROR:
        case LXW_ERROR_ZIP_BAD_ZIP_FILE:
        case LXW_ERROR_ZIP_INTERNAL_ERROR:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            return FailureFromErrno(systemError != 0 ? systemError : EIO, false);
        default:
            // A value the writer refused (a text too long for a cell).
            return TransferResult::Fail(TransferError::IoError, EINVAL);
    }
}

// Without comments: the writer would spend most of the time of a large
// sheet on them, so they are added afterwards (see comment_package.h).
TransferResult WriteWorkbook(const Sheet& sheet, const std::filesystem::path& path) {
    lxw_workbook* workbook = workbook_new(NativeNameForCLibrary(path).c_str());
    if (workbook == nullptr) return WriterFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, 0);
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, kSheetName);
    const lxw_error written = worksheet == nullptr
                                  ? LXW_ERROR_MEMORY_MALLOC_FAILED
                                  : WorkbookWriter(sheet, workbook, worksheet).Write();
    lxw_error closed = LXW_NO_ERROR;
    int systemError = 0;
    {
        // Closing writes the file; the writer's own lines about a failure
        // would reach the user's terminal in English.
        const QuietStderr quiet;
        const CNumbersScope numbers;
        errno = 0;
        // Closing also frees the workbook, so it runs even after a failure.
        closed = workbook_close(workbook);
        systemError = errno;
    }
    if (written != LXW_NO_ERROR) return WriterFailure(written, 0);
    if (closed != LXW_NO_ERROR) return WriterFailure(closed, systemError);
    return TransferResult::Ok();
}

// The workbook as the writer makes it. The writer only writes to a file it
// opens itself, so it fills a scratch file, which is read back and removed.
std::optional<std::string> WorkbookBytes(const Sheet& sheet, TransferResult& result) {
    const ScratchFile scratch("workbook");
    result = scratch.Made();
    if (result) result = WriteWorkbook(sheet, scratch.Path());
    if (!result) return std::nullopt;
    const std::optional<std::vector<std::uint8_t>> bytes =
        ReadWholeFile(scratch.Path(), kWorkbookLimit, result);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

using PackedComments = std::future<std::optional<std::string>>;

// Whether an XML part ends with the end tag of the element it begins with.
bool IsWholeXml(std::string_view xml) {
    std::size_t root = xml.find('<');
    // Past the declaration and any comments.
    while (root != std::string_view::npos && root + 1 < xml.size() &&
           (xml[root + 1] == '?' || xml[root + 1] == '!')) {
        root = xml.find('<', root + 1);
    }
    if (root == std::string_view::npos) return false;
    const std::size_t nameEnd = xml.find_first_of(" \t\r\n/>", root + 1);
    const std::size_t last = xml.find_last_not_of(" \t\r\n");
    if (nameEnd == std::string_view::npos || last == std::string_view::npos) return false;
    const std::string_view body = xml.substr(0, last + 1);
    const std::string_view name = xml.substr(root + 1, nameEnd - root - 1);
    const std::size_t rootEnd = xml.find('>', root);
    return (body.ends_with('>') && body.size() > name.size() + 3 &&
            body.substr(body.size() - name.size() - 3) == "</" + std::string(name) + ">") ||
           (rootEnd == last && body.ends_with("/>"));
}

// What the writer cannot do: the view and the comments. Only the package entries that
// change are packed again, at the fastest level; the others keep the
// writer's packing, and the comment parts come packed from their own thread.
std::optional<std::string> FinishPackage(const Sheet& sheet, std::string workbook,
                                         PackedComments& comments) {
    const std::unique_ptr<MemoryZip> package = MemoryZip::Open(std::move(workbook));
    if (!package) return std::nullopt;
    // The writer assembles each part in a file of its own and packs what
    // the file holds without noticing that writing it failed (a full disk),
    // so a part may be cut short: every part must end as it began.
    std::optional<std::vector<ZipEntry>> parts = package->Entries();
    if (!parts || !std::all_of(parts->begin(), parts->end(),
                               [](const ZipEntry& part) { return IsWholeXml(part.data); })) {
        return std::nullopt;
    }
    const bool pageBreaks = sheet.View() == kXlPageBreakPreview;
    if (pageBreaks) {
        ZipEntry* sheetPart = FindEntry(*parts, kSheetPart);
        if (sheetPart == nullptr || !SetPageBreakPreview(sheetPart->data)) return std::nullopt;
    }
    if (comments.valid() && !LinkCommentParts(*parts)) return std::nullopt;
    if (pageBreaks || comments.valid()) {
        for (ZipEntry& part : *parts) {
            if (part.name != kSheetPart && part.name != kContentTypesPart &&
                part.name != kSheetRelsPart) {
                continue;
            }
            if (!package->Put(std::move(part.name), std::move(part.data))) return std::nullopt;
        }
    }
    if (comments.valid()) {
        std::optional<std::string> packed = comments.get();
        std::unique_ptr<MemoryZip> commentParts =
            packed ? MemoryZip::Open(std::move(*packed)) : nullptr;
        if (!commentParts || !package->TakeAll(std::move(commentParts))) return std::nullopt;
    }
    return package->Close();
}

}  // namespace

TransferResult WriteXlsx(const Sheet& sheet, const std::filesystem::path& path) {
    // The comment parts need nothing but the sheet, and for a large sheet
    // take as long as the rest: they are made on a thread of their own (where
    // one can be had) while the writer writes. The future waits for them
    // however this ends.
    PackedComments comments;
    if (!sheet.Comments().empty()) comments = std::async(PackCommentParts, std::cref(sheet));
    TransferResult result;
    std::optional<std::string> workbook = WorkbookBytes(sheet, result);
    if (!workbook) return result;
    const std::optional<std::string> package = FinishPackage(sheet, std::move(*workbook), comments);
    // A package the writer cut short (see FinishPackage), or no memory.
    if (!package) return TransferResult::Fail(TransferError::IoError);
    return WriteFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(package->data()), package->size()));
}

}  // namespace zorvek
