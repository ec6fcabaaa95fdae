#include <QTemporaryDir>
#include <QtGlobal>

#include "reports/charts/offscreen_environment.h"

namespace zorvek {

OffscreenEnvironment PrepareOffscreenDrawing() {
    OffscreenEnvironment environment;
    environment.forceOffscreen = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    return environment;
}

const char* WindowPlatform() {
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "windows:fontengine=freetype" : nullptr;
}

}  // namespace zorvek
