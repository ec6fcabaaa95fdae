#pragma once

namespace zorvek::test {

// What the preloaded parallel-port stand-in saw; a test reads it through
// dlsym(RTLD_DEFAULT, "ZorvekStandInCounts").
struct StandInCounts {
    int opens = 0;
    int closes = 0;
    int claims = 0;
    int releases = 0;
    long dataWrites = 0;
    long statusReads = 0;
    // Register requests refused because the port was not claimed.
    long unclaimed = 0;
};

}  // namespace zorvek::test
