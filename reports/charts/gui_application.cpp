#include "reports/charts/gui_application.h"

#include <QGuiApplication>
#include <QTemporaryDir>

namespace zorvek {

namespace {

char kProgramName[] = "zorvek";
char kPlatformOption[] = "-platform";
char kOffscreen[] = "offscreen";

}  // namespace

GuiApplicationScope::GuiApplicationScope() {
    if (QCoreApplication::instance() != nullptr) return;
    m_argv[m_argc++] = kProgramName;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        m_argv[m_argc++] = kPlatformOption;
        m_argv[m_argc++] = kOffscreen;
    }
    // Drawing offscreen needs no runtime folder; without this Qt warns on
    // every start of a headless tool run outside a desktop session.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        m_runtimeDir = std::make_unique<QTemporaryDir>();  // private (0700), as Qt wants it
        if (m_runtimeDir->isValid()) qputenv("XDG_RUNTIME_DIR", m_runtimeDir->path().toUtf8());
    }
    m_application = std::make_unique<QGuiApplication>(m_argc, m_argv);
}

GuiApplicationScope::~GuiApplicationScope() = default;

}  // namespace zorvek
