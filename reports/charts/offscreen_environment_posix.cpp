#include <QTemporaryDir>
#include <QtGlobal>

#include "reports/charts/offscreen_environment.h"

namespace zorvek {

OffscreenEnvironment PrepareOffscreenDrawing() {
    OffscreenEnvironment environment;
    environment.forceOffscreen = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    // Drawing offscreen needs no runtime folder; without this Qt warns on
    // every start of a headless tool run outside a desktop session.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        environment.runtimeDir = std::make_unique<QTemporaryDir>();  // private (0700)
        if (environment.runtimeDir->isValid()) {
            qputenv("XDG_RUNTIME_DIR", environment.runtimeDir->path().toUtf8());
        }
    }
    return environment;
}

const char* WindowPlatform() { return nullptr; }

}  // namespace zorvek
