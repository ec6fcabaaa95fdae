#pragma once

#include <memory>

#include "reports/charts/offscreen_environment.h"

class QGuiApplication;

namespace zorvek {

// Makes sure a QGuiApplication exists while it lives, for programs without a
// window (the command-line tool, tests, benchmarks) that draw histograms.
// Create it at the start of main(), before any chart is rendered, on the
// thread that renders.
//
// When the process already has an application object (the window program's
// QApplication) it does nothing; a bare QCoreApplication will not do for
// drawing, so create this scope instead of one. Otherwise it creates a QGuiApplication on
// Qt's "offscreen" platform, which needs no display; a platform chosen with
// QT_QPA_PLATFORM is respected. The application it created ends with it.
class GuiApplicationScope {
  public:
    GuiApplicationScope();
    ~GuiApplicationScope();
    GuiApplicationScope(const GuiApplicationScope&) = delete;
    GuiApplicationScope& operator=(const GuiApplicationScope&) = delete;

  private:
    // Qt keeps references to argc and argv for the application's lifetime.
    int m_argc = 0;
    char* m_argv[4] = {};
    OffscreenEnvironment m_environment;
    std::unique_ptr<QGuiApplication> m_application;
};

}  // namespace zorvek
