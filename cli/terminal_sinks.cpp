#include "cli/terminal_sinks.h"

#include <algorithm>
#include <iostream>

#include "cli/terminal.h"

namespace zorvek::cli {

ProgressLine::ProgressLine() : m_enabled(StderrIsTerminal()) {}

void ProgressLine::Show(std::size_t part, std::string text) {
    if (!m_enabled) return;
    const std::lock_guard lock(m_mutex);
    if (m_parts.size() <= part) m_parts.resize(part + 1);
    m_parts[part] = std::move(text);
    std::string line;
    for (const std::string& shown : m_parts) {
        if (!shown.empty()) line += "  " + shown;
    }
    const std::size_t length = line.size();
    // Spaces cover whatever a longer line left before.
    line.resize(std::max(length, m_drawn), ' ');
    std::cerr << '\r' << line << (length == 0 ? "\r" : "") << std::flush;
    m_drawn = length;
}

void TerminalProgress::Start(std::string_view label) {
    m_label = label;
    m_shown = -1;
    SetPosition(0);
}

void TerminalProgress::SetPosition(int percent) {
    if (percent == m_shown) return;
    m_shown = percent;
    m_line.Show(m_part, m_label + "  " + std::to_string(percent) + "%");
}

void TerminalProgress::Finish() {
    m_shown = -1;
    m_line.Show(m_part, {});
}

}  // namespace zorvek::cli
