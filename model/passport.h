#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "model/transfer_result.h"

namespace zorvek {

// The crane's and recorder's passport data: a caption and a value per row,
// cp1251. Rows 0..18 carry captions; row 19 holds the recorder's twentieth
// passport text.
class PassportSheet {
  public:
    static constexpr int kRows = 20;
    // Rows the documents read by number.
    static constexpr int kOwner = 0;
    static constexpr int kCraneType = 1;
    static constexpr int kRegistrationNumber = 2;
    static constexpr int kCraneSerial = 5;
    static constexpr int kRatedCapacity = 7;
    static constexpr int kClassificationGroup = 8;
    static constexpr int kCommissioned = 9;
    static constexpr int kNormativeTerm = 10;
    static constexpr int kRecorderSerial = 15;

    PassportSheet();

    const std::string& Caption(int row) const;
    const std::string& Value(int row) const;
    void SetValue(int row, std::string value);

  private:
    std::array<std::string, kRows> m_captions;
    std::array<std::string, kRows> m_values;
};

// Info.ini keeps a filled sheet between runs: 22 lines "caption=value;" in
// cp1251 with CR LF. Written through a temporary file and a rename, so a
// failed save leaves the earlier file whole; the result says why it failed.
TransferResult SaveInfoIni(const PassportSheet& sheet, const std::filesystem::path& file);

// A real Info.ini is about 2 KiB; anything past this is not one (a device
// file that never ends, a picture named by mistake).
constexpr std::size_t kInfoIniLimit = 1 << 20;

// Values go to rows by their position in the file; blank lines are skipped;
// a value is what stands between the first "=" and the line's last ";", so
// values holding ";" or "=" come back as saved; an empty value leaves its
// row as it was. Fails with the sheet untouched
// when the file cannot be read, is a folder (Refused, EISDIR) or is larger
// than kInfoIniLimit (OutOfRange, EFBIG).
TransferResult LoadInfoIni(PassportSheet& sheet, const std::filesystem::path& file);
// The same for the file's text already in memory.
void ReadInfoIniText(PassportSheet& sheet, std::string_view text);

// Column 1 of rows 0..18 for the protocol forms, each cut to 63 characters.
std::array<std::string, 19> CopyPassportLines(const PassportSheet& sheet);

}  // namespace zorvek
