#include "reports/charts/gui_application.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include "reports/charts/supplied_fonts.h"

namespace zorvek {

namespace {

char kProgramName[] = "zorvek";
char kPlatformOption[] = "-platform";
char kOffscreen[] = "offscreen";

}  // namespace

GuiApplicationScope::GuiApplicationScope() {
    if (QCoreApplication::instance() != nullptr) return;
    m_environment = PrepareOffscreenDrawing();
    m_argv[m_argc++] = kProgramName;
    if (m_environment.forceOffscreen) {
        m_argv[m_argc++] = kPlatformOption;
        m_argv[m_argc++] = kOffscreen;
    }
    m_application = std::make_unique<QGuiApplication>(m_argc, m_argv);
    RegisterSuppliedFonts(SuppliedFontsFolder());
}

GuiApplicationScope::~GuiApplicationScope() = default;

}  // namespace zorvek
