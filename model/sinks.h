#pragma once

#include <string_view>

namespace zorvek {

// Where long work reports how far it has come. Positions run 0..100; a sink
// may also use the call to keep a window responsive.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void SetPosition(int percent) = 0;
};

// The few messages that the document layers show themselves. Texts are cp1251.
class Notifier {
  public:
    virtual ~Notifier() = default;
    virtual void Notify(std::string_view text) = 0;
};

}  // namespace zorvek
