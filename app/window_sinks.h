#pragma once

#include <QPointer>
#include <QProgressBar>
#include <atomic>
#include <string_view>

#include "model/sinks.h"
#include "reports/excel/appendix3/title_sink.h"

class QWidget;

namespace zorvek {

namespace ui {
class Dialogs;
}

// The main window's progress bar as the progress display of transfers and
// builds, which report from a command's worker: each new position is handed
// to the window's thread.
class BarProgress final : public ProgressSink {
  public:
    void Bind(QProgressBar* bar) { m_bar = bar; }
    QProgressBar* Bar() const { return m_bar; }
    void SetPosition(int percent) override;

  private:
    QPointer<QProgressBar> m_bar;
    std::atomic<int> m_last{-1};
};

// The document layers' own messages, as message boxes over the main window;
// the build waits for each to be answered.
class BoxNotifier final : public Notifier {
  public:
    explicit BoxNotifier(ui::Dialogs& dialogs) : m_dialogs(dialogs) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    QWidget* Parent() const { return m_parent; }
    void Notify(std::string_view text) override;

  private:
    ui::Dialogs& m_dialogs;
    QPointer<QWidget> m_parent;
};

// The application's title, "ЗОРВЕК" at start. Appendix 3 counts its
// progress in it from the worker that builds it. It is no
// caption of its own: the desktop would append it to every window's caption,
// so it shows in the caption of the window given to ShowOn while that one is
// visible (the progress window during the build).
class ApplicationTitle final : public TitleSink {
  public:
    ApplicationTitle();
    void ShowOn(QWidget* window) { m_window = window; }
    const QString& Text() const { return m_text; }
    void SetTitle(std::string_view text) override;

  private:
    QString m_text;
    QPointer<QWidget> m_window;
};

}  // namespace zorvek
