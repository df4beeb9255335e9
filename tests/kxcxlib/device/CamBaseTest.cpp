#include "device/kxCamBase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::MatchesRegex;

namespace {

class Device : public CamBase {
public:
    void setCounts(int log, int object) {
        ModLog::setRefCount(log);
        ModLock::setRefCount(object);
    }
    int logCount() const { return ModLog::refCount(); }
    int objectCount() const { return ModLock::refCount(); }
};

}  // namespace

TEST(CamBase, ApplicationCallReferencesTheLogFirstThenTheObject) {
    Device device;
    CamBase::AppRef taken = CamBase::AppRef::Object;
    ASSERT_EQ(device.prepAppIntfFunc(&taken), 0);
    EXPECT_EQ(taken, CamBase::AppRef::Log);
    EXPECT_EQ(device.logCount(), 2);
    device.doneAppIntfFunc(taken);
    EXPECT_EQ(device.logCount(), 1);

    device.setCounts(0, 1);
    ASSERT_EQ(device.prepAppIntfFunc(&taken), 0);
    EXPECT_EQ(taken, CamBase::AppRef::Object);
    EXPECT_EQ(device.objectCount(), 2);
    device.doneAppIntfFunc(taken);
    EXPECT_EQ(device.objectCount(), 1);
}

TEST(CamBase, BothReferencesRefusedGiveTheUninitialisedWarning) {
    Device device;
    device.setCounts(0, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.prepAppIntfFunc(), -1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                MatchesRegex("-w- [^\n]*\n  kxCamBase\\.cpp:[0-9]+:CamBase::prepAppIntfFunc "
                             "Library Uninitialized\\.\n"));
}
