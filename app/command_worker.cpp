#include "app/command_worker.h"

#include <QEventLoop>

namespace zorvek {

CommandWorker::CommandWorker(CancellableWaits& waits, QObject* parent)
    : QObject(parent), m_waits(waits) {}

CommandWorker::~CommandWorker() {
    if (!m_thread) return;
    m_waits.Cancel();
    // Its `done` would reach a window that is going away.
    m_thread->disconnect(this);
    m_thread->wait();
    delete m_thread;
}

bool CommandWorker::Start(std::function<void()> work, std::function<void()> done) {
    if (m_thread) return false;
    m_waits.Reset();
    m_thread = QThread::create(std::move(work));
    connect(m_thread, &QThread::finished, this, [this, done = std::move(done)]() mutable {
        m_thread->deleteLater();
        m_thread = nullptr;
        // The window is unlocked before `done`, which may start the next
        // step of the same command.
        emit finished();
        done();
    });
    // The window is locked before the work touches the session.
    emit started();
    m_thread->start();
    return true;
}

void CommandWorker::AwaitStart(std::function<void()> work) {
    QEventLoop loop;
    if (!Start(std::move(work), [&loop] { loop.quit(); })) return;
    loop.exec();
}

void CommandWorker::Cancel() {
    if (m_thread) m_waits.Cancel();
}

}  // namespace zorvek
