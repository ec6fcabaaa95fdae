#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

namespace zorvek {

// While a command runs its steps may process pending events; the menu and
// the close button wait meanwhile, so that no second command starts inside
// the first, and the window refuses to close. The progress bar, shown by a
// command that transfers, gives its place back to the status line after it.
class CommandScope {
  public:
    CommandScope(QMainWindow& window, QPushButton& close, int& running, QProgressBar& bar,
                 QLabel& status)
        : m_menu(*window.menuBar()),
          m_close(close),
          m_running(running),
          m_bar(bar),
          m_status(status) {
        ++m_running;
        m_menu.setEnabled(false);
        m_close.setEnabled(false);
    }
    ~CommandScope() {
        if (--m_running > 0) return;
        m_menu.setEnabled(true);
        m_close.setEnabled(true);
        m_bar.hide();
        m_status.setVisible(!m_status.text().isEmpty());
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

  private:
    QMenuBar& m_menu;
    QPushButton& m_close;
    int& m_running;
    QProgressBar& m_bar;
    QLabel& m_status;
};

}  // namespace zorvek
