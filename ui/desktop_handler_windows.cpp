#include "ui/desktop_handler.h"

namespace zorvek::ui {

// The shell refuses to open a file of a type no application is registered
// for, so opening says it by itself.
bool DesktopHasHandler(const QString&) { return true; }

}  // namespace zorvek::ui
