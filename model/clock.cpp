#include <ctime>

#include "model/format.h"
#include "model/local_time.h"

namespace zorvek {
namespace {

class LocalClock final : public Clock {
  public:
    LocalDateTime Now() const override {
        const std::tm local = LocalTime(std::time(nullptr));
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
