#include "app/window_sinks.h"

#include <QApplication>

#include "app/window_thread.h"
#include "ui/dialogs.h"
#include "ui/text.h"

namespace zorvek {

void BarProgress::SetPosition(int percent) {
    // A read of the whole image reports a thousand frames; the bar needs
    // only the hundred positions.
    if (m_last.exchange(percent) == percent) return;
    if (QProgressBar* bar = m_bar) {
        QMetaObject::invokeMethod(bar, [bar, percent] { bar->setValue(percent); });
    }
}

void BoxNotifier::Notify(std::string_view text) {
    const QString message = ui::QStringOfCp1251(text);
    OnWindowThread([&] { m_dialogs.Message(m_parent, message); });
}

ApplicationTitle::ApplicationTitle() : m_text(ui::kProgramTitle) {}

void ApplicationTitle::SetTitle(std::string_view text) {
    QMetaObject::invokeMethod(QApplication::instance(), [this, title = ui::QStringOfCp1251(text)] {
        m_text = title;
        if (m_window && m_window->isVisible()) m_window->setWindowTitle(m_text);
    });
}

}  // namespace zorvek
