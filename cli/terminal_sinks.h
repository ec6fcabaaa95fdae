#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "model/sinks.h"

namespace zorvek::cli {

// The progress line on stderr, redrawn in place, and only when stderr is a
// terminal. Work under way side by side shows side by side
// ("  form1.rtf  45%  appendix3.xlsx  12%"), from any thread.
class ProgressLine {
  public:
    ProgressLine();
    // Sets the text of part `part` and redraws; an empty text takes the
    // part away, and the last part gone clears the line.
    void Show(std::size_t part, std::string text);

  private:
    const bool m_enabled;
    std::mutex m_mutex;
    std::vector<std::string> m_parts;
    std::size_t m_drawn = 0;
};

// One piece of work's part of a progress line ("form1.rtf  45%").
class TerminalProgress final : public ProgressSink {
  public:
    TerminalProgress(ProgressLine& line, std::size_t part) : m_line(line), m_part(part) {}
    void Start(std::string_view label);
    void SetPosition(int percent) override;
    void Finish();

  private:
    ProgressLine& m_line;
    const std::size_t m_part;
    std::string m_label;
    int m_shown = -1;
};

}  // namespace zorvek::cli
