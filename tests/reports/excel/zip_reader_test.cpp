#include "reports/excel/zip_reader.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

// An archive of one entry stored as it is, made by libzip on its own.
void WriteStored(const std::filesystem::path& path, const std::string& name,
                 const std::string& data) {
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, 0);
    ASSERT_GE(index, 0);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    ASSERT_EQ(zip_close(archive), 0);
}

class ZipReaderTest : public test::TempDirTest {};

// A stored entry changed in place still reads; only its check sum tells.
TEST_F(ZipReaderTest, DamagedOrMissingArchivesGiveNothing) {
    const std::string text = "plain text";
    WriteStored(m_dir / "book.zip", "stored.txt", text);
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
