#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/bits.h"
#include "model/cp1251.h"
#include "model/format.h"
#include "model/memory_map.h"
#include "model/passport.h"
#include "model/records.h"
#include "reports/common/report_inputs.h"
#include "reports/word/documents/histogram_pictures.h"
#include "reports/word/recording_word_layer.h"
#include "tests/reports/word/word_test_support.h"
#include "tests/support/image_reader.h"

namespace zorvek::test {

// The figures of one statistics block, per load range 1..8 in order.
struct Statistics {
    LocalDateTime start{2009, 5, 1, 14, 5, 33};
    LocalDateTime end{2009, 6, 12, 8, 0, 0};
    std::array<std::uint16_t, 8> counts{};
    std::array<std::uint32_t, 8> seconds{};  // 24 bits
    std::array<float, 8> masses{};
    float characteristic = 0;
};

inline void StoreFloat(std::uint8_t* at, float value) { std::memcpy(at, &value, sizeof value); }

// Writes the block with a good checksum.
inline void PutStatistics(ImageReader& image, std::uint32_t address, const Statistics& s) {
    std::uint8_t* at = image.At(address);
    const std::span<std::uint8_t> block(at, memory_map::kStatisticsBlockSize);
    StoreLe(block, 0, 4, PackDateTime(s.start));
    for (int range = 0; range < 8; ++range) {
        StoreLe(block, 4 + 2 * range, 2, s.counts[range]);
        StoreLe(block, 20 + 3 * range, 3, s.seconds[range]);
        StoreFloat(at + 44 + 4 * range, s.masses[range]);
    }
    StoreFloat(at + 76, s.characteristic);
    StoreLe(block, 80, 4, PackDateTime(s.end));
    block[84] = Crc8(block.first(84));
}

inline void PutOnTime(ImageReader& image, std::uint32_t address, std::uint32_t seconds) {
    StoreLe(std::span(image.At(address), 5), 0, 4, seconds);
}

// Each position the progress display was set to, with the number of
// word-processor calls made by then: "30@1" is 30 after the first call.
// The pause between decoding and building shows as "pause@n".
class ProgressRecorder final : public ProgressSink {
  public:
    explicit ProgressRecorder(const RecordingWordLayer& word) : m_word(word) {}
    void SetPosition(int percent) override { Mark(std::to_string(percent)); }
    void Mark(const std::string& what) {
        marks.push_back(what + "@" + std::to_string(m_word.Log().size()));
    }
    std::vector<std::string> marks;

  private:
    const RecordingWordLayer& m_word;
};

// Pictures of known sizes; remembers the block each one was drawn from.
class FakePictures final : public HistogramPictures {
  public:
    std::vector<std::uint8_t> TimePicture(const StatisticsBlock& block) override {
        return Draw(block, timeBytes);
    }
    std::vector<std::uint8_t> CyclePicture(const StatisticsBlock& block) override {
        return Draw(block, cycleBytes);
    }
    std::vector<std::uint8_t> MassPicture(const StatisticsBlock& block) override {
        return Draw(block, massBytes);
    }
    std::vector<std::uint8_t> SpectrumPicture(const StatisticsBlock& block) override {
        return Draw(block, spectrumBytes);
    }

    std::size_t timeBytes = 11;
    std::size_t cycleBytes = 22;
    std::size_t massBytes = 33;
    std::size_t spectrumBytes = 44;
    std::vector<std::uint32_t> drawnFromCycleCounts;  // range 1's count of each block drawn

  private:
    std::vector<std::uint8_t> Draw(const StatisticsBlock& block, std::size_t size) {
        drawnFromCycleCounts.push_back(block.CycleCount(0));
        return std::vector<std::uint8_t>(size, 0x5A);
    }
};

// An image in memory, a passport sheet whose row r holds "Строка r+1", and a
// recording word processor, all wired into the builders' inputs.
class DocumentTest : public ::testing::Test {
  protected:
    DocumentTest() {
        inputs.pauseAndResetProgress = [this] { progress.Mark("pause"); };
        for (int row = 0; row < PassportSheet::kRows; ++row) {
            sheet.SetValue(row, C("Строка " + std::to_string(row + 1)));
        }
    }

    ImageReader image;
    PassportSheet sheet;
    RecordingNotifier notifier;
    RecordingWordLayer word;
    ProgressRecorder progress{word};
    ReportInputs inputs{image, sheet, notifier, &progress, {}};
};

// The log line of a text fill, value in UTF-8.
inline std::string Fill(const std::string& bookmark, const std::string& utf8) {
    return "WordFillBookmark(\"" + bookmark + "\",\"" + utf8 + "\")";
}

// The log line of passport line n of DocumentTest's sheet.
inline std::string Line(int n) {
    const std::string two = (n < 10 ? "0" : "") + std::to_string(n);
    return Fill("info" + two, "Строка " + std::to_string(n));
}

}  // namespace zorvek::test
