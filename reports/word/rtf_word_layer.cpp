#include "reports/word/rtf_word_layer.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <numeric>
#include <span>
#include <system_error>

#include "model/atomic_file.h"
#include "model/cp1251.h"
#include "reports/common/utf8_path.h"
#include "reports/word/png_size.h"
#include "reports/word/rtf_paper.h"
#include "reports/word/rtf_text.h"
#include "reports/word/word_messages.h"

namespace zorvek {
namespace {

constexpr int kDefaultFontSize = 12;
constexpr int kTopMargin = 400;  // 20 points
constexpr int kBottomMargin = 1134;

// A4 with the text wide enough for a three-column table of 25-step bars.
constexpr int kPortraitWidth = 11906;
constexpr int kPortraitHeight = 16838;
constexpr int kPortraitLeft = 1418;
constexpr int kPortraitRight = 850;
constexpr int kLandscapeSide = 1134;

constexpr std::string_view kNewDocumentTitle = "Документ";

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

std::string WithoutExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void AppendNumberWord(std::string& out, std::string_view word, int value) {
    out += word;
    out += std::to_string(value);
}

// The page number and the line under it, small and centred in the bottom
// margin. The reader fills in the page fields; their results are only what
// a reader that cannot count pages shows.
void AppendFooter(std::string& out, std::string_view line) {
    out += "{\\footer\\uc1\\pard\\plain\\qc\\fs16 ";
    AppendRtfText(out, Cp1251FromUtf8("Стр. "));
    out += "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}";
    AppendRtfText(out, Cp1251FromUtf8(" из "));
    out += "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par\n";
    if (!line.empty()) {
        out += "\\pard\\plain\\qc\\fs16 ";
        AppendRtfText(out, line);
        out += "\\par";
    }
    out += "}\n";
}

}  // namespace

RtfWordLayer::RtfWordLayer(std::filesystem::path templateDirectory, Notifier& notifier,
                           DocumentSink& sink)
    : m_templateDirectory(std::move(templateDirectory)), m_notifier(notifier), m_sink(sink) {}

// A document that fails before it is shown must not be taken for the
// previous one's write.
void RtfWordLayer::SetTitle(std::string_view utf8) {
    m_title = utf8;
    ForgetLastWrite();
}

void RtfWordLayer::ForgetLastWrite() {
    m_lastWrite = TransferResult::Ok();
    m_lastWriteFile.clear();
}

bool RtfWordLayer::WordOpenTemplate(std::string_view name) {
    ForgetLastWrite();
    m_template.reset();
    m_insertions.clear();
    const std::string utf8 = Utf8FromCp1251(name);
    const std::filesystem::path path = m_templateDirectory / PathOfUtf8(utf8);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        m_notifier.Notify(MissingTemplateMessage(name));
        return false;
    }
    std::optional<std::string> text = ReadWholeFile(path);
    std::optional<RtfTemplate> parsed = text ? RtfTemplate::Parse(std::move(*text)) : std::nullopt;
    if (!parsed) {
        // A template that is there but cannot be read is as damaged as one
        // that lacks a bookmark.
        m_notifier.Notify(DamagedTemplateMessage());
        m_mustTerminate = true;
        return false;
    }
    StartDocument(std::move(parsed), WithoutExtension(utf8));
    return true;
}

void RtfWordLayer::WordNewDocument(int orientation) {
    ForgetLastWrite();
    m_page = orientation == 1
                 ? Page{kPortraitHeight, kPortraitWidth, kLandscapeSide, kLandscapeSide, true}
                 : Page{kPortraitWidth, kPortraitHeight, kPortraitLeft, kPortraitRight, false};
    StartDocument(std::nullopt, std::string(kNewDocumentTitle));
}

void RtfWordLayer::StartDocument(std::optional<RtfTemplate> document, std::string defaultTitle) {
    m_template = std::move(document);
    m_insertions.clear();
    m_selectedFill.reset();
    m_fontSize = kDefaultFontSize;
    m_defaultTitle = std::move(defaultTitle);
    AddInsertion(m_template ? m_template->Start() : TemplateSpot{}, {});
}

void RtfWordLayer::AddInsertion(const TemplateSpot& spot, std::string fill) {
    const RtfFlow::Placement placement = !m_template    ? RtfFlow::Placement::Document
                                         : spot.inTable ? RtfFlow::Placement::InTemplateCell
                                                        : RtfFlow::Placement::InTemplate;
    m_insertions.push_back(Insertion{spot, RtfFlow(placement, m_fontSize), std::move(fill)});
    m_cursor = m_insertions.size() - 1;
}

void RtfWordLayer::WordFillBookmark(std::string_view name, std::string_view value) {
    if (!IsOpen()) return;
    // The fill first inverts the bold state of whatever is selected: the text
    // of the previous fill, unless something was typed or moved since.
    if (m_selectedFill) {
        Insertion& previous = m_insertions[*m_selectedFill];
        previous.toggled = !previous.toggled;
    }
    const TemplateSpot* spot = m_template ? m_template->FindBookmark(name) : nullptr;
    if (spot == nullptr) {
        // The selection stays where it was, so the next fill inverts the
        // same text once more.
        m_notifier.Notify(DamagedTemplateMessage());
        m_mustTerminate = true;
        return;
    }
    AddInsertion(*spot, std::string(value));
    m_selectedFill = m_cursor;
}

void RtfWordLayer::WordFillBookmark(std::string_view name, std::int64_t value) {
    WordFillBookmark(name, std::to_string(value));
}

RtfFlow& RtfWordLayer::TypingFlow() {
    // Typing replaces a selected fill.
    if (m_selectedFill) {
        m_insertions[*m_selectedFill].fill.clear();
        m_selectedFill.reset();
    }
    return m_insertions[m_cursor].flow;
}

void RtfWordLayer::WordWriteText(std::string_view text, int size, bool bold, ParagraphAlign align) {
    if (!IsOpen()) return;
    m_fontSize = size;
    TypingFlow().Type(text, size, bold, align);
}

void RtfWordLayer::WordWriteLine(std::string_view text, int size, bool bold, ParagraphAlign align) {
    if (!IsOpen()) return;
    m_fontSize = size;
    RtfFlow& flow = TypingFlow();
    flow.Type(text, size, bold, align);
    flow.NewParagraph(size);
}

void RtfWordLayer::WordAddTable(int rows, int columns, int fontSize) {
    if (!IsOpen()) return;
    m_fontSize = fontSize;
    TypingFlow().AddTable(rows, columns, fontSize);
}

void RtfWordLayer::WordWriteCell(std::string_view text, int size, bool bold, ParagraphAlign align) {
    if (!IsOpen()) return;
    m_fontSize = size;
    TypingFlow().WriteCell(text, size, bold, align);
}

void RtfWordLayer::WordSetColumnWidths(const std::vector<int>& weights) {
    if (!IsOpen()) return;
    m_insertions[m_cursor].flow.SetColumnWidths(weights);
}

void RtfWordLayer::WordLetTableBreak() {
    if (!IsOpen()) return;
    m_insertions[m_cursor].flow.LetTableBreak();
}

void RtfWordLayer::WordMoveDown() {
    if (!IsOpen()) return;
    m_selectedFill.reset();
    Insertion& at = m_insertions[m_cursor];
    if (at.flow.MoveDown() || !m_template) return;
    const std::optional<TemplateSpot> below = m_template->LineBelow(at.spot.offset);
    if (below) AddInsertion(*below, {});
}

void RtfWordLayer::WordDeleteRow() {
    if (!IsOpen()) return;
    m_selectedFill.reset();
    m_insertions[m_cursor].flow.DeleteRow();
}

void RtfWordLayer::WordNewParagraph() {
    if (!IsOpen()) return;
    TypingFlow().NewParagraph(m_fontSize);
}

void RtfWordLayer::WordSetHangingIndent(int twips) {
    if (!IsOpen()) return;
    m_insertions[m_cursor].flow.SetHangingIndent(twips);
}

void RtfWordLayer::WordKeepWithNext(bool on) {
    if (!IsOpen()) return;
    m_insertions[m_cursor].flow.SetKeepWithNext(on);
}

void RtfWordLayer::WordPasteCentered(const std::vector<std::uint8_t>& png) {
    if (!IsOpen()) return;
    const std::optional<PngSize> size = ReadPngSize(png);
    if (!size) return;
    TypingFlow().AddPicture(RtfPicture{png, *size});
}

bool RtfWordLayer::WordShow() {
    if (!IsOpen()) return false;
    if (!m_sink.Keeps("rtf")) return true;
    const std::string rtf = Rtf();
    m_lastWriteFile = m_sink.PathFor(m_title.empty() ? m_defaultTitle : m_title, "rtf");
    m_lastWrite = WriteFileAtomically(
        m_lastWriteFile, std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size()));
    m_sink.Finished(m_lastWriteFile, m_lastWrite);
    return m_lastWrite.Succeeded();
}

std::optional<PaperDocument> RtfWordLayer::Paper() const {
    if (!IsOpen()) return std::nullopt;
    auto paper = PaperFromRtf(Rtf());
    if (paper) {
        paper->title = m_title.empty() ? m_defaultTitle : m_title;
        paper->footer = Utf8FromCp1251(m_footer);
    }
    return paper;
}

std::string RtfWordLayer::Rtf() const {
    std::string out;
    if (!IsOpen()) return out;
    if (m_template) {
        RenderTemplateDocument(out);
    } else {
        RenderNewDocument(out);
    }
    return out;
}

void RtfWordLayer::RenderTemplateDocument(std::string& out) const {
    const std::string& text = m_template->Text();
    std::vector<std::size_t> order(m_insertions.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return m_insertions[a].spot.offset < m_insertions[b].spot.offset;
    });
    out.reserve(text.size() + 64 * m_insertions.size());
    std::size_t copied = 0;
    bool footed = false;
    const auto copyUpTo = [&](std::size_t offset) {
        if (!footed && m_template->FooterSpot() <= offset) {
            out.append(text, copied, m_template->FooterSpot() - copied);
            copied = m_template->FooterSpot();
            AppendFooter(out, m_footer);
            footed = true;
        }
        out.append(text, copied, offset - copied);
    };
    for (const std::size_t index : order) {
        const Insertion& insertion = m_insertions[index];
        copyUpTo(insertion.spot.offset);
        copied = insertion.spot.offset;
        // Each insertion keeps to its own groups, so the template's formatting
        // after it is untouched.
        if (!insertion.fill.empty()) {
            out += "{\\uc1";
            if (insertion.toggled) out += insertion.spot.bold ? "\\b0" : "\\b";
            out += ' ';
            AppendRtfText(out, insertion.fill);
            out += '}';
        }
        if (!insertion.flow.Empty()) {
            out += "{\\uc1 ";
            insertion.flow.Render(out, m_template->TextWidth());
            out += '}';
        }
    }
    copyUpTo(text.size());
}

void RtfWordLayer::RenderNewDocument(std::string& out) const {
    out +=
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049\\deftab709\\uc1\n"
        "{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}}\n";
    AppendNumberWord(out, "\\paperw", m_page.width);
    AppendNumberWord(out, "\\paperh", m_page.height);
    AppendNumberWord(out, "\\margl", m_page.marginLeft);
    AppendNumberWord(out, "\\margr", m_page.marginRight);
    AppendNumberWord(out, "\\margt", kTopMargin);
    AppendNumberWord(out, "\\margb", kBottomMargin);
    if (m_page.landscape) out += "\\landscape";
    out += "\n\\sectd";
    if (m_page.landscape) out += "\\lndscpsxn";
    AppendNumberWord(out, "\\pgwsxn", m_page.width);
    AppendNumberWord(out, "\\pghsxn", m_page.height);
    AppendNumberWord(out, "\\marglsxn", m_page.marginLeft);
    AppendNumberWord(out, "\\margrsxn", m_page.marginRight);
    AppendNumberWord(out, "\\margtsxn", kTopMargin);
    AppendNumberWord(out, "\\margbsxn", kBottomMargin);
    out += '\n';
    AppendFooter(out, m_footer);
    m_insertions.front().flow.Render(out, m_page.width - m_page.marginLeft - m_page.marginRight);
    out += '}';
}

}  // namespace zorvek
