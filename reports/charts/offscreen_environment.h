#pragma once

#include <memory>

class QTemporaryDir;

namespace zorvek {

// What a program without a window needs before it creates the application
// object that draws the histograms.
struct OffscreenEnvironment {
    // Pass "-platform offscreen" to the application: no display is needed.
    bool forceOffscreen = false;
    // A private runtime folder set in the environment, kept while drawing.
    std::unique_ptr<QTemporaryDir> runtimeDir;
};

// Sets up the process environment for drawing without a display; a platform
// the user chose (QT_QPA_PLATFORM) is respected.
OffscreenEnvironment PrepareOffscreenDrawing();

}  // namespace zorvek
