#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>

#include "api/kxExportGuard.h"
#include "usb/kxPlatformError.h"

namespace {

// A type outside the std::exception hierarchy, as a value thrown by other code would be.
struct Unplugged {
    int code;
};

int throwUnplugged() {
    throw Unplugged{ENODEV};
}

class ExportGuard : public testing::Test {
protected:
    void TearDown() override { kx::setLastPlatformError(0); }
};

}  // namespace

TEST_F(ExportGuard, ANonStandardExceptionBecomesTheFailureResult) {
    EXPECT_EQ(guarded(-7, [] { return throwUnplugged(); }), -7);
    EXPECT_EQ(guarded(-2, []() -> int { throw 42; }), -2);
    EXPECT_EQ(guarded<const char*>(nullptr, []() -> const char* { throw Unplugged{EIO}; }),
              nullptr);
}

TEST_F(ExportGuard, ANonStandardExceptionFailsAsAStandardOneDoes) {
    const int standard = guarded(-3, []() -> int { throw std::runtime_error("gone"); });
    const int other = guarded(-3, [] { return throwUnplugged(); });
    EXPECT_EQ(standard, -3);
    EXPECT_EQ(other, standard);
}

TEST_F(ExportGuard, ANonStandardExceptionLeavesThePlatformErrorInErrno) {
    errno = 0;
    const int result = guarded(-1, [] {
        kx::setLastPlatformError(ETIMEDOUT);
        return throwUnplugged();
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(errno, ETIMEDOUT);
}

TEST_F(ExportGuard, ABodyThatReturnsPassesItsResultAndTheThreadsError) {
    kx::setLastPlatformError(EPIPE);
    errno = 0;
    EXPECT_EQ(guarded(-1, [] { return 5; }), 5);
    EXPECT_EQ(errno, EPIPE);
}
