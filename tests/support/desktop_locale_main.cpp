#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

// The documents are made in programs where Qt has set the C library's
// locale from the environment, as every Qt application does at its start
// (the window, `zorvek-cli report --charts`). These suites start the same
// way, so that a run under a decimal-comma locale (LC_ALL=ru_RU.UTF-8)
// meets every number that would go through it.
int main(int argc, char** argv) {
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "The locale the environment names is not installed.\n");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
