#include "reports/charts/drawing_thread.h"

#include <QThread>

namespace zorvek {

DrawingThread::DrawingThread(std::function<void()> work)
    : m_thread(QThread::create(std::move(work))) {
    m_thread->start();
}

DrawingThread::~DrawingThread() { m_thread->wait(); }

}  // namespace zorvek
