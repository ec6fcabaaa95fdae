#include <QTemporaryDir>
#include <QtGlobal>

#include "reports/charts/offscreen_environment.h"

namespace zorvek {

OffscreenEnvironment PrepareOffscreenDrawing() {
    OffscreenEnvironment environment;
    environment.forceOffscreen = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    return environment;
}

// The window platform's own engine (GDI) rounds each glyph's advance to
// whole pixels, so the charts' small text came out wider than offscreen,
// where Qt draws with FreeType.
void PrepareWindowDrawing() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
    }
}

}  // namespace zorvek
