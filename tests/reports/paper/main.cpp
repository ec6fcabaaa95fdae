#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "reports/charts/gui_application.h"

// Pictures are drawn without a display: fonts need an application object,
// which the offscreen platform provides anywhere.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    zorvek::GuiApplicationScope gui;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
