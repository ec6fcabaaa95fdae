#include "reports/excel/zip_writer.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

struct ReadBack {
    std::string name;
    std::string data;
    int method = -1;
};

// libzip reads the archive as any unzipper would, comparing each entry's
// check sum once the entry has been read to its end.
std::vector<ReadBack> ReadWithLibzip(const std::filesystem::path& path) {
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr) throw std::runtime_error("libzip cannot open the archive");
    std::vector<ReadBack> entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        ReadBack entry{stat.name, std::string(stat.size, '\0'), stat.comp_method};
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        char past = 0;
        const bool whole =
            zip_fread(file, entry.data.data(), stat.size) == static_cast<zip_int64_t>(stat.size) &&
            zip_fread(file, &past, 1) == 0;
        zip_fclose(file);
        if (!whole) throw std::runtime_error("entry " + entry.name + " does not read back");
        entries.push_back(std::move(entry));
    }
    zip_discard(archive);
    return entries;
}

class ZipWriterTest : public test::TempDirTest {};

TEST_F(ZipWriterTest, EntriesReadBackInOrderDeflatedOnlyWhereThatShrinksThem) {
    std::string markup;
    for (int row = 1; row <= 5000; ++row)
        markup += "<c r=\"A" + std::to_string(row) + "\" s=\"7\"/>";
    std::string noise(65536, '\0');
    std::mt19937 random(7);
    for (char& byte : noise) byte = static_cast<char>(random());
    struct Case {
        std::string name;
        std::string data;
        int method;
    };
    const std::vector<Case> cases = {
        {"[Content_Types].xml", markup, ZIP_CM_DEFLATE},
        {"xl/empty.xml", "", ZIP_CM_STORE},
        {"xl/one.bin", "x", ZIP_CM_STORE},  // three bytes deflated
        {"xl/media/noise.bin", noise, ZIP_CM_STORE},
    };
    std::vector<PackedEntry> packed;
    for (const Case& c : cases) packed.push_back(PackEntry(c.name, c.data).value());
    const auto path = m_dir / "book.zip";
    ASSERT_TRUE(WriteZip(path, packed));

    const std::vector<ReadBack> entries = ReadWithLibzip(path);
    ASSERT_EQ(entries.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(entries[i].name, cases[i].name);
        EXPECT_TRUE(entries[i].data == cases[i].data);
        EXPECT_EQ(entries[i].method, cases[i].method);
    }
    // Repeated markup shrinks several times over even at the fastest level.
    EXPECT_LT(std::filesystem::file_size(path), noise.size() + markup.size() / 4);
}

// Without ZIP64 a name has at most 65535 bytes and an archive 65535 entries.
TEST_F(ZipWriterTest, WhatThePlainFormatCannotHoldIsRefused) {
    EXPECT_TRUE(PackEntry(std::string(65535, 'n'), "data").has_value());
    EXPECT_FALSE(PackEntry(std::string(65536, 'n'), "data").has_value());

    std::vector<PackedEntry> many;
    for (int i = 0; i < 65535; ++i) many.push_back(PackEntry(std::to_string(i), "").value());
    ASSERT_TRUE(WriteZip(m_dir / "full.zip", many));
    EXPECT_EQ(ReadWithLibzip(m_dir / "full.zip").size(), 65535u);
    many.push_back(PackEntry("65535", "").value());
    EXPECT_FALSE(WriteZip(m_dir / "over.zip", many));
}

}  // namespace
}  // namespace zorvek
