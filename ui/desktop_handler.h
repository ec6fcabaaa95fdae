#pragma once

#include <QString>

namespace zorvek::ui {

// Whether the desktop has an application to open the file with. Starting
// the desktop's opener succeeds even where it then finds none, so the
// window asks first and shows the document itself where there is none.
bool DesktopHasHandler(const QString& file);

}  // namespace zorvek::ui
