#include "cli/terminal_sinks.h"

#include <iostream>

#include "cli/terminal.h"

namespace zorvek::cli {

TerminalProgress::TerminalProgress() : m_enabled(StderrIsTerminal()) {}

void TerminalProgress::Start(std::string_view label) {
    m_label = label;
    m_shown = -1;
    SetPosition(0);
}

void TerminalProgress::SetPosition(int percent) {
    if (!m_enabled || percent == m_shown) return;
    m_shown = percent;
    std::cerr << "\r  " << m_label << "  " << percent << "%   " << std::flush;
}

void TerminalProgress::Finish() {
    if (!m_enabled) return;
    std::cerr << "\r" << std::string(m_label.size() + 12, ' ') << "\r" << std::flush;
    m_shown = -1;
}

void StderrNotifier::Notify(std::string_view text) { PrintError(text); }

}  // namespace zorvek::cli
