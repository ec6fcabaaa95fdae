#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "model/passport.h"
#include "model/sinks.h"
#include "reports/common/report_inputs.h"
#include "reports/word/recording_word_layer.h"
#include "tests/reports/word/word_test_support.h"
#include "tests/support/image_reader.h"

namespace zorvek::test {

// What the progress display went through: each position, and each pause of
// the window ("pause"), with how many word operations had been made by then.
class ProgressLog final : public ProgressSink {
  public:
    struct Step {
        std::string what;
        std::size_t wordOperations = 0;
        bool operator==(const Step&) const = default;
    };

    explicit ProgressLog(const RecordingWordLayer& word) : m_word(word) {}

    void SetPosition(int percent) override {
        steps.push_back({std::to_string(percent), m_word.Log().size()});
    }
    void Pause() { steps.push_back({"pause", m_word.Log().size()}); }

    std::vector<Step> steps;

  private:
    const RecordingWordLayer& m_word;
};

// An image in memory, a filled passport sheet and a recording word layer.
class TableReportTest : public ::testing::Test {
  protected:
    TableReportTest() {
        m_sheet.SetValue(PassportSheet::kCraneType, C("КС-55713-1"));
        m_sheet.SetValue(PassportSheet::kRegistrationNumber, "12345");
        m_sheet.SetValue(PassportSheet::kRecorderSerial, "0815");
    }

    ReportInputs Inputs() {
        return ReportInputs{m_image, m_sheet, m_notifier, &m_progress,
                            [this] { m_progress.Pause(); }};
    }

    const std::vector<std::string>& Log() const { return m_word.Log(); }

    // The log lines from `first` on, `count` of them.
    std::vector<std::string> Slice(std::size_t first, std::size_t count) const {
        if (first >= Log().size()) return {};
        const std::size_t last = std::min(Log().size(), first + count);
        return {Log().begin() + static_cast<std::ptrdiff_t>(first),
                Log().begin() + static_cast<std::ptrdiff_t>(last)};
    }

    ImageReader m_image;
    PassportSheet m_sheet;
    RecordingNotifier m_notifier;
    RecordingWordLayer m_word;
    ProgressLog m_progress{m_word};
};

}  // namespace zorvek::test
