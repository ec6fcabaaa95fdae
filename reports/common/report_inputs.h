#pragma once

#include <functional>

#include "model/format.h"
#include "model/memory_reader.h"
#include "model/passport.h"
#include "model/sinks.h"

namespace zorvek {

// What every document builder takes from the program that runs it: the open
// image, the passport sheet, the progress display and the notifier. The
// window program and the batch command build the same documents with it.
struct ReportInputs {
    MemoryReader& source;
    const PassportSheet& sheet;
    Notifier& notifier;
    // The main progress display; may be null.
    ProgressSink* progress = nullptr;
    // Between decoding and building the window shows the full bar for a
    // moment; without a hook the bar simply returns to 0.
    std::function<void()> pauseAndResetProgress;
    // The day a document is made, for dates that cannot be yet; the
    // machine's clock when null.
    const Clock* clock = nullptr;

    const Clock& DocumentClock() const { return clock ? *clock : SystemClock(); }

    void SetProgress(int percent) const {
        if (progress) progress->SetPosition(percent);
    }
    void PauseAndResetProgress() const {
        if (pauseAndResetProgress) {
            pauseAndResetProgress();
        } else {
            SetProgress(0);
        }
    }
};

}  // namespace zorvek
