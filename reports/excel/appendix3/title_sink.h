#pragma once

#include <string_view>

namespace zorvek {

// The program window while appendix 3 is built: its title (the task-bar
// text) shows the build's progress, and between cells it may process its
// pending events to stay usable. The batch command ignores both.
class TitleSink {
  public:
    virtual ~TitleSink() = default;
    // cp1251 text such as "Зорвек  -  42%".
    virtual void SetTitle(std::string_view text) = 0;
    // Called after every data cell and at a few fixed points of the build.
    virtual void ProcessPendingMessages() {}
};

}  // namespace zorvek
