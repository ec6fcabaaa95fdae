#include <QTemporaryDir>
#include <QtGlobal>

#include "reports/charts/offscreen_environment.h"

namespace zorvek {

OffscreenEnvironment PrepareOffscreenDrawing() {
    OffscreenEnvironment environment;
    environment.forceOffscreen = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    return environment;
}

}  // namespace zorvek
