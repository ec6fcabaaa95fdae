// Every document as PDF beside its RTF or XLSX, read back with the machine's
// PDF tools: the same words, on pages of the right size, with heads that
// repeat and never stand alone.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <regex>
#include <set>
#include <sstream>

#include "cli/info_command.h"
#include "cli/report_command.h"
#include "flows/archive_flow.h"
#include "flows/document_table.h"
#include "model/build_version.h"
#include "model/local_time.h"
#include "model/sha256.h"
#include "reports/excel/zip_reader.h"
#include "sim/image_generator.h"
#include "tests/reports/excel/xlsx_package.h"
#include "tests/reports/word/rtf_reader.h"
#include "tests/support/host_tools.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

// The text without its whitespace, the no-break spaces between a number's
// thousands too: a PDF reader breaks lines where the page does (also after a
// "/"), a document where its author did.
std::string Visible(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
        for (const std::string_view wide : {"\xC2\xA0", "\xE2\x80\xAF"}) {
            if (text.substr(i, wide.size()) == wide) {
                space = true;
                i += wide.size() - 1;
            }
        }
        if (!space) out += c;
    }
    return out;
}

class ReportPdf : public test::TempDirTest {
  protected:
    void SetUp() override {
        if (!test::OnPath("pdftotext") || !test::OnPath("pdfinfo")) {
            GTEST_SKIP() << "poppler's pdftotext or pdfinfo is not installed";
        }
        TempDirTest::SetUp();
    }

    std::string Run(const std::string& command) {
        return test::Output(command, m_dir / "output.txt").value_or("");
    }
    // In reading order, or (`layout`) line by line as placed on the page.
    std::vector<std::string> Pages(const std::filesystem::path& pdf, bool layout = true) {
        std::vector<std::string> pages;
        const std::string text =
            Run(std::string("pdftotext ") + (layout ? "-layout " : "") + test::Quoted(pdf) + " -");
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t feed = std::min(text.find('\f', start), text.size());
            pages.push_back(text.substr(start, feed - start));
            start = feed + 1;
        }
        return pages;
    }

    void MakeAll(const std::filesystem::path& image, const std::filesystem::path& out) {
        std::ostringstream listing;
        ASSERT_EQ(cli::RunReport({image.string(), "--out", out.string(), "--charts", "--columns",
                                  "all", "--format", "rtf,xlsx,pdf"},
                                 listing),
                  0);
    }

    void ExpectRtfWordsInPdf(const std::filesystem::path& rtf, const std::filesystem::path& pdf) {
        const auto bytes = ReadFile(rtf);
        const test::ReadDocument read = test::ReadRtf(std::string(bytes.begin(), bytes.end()));
        ASSERT_TRUE(read.ok) << rtf;
        // The page numbers are the PDF's own; a paragraph may run on past one.
        static const std::regex kPageNumber("\\s*Стр\\. \\d+ из \\d+\\s*");
        // A cell's wrapped lines read whole in reading order, a line with wide
        // gaps (tab stops, padded numbers) as placed.
        std::string readings[2];
        for (const bool layout : {false, true}) {
            for (const std::string& page : Pages(pdf, layout)) {
                readings[layout] += std::regex_replace(page, kPageNumber, " ");
            }
            readings[layout] = Visible(readings[layout]);
        }
        const std::string info = Run("pdfinfo " + test::Quoted(pdf));
        EXPECT_TRUE(test::A4(info, read.landscape)) << pdf.filename() << info;
        for (const test::ReadParagraph& paragraph : read.paragraphs) {
            std::istringstream pieces(paragraph.Text());
            // Tab-separated columns may be read in another order; each stays whole.
            for (std::string piece; std::getline(pieces, piece, '\t');) {
                const std::string words = Visible(piece);
                if (words.empty()) continue;
                EXPECT_TRUE(readings[0].find(words) != std::string::npos ||
                            readings[1].find(words) != std::string::npos)
                    << pdf.filename() << ": \"" << words << "\" missing";
            }
        }
    }
};

TEST_F(ReportPdf, EveryPdfHoldsItsDocumentsWords) {
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> images = {
        {"sample", ReadFile(std::filesystem::path(ZORVEK_SAMPLES_DIR) / "dannie.krd")},
        {"seed1", sim::ImageFileBytes(sim::GenerateImage({.seed = 1}), sim::ImageVariant::Valid)},
        {"seed7", sim::ImageFileBytes(sim::GenerateImage({.seed = 7}), sim::ImageVariant::Valid)},
    };
    for (const auto& [name, bytes] : images) {
        SCOPED_TRACE(name);
        const auto out = m_dir / name;
        MakeAll(WriteFile(name + ".krd", bytes), out);
        for (const DocumentEntry& document : Documents()) {
            const auto file = out / document.fileName;
            auto pdf = file;
            pdf.replace_extension(".pdf");
            ASSERT_TRUE(std::filesystem::exists(pdf)) << pdf;
            if (!document.fileName.ends_with(".rtf")) continue;
            ExpectRtfWordsInPdf(file, pdf);
        }
    }
}

TEST_F(ReportPdf, WorkbookHeadOnEveryPageAboveItsRows) {
    const auto out = m_dir / "out";
    MakeAll(WriteFile("image.krd",
                      sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid)),
            out);
    const std::string info = Run("pdfinfo " + test::Quoted(out / "appendix3.pdf"));
    EXPECT_TRUE(test::A4(info, true)) << info;
    const auto pages = Pages(out / "appendix3.pdf");
    ASSERT_GT(pages.size(), 1u);
    // Every page, in every band of columns: the header with the record's
    // number and time, then at least one dated record under it.
    static const std::regex kRecord("\\n *\\d+ +\\d?\\d\\.\\d\\d\\.\\d\\d ");
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string& page = pages[i];
        const std::size_t head = page.find("Дата и время");
        ASSERT_NE(head, std::string::npos) << "page " << i + 1;
        EXPECT_TRUE(std::regex_search(page.substr(head), kRecord)) << "page " << i + 1 << page;
    }
}

// Every page of every document names the read-out it was made from, as this
// program's PDF shows it and as an office suite prints the RTF and the
// workbook: the program's version, the image's fingerprint whole (what the
// archive files the image under begins with it, and `info` prints it) and
// when the image was read; and every page is numbered "Стр. N из M". The
// workbook prints its table and titles only, across before down.
TEST_F(ReportPdf, EveryPageNamesItsReadOutAndItsNumber) {
    if (!test::OnPath("soffice")) GTEST_SKIP() << "no soffice";
    const auto bytes =
        sim::ImageFileBytes(sim::GenerateImage({.seed = 3}), sim::ImageVariant::Valid);
    const auto image = WriteFile("image.krd", bytes);
    // Dated as the archive dates a file: by the image's own records.
    const auto readAt = ReadTimeOfFile(bytes, image).at;
    const std::string fingerprint = HexOf(Sha256(bytes)).substr(0, 16);
    const std::tm local = LocalTime(static_cast<std::time_t>(readAt.time_since_epoch().count()));
    char when[64];
    std::snprintf(when, sizeof when, "%02d.%02d.%04d %02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min);
    const std::string line =
        "ЗОРВЕК " + std::string(BuildVersion()) + " · образ " + fingerprint + " · считано " + when;

    std::ostringstream info;
    ASSERT_EQ(cli::RunInfo({image.string()}, info), 0);
    EXPECT_NE(info.str().find("Отпечаток образа: " + fingerprint + "\n"), std::string::npos);

    const auto out = m_dir / "out";
    std::ostringstream listing;
    ASSERT_EQ(cli::RunReport({image.string(), "--out", out.string(), "--format", "rtf,xlsx,pdf"},
                             listing),
              0);
    const auto office = m_dir / "office";
    std::string command = "timeout 300 soffice -env:UserInstallation=file://" +
                          (m_dir / "profile").string() + " --headless --convert-to pdf --outdir " +
                          test::Quoted(office);
    for (const DocumentEntry& document : Documents()) {
        command += " " + test::Quoted(out / document.fileName);
    }
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0);

    for (const DocumentEntry& document : Documents()) {
        const auto pdf = std::filesystem::path(document.fileName).replace_extension(".pdf");
        for (const auto& folder : {out, office}) {
            SCOPED_TRACE(folder / pdf);
            const auto pages = Pages(folder / pdf, false);
            ASSERT_FALSE(pages.empty());
            for (std::size_t i = 0; i < pages.size(); ++i) {
                const std::string number =
                    "Стр. " + std::to_string(i + 1) + " из " + std::to_string(pages.size());
                EXPECT_NE(Visible(pages[i]).find(Visible(number)), std::string::npos)
                    << "page " << i + 1 << ":\n"
                    << pages[i];
                EXPECT_NE(pages[i].find(fingerprint), std::string::npos) << "page " << i + 1;
                EXPECT_NE(Visible(pages[i]).find(Visible(line)), std::string::npos)
                    << "page " << i + 1 << ":\n"
                    << pages[i];
            }
        }
    }

    // What prints of the workbook, as a spreadsheet program reads it back:
    // from A1 to the table's last row, and to its last column or the
    // titles' (H), whichever lies further right; pages across, then down.
    const test::XlsxPackage workbook(out / "appendix3.xlsx");
    const std::string lastRow = workbook.Sheet().All("//m:sheetData/m:row[m:c/m:v]/@r").back();
    const std::string headerEnd = workbook.Sheet().All("//m:row[@r='4']/m:c/@r").back();
    const std::string lastCol =
        std::max(headerEnd.substr(0, headerEnd.size() - 1), std::string("H"));
    ASSERT_EQ(std::system(("cd " + test::Quoted(out) + " && timeout 300 soffice " +
                           "-env:UserInstallation=file://" + (m_dir / "profile").string() +
                           " --headless --convert-to ods appendix3.xlsx >/dev/null 2>&1")
                              .c_str()),
              0);
    auto ods = ReadZip(out / "appendix3.ods");
    ASSERT_TRUE(ods);
    const ZipEntry* content = FindEntry(*ods, "content.xml");
    const ZipEntry* styles = FindEntry(*ods, "styles.xml");
    ASSERT_TRUE(content && styles);
    EXPECT_NE(content->data.find("table:print-ranges=\"Лист1.A1:Лист1." + lastCol + lastRow + "\""),
              std::string::npos);
    EXPECT_NE(styles->data.find("style:print-page-order=\"ltr\""), std::string::npos);
}

TEST_F(ReportPdf, FormatsChosenAreTheFilesWritten) {
    const auto image = WriteFile(
        "image.krd", sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid));
    for (const auto& [formats, extensions] :
         std::vector<std::pair<std::string, std::set<std::string>>>{
             {"pdf", {".pdf"}}, {"rtf", {".rtf"}}, {"xlsx,pdf", {".xlsx", ".pdf"}}}) {
        const auto out = m_dir / formats;
        std::ostringstream listing;
        ASSERT_EQ(cli::RunReport({image.string(), "--out", out.string(), "--only",
                                  "form1,appendix3", "--format", formats},
                                 listing),
                  0);
        std::set<std::string> written;
        std::size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(out)) {
            written.insert(entry.path().extension().string());
            ++files;
            EXPECT_NE(listing.str().find(entry.path().string()), std::string::npos) << entry.path();
        }
        EXPECT_EQ(written, extensions) << formats;
        EXPECT_EQ(files, formats == "pdf" ? 2u : formats == "rtf" ? 1u : 3u) << formats;
    }
}

}  // namespace
}  // namespace zorvek
