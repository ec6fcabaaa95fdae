#include "reports/excel/zip_archive.h"

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
    std::uint64_t packedSize = 0;
};

// libzip reads the archive as any unzipper would, checking the archive's
// consistency and comparing each entry's check sum once read to its end.
std::vector<ReadBack> ReadWithLibzip(const std::filesystem::path& path) {
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr) throw std::runtime_error("libzip cannot open the archive");
    std::vector<ReadBack> entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        ReadBack entry{stat.name, std::string(stat.size, '\0'), stat.comp_method, stat.comp_size};
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

struct Case {
    std::string name;
    std::string data;
};

std::string Markup() {
    std::string markup;
    for (int row = 1; row <= 5000; ++row)
        markup += "<c r=\"A" + std::to_string(row) + "\" s=\"7\"/>";
    return markup;
}

std::string Archive(const std::vector<Case>& cases) {
    const auto zip = MemoryZip::Open();
    for (const Case& c : cases) EXPECT_TRUE(zip->Put(c.name, c.data));
    return zip->Close().value();
}

class MemoryZipTest : public test::TempDirTest {
  protected:
    std::vector<ReadBack> ReadBackFile(const std::string& bytes) {
        return ReadWithLibzip(
            WriteFile("book.zip", std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    }
};

TEST_F(MemoryZipTest, EntriesReadBackInOrderAndEqualEntriesMakeEqualArchives) {
    const std::string markup = Markup();
    std::string noise(65536, '\0');
    std::mt19937 random(7);
    for (char& byte : noise) byte = static_cast<char>(random());
    const std::vector<Case> cases = {
        {"[Content_Types].xml", markup},
        {"xl/empty.xml", ""},
        {"xl/one.bin", "x"},
        {"xl/media/noise.bin", noise},
    };
    const std::string bytes = Archive(cases);

    const std::vector<ReadBack> entries = ReadBackFile(bytes);
    ASSERT_EQ(entries.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(entries[i].name, cases[i].name);
        EXPECT_TRUE(entries[i].data == cases[i].data);
    }
    // Repeated markup shrinks several times over even at the fastest level.
    EXPECT_EQ(entries[0].method, ZIP_CM_DEFLATE);
    EXPECT_LT(bytes.size(), noise.size() + markup.size() / 4);
    // No clock reaches the archive.
    EXPECT_EQ(Archive(cases), bytes);
}

// The spreadsheet package is changed this way: some parts replaced, the
// comment parts taken in from an archive of their own, the rest untouched.
// The spreadsheet package is changed this way: some parts replaced, the
// comment parts taken in from an archive of their own, the rest untouched.
// Replaced and taken entries are packed as fast as new ones.
TEST_F(MemoryZipTest, ChangesKeepTheOrderAndTheUntouchedEntriesAsTheyWerePacked) {
    const std::string kept(20000, 'k');
    const std::string markup = Markup();
    const auto original = MemoryZip::Open(Archive({{"a.xml", kept}, {"b.xml", "old"}}));
    ASSERT_TRUE(original);
    EXPECT_TRUE(original->Contains("b.xml"));
    EXPECT_FALSE(original->Contains("c.xml"));
    EXPECT_EQ(original->Read("b.xml"), "old");
    EXPECT_EQ(original->Read("c.xml"), std::nullopt);
    EXPECT_TRUE(original->Put("b.xml", markup));
    EXPECT_TRUE(original->Put("c.xml", "added"));
    const std::string comments(300000, 'c');
    EXPECT_TRUE(original->TakeAll(MemoryZip::Open(Archive({{"d.xml", comments}}))));
    const std::string changed = original->Close().value();

    const std::vector<ReadBack> entries = ReadBackFile(changed);
    ASSERT_EQ(entries.size(), 4u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"a.xml", kept}, {"b.xml", markup}, {"c.xml", "added"}, {"d.xml", comments}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].name, expected[i].first);
        EXPECT_TRUE(entries[i].data == expected[i].second) << expected[i].first;
    }
    const auto fresh = ReadBackFile(Archive({{"b.xml", markup}, {"d.xml", comments}}));
    EXPECT_EQ(entries[1].packedSize, fresh[0].packedSize);
    EXPECT_EQ(entries[3].packedSize, fresh[1].packedSize);
}

TEST_F(MemoryZipTest, WhatIsNoArchiveOrTooLongANameIsRefused) {
    EXPECT_EQ(MemoryZip::Open("PK\x03\x04 not an archive"), nullptr);
    const auto zip = MemoryZip::Open();
    ASSERT_TRUE(zip);
    // The format keeps a name's length in 16 bits.
    zip->Put(std::string(65536, 'n'), "data");
    EXPECT_EQ(zip->Close(), std::nullopt);
}

}  // namespace
}  // namespace zorvek
