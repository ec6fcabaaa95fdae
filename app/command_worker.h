#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "access/wait_clock.h"

namespace zorvek {

// Runs the window's long commands (device reads, documents, archive calls)
// one at a time, each on a thread of its own, so that the window keeps
// painting and answering while the recorder talks for 40 seconds. The work
// owns the session and the devices while it runs; the window touches
// neither until `done` is called back on its own thread.
class CommandWorker final : public QObject {
    Q_OBJECT
  public:
    // `waits` is the clock every device waits on: Cancel reaches the
    // transfers through it.
    explicit CommandWorker(CancellableWaits& waits, QObject* parent = nullptr);
    // A command still running is cancelled and waited for.
    ~CommandWorker() override;

    bool Running() const { return m_thread != nullptr; }
    bool CancelRequested() const { return m_waits.Cancelled(); }

    // Starts `work` on a new thread and calls `done` with its result on the
    // window's thread once it ended. Refused (false) while a command runs.
    template <typename Work, typename Done>
    bool Run(Work work, Done done) {
        using Result = std::invoke_result_t<Work&>;
        if constexpr (std::is_void_v<Result>) {
            return Start(std::move(work), std::move(done));
        } else {
            auto result = std::make_shared<std::optional<Result>>();
            return Start([result, work = std::move(work)]() mutable { result->emplace(work()); },
                         [result, done = std::move(done)]() mutable { done(std::move(**result)); });
        }
    }

    // Runs `work` and returns its result, keeping the window alive in an
    // event loop of its own meanwhile: for a step inside a dialog that is
    // already modal (the fleet's history of one crane), where no other
    // command can be running.
    template <typename Work>
    auto Await(Work work) -> std::invoke_result_t<Work&> {
        using Result = std::invoke_result_t<Work&>;
        std::optional<Result> result;
        AwaitStart([&] { result.emplace(work()); });
        return std::move(*result);
    }

    // Asks the running command to stop at its next frame or wait.
    void Cancel();

  signals:
    void started();
    // The command's thread has ended; its `done` runs right after.
    void finished();

  private:
    bool Start(std::function<void()> work, std::function<void()> done);
    void AwaitStart(std::function<void()> work);

    CancellableWaits& m_waits;
    QPointer<QThread> m_thread;
};

}  // namespace zorvek
