#include "reports/excel/zip_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "reports/excel/zip_writer.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class ZipReaderTest : public test::TempDirTest {};

// A stored entry changed in place still reads; only its check sum tells.
TEST_F(ZipReaderTest, DamagedOrMissingArchivesGiveNothing) {
    const std::string text = "plain text";
    const std::vector<PackedEntry> entries = {PackEntry("stored.txt", text).value()};
    ASSERT_TRUE(WriteZip(m_dir / "book.zip", entries));
    const auto intact = ReadZip(m_dir / "book.zip");
    ASSERT_TRUE(intact.has_value());
    EXPECT_EQ(intact->at(0).data, text);

    std::vector<std::uint8_t> bytes = ReadFile(m_dir / "book.zip");
    const auto stored = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    ASSERT_NE(stored, bytes.end());
    *stored = 'P';
    EXPECT_FALSE(ReadZip(WriteFile("damaged.zip", bytes)).has_value());
    EXPECT_FALSE(ReadZip(WriteFile("not-a.zip", {'P', 'K', 3, 4, 'x'})).has_value());
    EXPECT_FALSE(ReadZip(m_dir / "missing.zip").has_value());
}

}  // namespace
}  // namespace zorvek
