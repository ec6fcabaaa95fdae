#include "reports/common/folder_document_sink.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include "model/atomic_file.h"
#include "reports/common/fixed_path_document_sink.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class FixedClock final : public Clock {
  public:
    LocalDateTime Now() const override { return {2026, 12, 7, 19, 40, 12}; }
};

std::string NameOf(const std::filesystem::path& path) {
    const std::u8string name = path.filename().u8string();
    return {name.begin(), name.end()};
}

class FolderDocumentSinkTest : public test::TempDirTest {
  protected:
    FolderDocumentSink MakeSink(const std::filesystem::path& folder) {
        return FolderDocumentSink(
            folder,
            [this](const std::filesystem::path& path) {
                m_opened.push_back(path);
                return m_openerWorks;
            },
            m_clock);
    }

    FixedClock m_clock;
    std::vector<std::filesystem::path> m_opened;
    bool m_openerWorks = true;
};

TEST_F(FolderDocumentSinkTest, NamesDocumentsByTitleAndTimeWithoutReusingAName) {
    const auto folder = m_dir / "Документы" / "ЗОРВЕК";
    FolderDocumentSink sink = MakeSink(folder);
    const std::vector<std::string> expected = {
        "Приложение 4 2026-12-07 19-40-12.rtf",
        "Приложение 4 2026-12-07 19-40-12 (2).rtf",
        "Приложение 4 2026-12-07 19-40-12 (3).rtf",
    };
    for (const std::string& name : expected) {
        const auto path = sink.PathFor("Приложение 4", "rtf");
        EXPECT_EQ(path.parent_path(), folder);
        EXPECT_EQ(NameOf(path), name);
        std::ofstream(path) << "{\\rtf1}";
    }
    EXPECT_EQ(NameOf(sink.PathFor("Приложение 4", "xlsx")),
              "Приложение 4 2026-12-07 19-40-12.xlsx");
}

TEST_F(FolderDocumentSinkTest, OpensWhatWasWrittenAndLeavesItWhenItCannot) {
    FolderDocumentSink sink = MakeSink(m_dir);
    const auto written = sink.PathFor("Форма 1", "rtf");
    std::ofstream(written) << "{\\rtf1}";
    sink.Finished(written, TransferResult::Fail(TransferError::IoError, ENOSPC));
    EXPECT_TRUE(m_opened.empty());
    m_openerWorks = false;
    sink.Finished(written, TransferResult::Ok());
    EXPECT_EQ(m_opened, std::vector<std::filesystem::path>{written});
    EXPECT_TRUE(std::filesystem::exists(written));
}

// The message about the failed write names the document as it would be.
TEST_F(FolderDocumentSinkTest, NamesTheDocumentAlsoWhereTheFolderCannotBeMade) {
    std::ofstream(m_dir / "file") << "x";
    const auto folder = m_dir / "file" / "documents";
    FolderDocumentSink sink = MakeSink(folder);
    const auto path = sink.PathFor("Форма 1", "rtf");
    EXPECT_EQ(path.parent_path(), folder);
    EXPECT_EQ(NameOf(path), "Форма 1 2026-12-07 19-40-12.rtf");
    const std::uint8_t rtf[] = {'{', '}'};
    EXPECT_FALSE(WriteFileAtomically(path, rtf));
}

TEST(FixedPathDocumentSinkTest, GivesThePathItWasSetWhateverTheTitle) {
    FixedPathDocumentSink sink;
    EXPECT_TRUE(sink.PathFor("Форма 1", "rtf").empty());
    sink.SetPath("/out/form1.rtf");
    EXPECT_EQ(sink.PathFor("Форма 1", "rtf"), "/out/form1.rtf");
    EXPECT_EQ(sink.PathFor("Приложение 4", "xlsx"), "/out/form1.rtf");
}

}  // namespace
}  // namespace zorvek
