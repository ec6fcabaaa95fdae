#include <gtest/gtest.h>

#include <cstdlib>

#include "reports/charts/gui_application.h"

// Pictures are drawn without a display: fonts need an application object,
// which the offscreen platform provides anywhere.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    zorvek::GuiApplicationScope gui;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
