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

// The platform a program with a window asks Qt for ("-platform"), or null
// for the system's own. The charts' text must be laid out by FreeType, as
// on the offscreen platform and on Linux: Windows' own font engine draws it
// wider, and the window's pictures would differ from the command line's. A
// platform the user chose (QT_QPA_PLATFORM) is respected.
const char* WindowPlatform();

}  // namespace zorvek
