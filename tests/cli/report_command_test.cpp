#include "cli/report_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/report_options.h"
#include "flows/document_table.h"
#include "reports/excel/zip_reader.h"
#include "sim/image_generator.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

TEST(ReportOptions, RefusesMistakes) {
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"image.krd"},     // no --out
        {"--out", "dir"},  // no image
        {"a.krd", "b.krd", "--out", "dir"},
        {"a.krd", "--out"},  // value missing
        {"a.krd", "--out", "d", "--columns", "0"},
        {"a.krd", "--out", "d", "--columns", "19"},
        {"a.krd", "--out", "d", "--columns", "3x"},
        {"a.krd", "--out", "d", "--protect", "gravity"},
        {"a.krd", "--out", "d", "--only", "form5"},
        {"a.krd", "--out", "d", "--verbose"},
    };
    for (const auto& args : mistakes) {
        std::string error;
        EXPECT_FALSE(cli::ParseReportOptions(args, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(ReportOptions, ColumnsAndProtections) {
    std::string error;
    auto options = cli::ParseReportOptions({"a.krd", "--out", "d"}, error);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->filter.showAll);
    EXPECT_FALSE(options->charts);

    options = cli::ParseReportOptions(
        {"a.krd", "--out", "d", "--columns", "1,18", "--protect", "overload,wind", "--charts"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->charts);
    EXPECT_TRUE(options->columns.IsOn(ColumnKind(0)));
    EXPECT_TRUE(options->columns.IsOn(ColumnKind(17)));
    EXPECT_FALSE(options->columns.IsOn(ColumnKind(1)));
    EXPECT_FALSE(options->filter.showAll);
    EXPECT_NE(options->filter.zoneFlags, 0);
    EXPECT_NE(options->filter.limitFlags, 0);
    EXPECT_EQ(options->filter.tiltFlags, 0);
}

class ReportCommand : public test::TempDirTest {
  protected:
    int Run(std::vector<std::string> args) {
        std::ostringstream out;
        return cli::RunReport(args, out);
    }
    std::filesystem::path Image(sim::ImageVariant variant) {
        const auto image = sim::GenerateImage({.variant = variant});
        return WriteFile("image.krd", sim::ImageFileBytes(image, variant));
    }
};

TEST_F(ReportCommand, WritesEveryDocument) {
    const auto out = m_dir / "out";
    ASSERT_EQ(Run({Image(sim::ImageVariant::Valid).string(), "--out", out.string()}), 0);
    for (const DocumentEntry& document : Documents()) {
        const auto file = out / document.fileName;
        EXPECT_GT(std::filesystem::file_size(file), 1000u) << document.name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}),
              static_cast<std::ptrdiff_t>(Documents().size()));
}

// The workbook is made on a thread of its own beside the other documents:
// what each makes must not depend on what is made beside it.
TEST_F(ReportCommand, DocumentsMadeTogetherAreThoseMadeAlone) {
    const auto image = Image(sim::ImageVariant::Valid).string();
    const std::string together = (m_dir / "together").string();
    ASSERT_EQ(Run({image, "--out", together, "--columns", "all"}), 0);
    for (const DocumentEntry& document : Documents()) {
        const std::string alone = (m_dir / document.name).string();
        ASSERT_EQ(
            Run({image, "--out", alone, "--columns", "all", "--only", std::string(document.name)}),
            0);
        const auto madeTogether = std::filesystem::path(together) / document.fileName;
        const auto madeAlone = std::filesystem::path(alone) / document.fileName;
        if (!document.fileName.ends_with(".xlsx")) {
            EXPECT_EQ(ReadFile(madeTogether), ReadFile(madeAlone)) << document.name;
            continue;
        }
        auto a = ReadZip(madeTogether);
        auto b = ReadZip(madeAlone);
        ASSERT_TRUE(a && b);
        ASSERT_EQ(a->size(), b->size());
        for (std::size_t i = 0; i < a->size(); ++i) {
            // The workbook's properties carry the time it was made.
            if ((*a)[i].name == "docProps/core.xml") continue;
            EXPECT_EQ((*a)[i].data, (*b)[i].data) << (*a)[i].name;
        }
    }
}

TEST_F(ReportCommand, WritesNothingFromABadImage) {
    const auto out = m_dir / "out";
    EXPECT_EQ(Run({Image(sim::ImageVariant::WrongSignature).string(), "--out", out.string()}), 3);
    EXPECT_EQ(Run({Image(sim::ImageVariant::Truncated).string(), "--out", out.string()}), 2);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(ReportCommand, FailedDocumentsGiveAnErrorExit) {
    // Damaged statistics blocks: appendix 1 and the forms that print the
    // statistics have nothing sound to show.
    const auto out = m_dir / "out";
    EXPECT_EQ(Run({Image(sim::ImageVariant::BadChecksums).string(), "--out", out.string(), "--only",
                   "appendix1-total,appendix4"}),
              4);
    EXPECT_FALSE(std::filesystem::exists(out / "appendix1-total.rtf"));
    EXPECT_TRUE(std::filesystem::exists(out / "appendix4.rtf"));
    EXPECT_FALSE(std::filesystem::exists(out / "form1.rtf"));
}

TEST_F(ReportCommand, PassportFileMustBeReadable) {
    EXPECT_EQ(Run({Image(sim::ImageVariant::Valid).string(), "--out", (m_dir / "o").string(),
                   "--passport", (m_dir / "absent.ini").string()}),
              2);
}

// The passport's capacity is typed by hand: neither a decimal comma nor
// a number past any range may stop the documents.
TEST_F(ReportCommand, AnyCapacityInThePassportFileMakesTheDocuments) {
    const auto image = Image(sim::ImageVariant::Valid);
    for (const std::string& capacity :
         {std::string("16,5"), std::string("16.5"), std::string(400, '9')}) {
        std::string lines;
        for (int row = 0; row < 7; ++row) lines += "=;\r\n";
        lines += "=" + capacity + ";\r\n";
        const auto passport = WriteFile("Info.ini", {lines.begin(), lines.end()});
        EXPECT_EQ(Run({image.string(), "--out", (m_dir / "out").string(), "--only", "appendix6",
                       "--passport", passport.string()}),
                  0)
            << capacity.size();
    }
}

// A full disk (a file size limit stands for it) stops every document; each
// says why, in the program's words only.
TEST_F(ReportCommand, AFailedWriteSaysWhy) {
    if (!test::FileSizeLimit::Supported()) GTEST_SKIP() << "no file size limit on this system";
    const auto image = Image(sim::ImageVariant::Valid);
    testing::internal::CaptureStderr();
    int code = 0;
    {
        const test::FileSizeLimit full(1000);
        code =
            Run({image.string(), "--out", (m_dir / "out").string(), "--only", "form1,appendix3"});
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 4);
    for (const std::string name : {"form1.rtf", "appendix3.xlsx"}) {
        EXPECT_NE(err.find("Документ " + name + " не создан: недопустимый размер файла"),
                  std::string::npos)
            << err;
    }
    EXPECT_EQ(err.find("ERROR"), std::string::npos) << err;
}

// A document of an earlier run left under the name this run writes must
// never pass for this run's: it is replaced, or gone with an error exit when
// this run's could not be made or written.
TEST_F(ReportCommand, NoDocumentOfAnEarlierRunPassesForThisRuns) {
    const auto out = m_dir / "out";
    const std::vector<std::uint8_t> stale = {'s', 't', 'a', 'l', 'e'};
    const auto leaveStale = [&](std::initializer_list<const char*> names) {
        std::filesystem::create_directories(out);
        for (const char* name : names) WriteFile(std::string("out/") + name, stale);
    };
    // Damaged statistics: appendix 1 cannot be made, appendix 4 can.
    leaveStale({"appendix1-total.rtf", "appendix1-total.pdf", "appendix4.rtf", "appendix4.pdf"});
    EXPECT_EQ(Run({Image(sim::ImageVariant::BadChecksums).string(), "--out", out.string(), "--only",
                   "appendix1-total,appendix4", "--format", "rtf,pdf"}),
              4);
    EXPECT_FALSE(std::filesystem::exists(out / "appendix1-total.rtf"));
    EXPECT_FALSE(std::filesystem::exists(out / "appendix1-total.pdf"));
    for (const char* name : {"appendix4.rtf", "appendix4.pdf"}) {
        const auto made = ReadFile(out / name);
        EXPECT_GT(made.size(), 1000u) << name;
    }

    // A full disk: nothing is written, and nothing old is left to be taken
    // for what was asked.
    if (!test::FileSizeLimit::Supported()) return;
    leaveStale({"form1.rtf", "appendix3.xlsx"});
    const auto image = Image(sim::ImageVariant::Valid);
    testing::internal::CaptureStderr();
    int code = 0;
    {
        const test::FileSizeLimit full(1000);
        code = Run({image.string(), "--out", out.string(), "--only", "form1,appendix3"});
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 4);
    EXPECT_FALSE(std::filesystem::exists(out / "form1.rtf"));
    EXPECT_FALSE(std::filesystem::exists(out / "appendix3.xlsx"));
}

}  // namespace
}  // namespace zorvek
