#include "model/passport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "model/cp1251.h"
#include "model/text_field.h"
#include "tests/support/endless_device.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class InfoIni : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = test::TestFolder("zorvek-ini-");
        std::filesystem::create_directories(m_dir);
        m_file = m_dir / "Info.ini";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    void Write(const std::string& text) { std::ofstream(m_file, std::ios::binary) << text; }
    std::string Read() {
        std::ostringstream text;
        text << std::ifstream(m_file, std::ios::binary).rdbuf();
        return text.str();
    }

    std::filesystem::path m_dir;
    std::filesystem::path m_file;
};

TEST_F(InfoIni, SavesTwentyTwoCp1251Lines) {
    PassportSheet sheet;
    sheet.SetValue(11, Cp1251FromUtf8("ОГП-1"));
    ASSERT_TRUE(SaveInfoIni(sheet, m_file));
    const std::string text = Read();
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 22u);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);  // no bare LF
    EXPECT_NE(text.find(Cp1251FromUtf8("Тип ОГП=ОГП-1;\r\n")), std::string::npos);
    EXPECT_EQ(text.substr(0, 2), "\xC2\xEB");                 // "Вл" in cp1251, not UTF-8
    EXPECT_EQ(text.substr(text.size() - 8), "=;\r\n=;\r\n");  // rows 20 and 21
}

TEST_F(InfoIni, RoundTripKeepsValuesAndSkipsEmptyOnes) {
    PassportSheet saved;
    for (int row = 0; row < PassportSheet::kRows; ++row) {
        saved.SetValue(row, "value " + std::to_string(row) + " = with equals; and a semicolon");
    }
    saved.SetValue(3, "");
    ASSERT_TRUE(SaveInfoIni(saved, m_file));

    PassportSheet loaded;
    loaded.SetValue(3, "kept");
    ASSERT_TRUE(LoadInfoIni(loaded, m_file));
    for (int row = 0; row < PassportSheet::kRows; ++row) {
        EXPECT_EQ(loaded.Value(row), row == 3 ? "kept" : saved.Value(row)) << row;
    }
}

TEST_F(InfoIni, LineRules) {
    Write(
        "a=one;\r\n"
        "\r\n"  // blank lines do not count as rows
        "b=two;tail\r\n"
        "no equals sign;x;\r\n"
        "c=no semicolon\r\n"
        "\n"
        "d==starts with equals;\n");
    PassportSheet sheet;
    sheet.SetValue(3, "unchanged");
    ASSERT_TRUE(LoadInfoIni(sheet, m_file));
    EXPECT_EQ(sheet.Value(0), "one");
    EXPECT_EQ(sheet.Value(1), "two");  // what follows the last ";" is no value
    EXPECT_EQ(sheet.Value(2), "no equals sign;x");
    EXPECT_EQ(sheet.Value(3), "unchanged");
    EXPECT_EQ(sheet.Value(4), "=starts with equals");
}

TEST_F(InfoIni, MissingFileLeavesTheSheet) {
    PassportSheet sheet;
    sheet.SetValue(0, "x");
    EXPECT_FALSE(LoadInfoIni(sheet, m_dir / "absent.ini"));
    EXPECT_EQ(sheet.Value(0), "x");
}

TEST_F(InfoIni, FailedSaveKeepsTheEarlierFile) {
    if (!test::FileSizeLimit::Supported()) GTEST_SKIP() << "no file size limit here";
    Write("old");
    test::FileSizeLimit diskFull(100);  // the new file fails part-way
    const TransferResult saved = SaveInfoIni(PassportSheet(), m_file);
    EXPECT_EQ(saved.Error(), TransferError::IoError);
    EXPECT_EQ(saved.SystemError(), EFBIG);
    EXPECT_EQ(Read(), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);  // no temporary
}

TEST_F(InfoIni, RefusesWhatIsNoPassportFile) {
    struct Case {
        const char* what;
        std::filesystem::path file;
        TransferError error;
    };
    std::filesystem::create_directory(m_dir / "folder.ini");
    std::ofstream(m_dir / "big.ini", std::ios::binary) << std::string(kInfoIniLimit + 1, 'x');
    std::ofstream(m_dir / "limit.ini", std::ios::binary) << std::string(kInfoIniLimit, 'x');
    std::vector<Case> cases = {
        {"missing", m_dir / "missing.ini", TransferError::Refused},
        {"folder", m_dir / "folder.ini", TransferError::Refused},
        {"one byte too large", m_dir / "big.ini", TransferError::OutOfRange},
        {"at the limit", m_dir / "limit.ini", TransferError::None},
    };
    if (const auto endless = test::EndlessDevice()) {
        cases.push_back({"endless device", *endless, TransferError::OutOfRange});
    }
    for (const Case& c : cases) {
        PassportSheet sheet;
        sheet.SetValue(0, "kept");
        EXPECT_EQ(LoadInfoIni(sheet, c.file).Error(), c.error) << c.what;
        if (c.error != TransferError::None) {
            EXPECT_EQ(sheet.Value(0), "kept") << c.what;
        }
    }
}

TEST(Passport, FormLinesAreCutTo63Characters) {
    PassportSheet sheet;
    sheet.SetValue(0, std::string(70, 'x'));
    sheet.SetValue(18, "short");
    sheet.SetValue(19, "not on the forms");
    const auto lines = CopyPassportLines(sheet);
    EXPECT_EQ(lines[0].size(), 63u);
    EXPECT_EQ(lines[18], "short");
    EXPECT_EQ(sheet.Value(0).size(), 70u);
    EXPECT_EQ(Utf8FromCp1251(sheet.Caption(7)), "Грузоподъёмности крана");
    EXPECT_EQ(sheet.Caption(19), "");
}

TEST(TextFromBuffer, StopsAtZeroOrSizeAndTrims) {
    const std::uint8_t padded[] = {' ', 'a', 'b', ' ', '\t', 0, 'z'};
    EXPECT_EQ(TextFromBuffer(padded, sizeof padded), "ab");
    const std::uint8_t full[] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(TextFromBuffer(full, 3), "abc");
    EXPECT_EQ(TextFromBuffer(full, 64), "abcd");  // never past the field
    const std::uint8_t blank[] = {1, 2, 32, 0};
    EXPECT_EQ(TextFromBuffer(blank, 4), "");
}

}  // namespace
}  // namespace zorvek
