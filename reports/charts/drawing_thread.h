#pragma once

#include <functional>
#include <memory>

class QThread;

namespace zorvek {

// A thread of its own for work that draws (pictures, pages): started by the
// drawing toolkit, which then clears its per-thread font caches when the
// work ends. A thread it did not start has them cleared only after the
// program's end, which crashed the program on Windows. Joined when it goes.
class DrawingThread {
  public:
    explicit DrawingThread(std::function<void()> work);
    ~DrawingThread();
    DrawingThread(const DrawingThread&) = delete;
    DrawingThread& operator=(const DrawingThread&) = delete;

  private:
    std::unique_ptr<QThread> m_thread;
};

}  // namespace zorvek
