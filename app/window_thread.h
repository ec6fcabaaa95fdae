#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <utility>

namespace zorvek {

// Runs `call` on the window's thread and waits for it there: a message box
// or the desktop's handler asked for by work running on a command's worker.
// Called on the window's thread itself, it simply runs.
template <typename Call>
void OnWindowThread(Call call) {
    QCoreApplication* application = QCoreApplication::instance();
    if (QThread::currentThread() == application->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(application, std::move(call), Qt::BlockingQueuedConnection);
}

}  // namespace zorvek
