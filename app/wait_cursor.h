#pragma once

#include <QApplication>

namespace zorvek {

// The wait cursor over the program's windows while work that may take long
// (an archive on a distant server, a big fleet) runs on the window's thread.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace zorvek
