#include "model/local_time.h"

namespace zorvek {

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

}  // namespace zorvek
