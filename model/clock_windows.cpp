#include <ctime>

#include "model/format.h"

namespace zorvek {
namespace {

class LocalClock final : public Clock {
  public:
    LocalDateTime Now() const override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_s(&local, &now);
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    }
};

}  // namespace

const Clock& SystemClock() {
    static const LocalClock clock;
    return clock;
}

}  // namespace zorvek
