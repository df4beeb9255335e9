// The entry of every test program: tests run on simulated boards and never serve the control
// channel of a person's session, however they are started.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("KXCX_BACKEND", "sim", 0);
    setenv("KXCX_SIM_SOCKET", "none", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
