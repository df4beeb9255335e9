// The entry of the viewer's tests: one QApplication on the offscreen platform, simulated boards,
// and no control channel of a person's session.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("KXCX_BACKEND", "sim", 0);
    setenv("KXCX_SIM_SOCKET", "none", 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
