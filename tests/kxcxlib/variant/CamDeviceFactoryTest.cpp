#include "variant/kxCamDeviceFactory.h"

#include <gtest/gtest.h>

#include "SimDeviceFixture.h"
#include "frame/kxCxLib.h"
#include "variant/kxMvCamDevice.h"
#include "variant/kxRtCamDevice.h"

namespace {

class CamDeviceFactoryTest : public SimDeviceFixture {
protected:
    // Opens a discovered board through the factory under the given model label.
    CamDeviceFactory::Opened openAs(const std::string& name, std::string_view label,
                                    int width = 400) {
        const CxDeviceEntry* entry = kxCxLib::findEntry(name);
        EXPECT_NE(entry, nullptr) << name;
        if (entry == nullptr) {
            return {};
        }
        return CamDeviceFactory::open(label, entry->interfaceGuid, entry->memberIndex,
                                      {width, 400, 480000, "regs.txt", nullptr});
    }
    static void closeOpened(CamDeviceFactory::Opened& opened) {
        ASSERT_NE(opened.context, nullptr);
        EXPECT_GE(opened.device->closeContext(opened.context), 0);
    }
};

}  // namespace

TEST_F(CamDeviceFactoryTest, EachModelOpensWithTheClassOfItsVariant) {
    plug("RT4207;MV3318;MV3329");
    writeFile("regs.txt", "; header\n6A 3008 82\n");

    auto first = openAs("RT4207-x6B6B_00", "RT4207-x6B6B");
    ASSERT_NE(first.context, nullptr);
    EXPECT_NE(dynamic_cast<rtCamDevice*>(first.device.get()), nullptr);
    EXPECT_EQ(first.context->owner, first.device.get());
    closeOpened(first);

    for (const char* name : {"MV3318-x7654_00", "MV3329-x5542_00"}) {
        const std::string label = std::string(name).substr(0, 12);
        auto second = openAs(name, label);
        ASSERT_NE(second.context, nullptr) << name;
        EXPECT_NE(dynamic_cast<mvCamDevice*>(second.device.get()), nullptr) << name;
        closeOpened(second);
    }
}

TEST_F(CamDeviceFactoryTest, AModelWithoutAVariantLeavesTheBoardUntouched) {
    plug("RT4207");
    clearLog();
    auto opened = openAs("RT4207-x6B6B_00", "RT4207-x0000");
    EXPECT_EQ(opened.device, nullptr);
    EXPECT_EQ(opened.context, nullptr);
    EXPECT_TRUE(records().empty());
    // Labels are compared exactly, as discovery wrote them.
    EXPECT_EQ(openAs("RT4207-x6B6B_00", "rt4207-x6b6b").context, nullptr);
}

TEST_F(CamDeviceFactoryTest, AFailedOpenGivesNothingAndFreesTheBoard) {
    plug("RT4207");
    auto refused = openAs("RT4207-x6B6B_00", "RT4207-x6B6B", 0);
    EXPECT_EQ(refused.device, nullptr);
    EXPECT_EQ(refused.context, nullptr);
    auto opened = openAs("RT4207-x6B6B_00", "RT4207-x6B6B");
    closeOpened(opened);
}
