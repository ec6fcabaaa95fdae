#pragma once

#include <string>
#include <string_view>

#include "model/sinks.h"

namespace zorvek::cli {

// A progress line on stderr ("  form1.rtf  45%"), redrawn in place, and only
// when stderr is a terminal.
class TerminalProgress final : public ProgressSink {
  public:
    TerminalProgress();
    void Start(std::string_view label);
    void SetPosition(int percent) override;
    // Clears the line.
    void Finish();

  private:
    bool m_enabled;
    std::string m_label;
    int m_shown = -1;
};

// The program's own messages go to stderr.
class StderrNotifier final : public Notifier {
  public:
    void Notify(std::string_view text) override;
};

}  // namespace zorvek::cli
