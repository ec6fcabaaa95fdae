#include "app/window_sinks.h"

#include <QApplication>

#include "ui/dialogs.h"
#include "ui/text.h"

namespace zorvek {

void BarProgress::SetPosition(int percent) {
    if (m_bar) m_bar->setValue(percent);
    QApplication::processEvents();
}

void BoxNotifier::Notify(std::string_view text) {
    m_dialogs.Message(m_parent, ui::QStringOfCp1251(text));
}

ApplicationTitle::ApplicationTitle() : m_text(ui::kProgramTitle) {}

void ApplicationTitle::SetTitle(std::string_view text) {
    m_text = ui::QStringOfCp1251(text);
    if (m_window && m_window->isVisible()) m_window->setWindowTitle(m_text);
}

void ApplicationTitle::ProcessPendingMessages() { QApplication::processEvents(); }

}  // namespace zorvek
