#include "model/local_time.h"

namespace zorvek {

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

}  // namespace zorvek
