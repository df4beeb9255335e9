#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <kxCxApi.h>
#include "SimBoardsFixture.h"
#include "device/kxCamContext.h"
#include "frame/kxCxLib.h"
#include "host/SimHost.h"
#include "usb/kxUsbTransport.h"
#include "usb/sim/kxSimBackend.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class Discovery : public SimBoardsFixture {
protected:
    Discovery() {
        loadCxLib();
        plug("none");
        findCxDevices();  // forget what earlier tests found
    }
    ~Discovery() override { unloadCxLib(); }

    std::vector<std::string> names() {
        std::vector<std::string> list;
        const int count = getCxDeviceNames(list);
        EXPECT_EQ(count, static_cast<int>(list.size()));
        return list;
    }
};

// Fails every index with an odd number, then ends after four.
class PatchyBackend : public kx::UsbBackend {
public:
    const char* name() const override { return "patchy"; }
    kx::EnumResult interfacePath(const kx::Guid& guid, int index, std::string& path) override {
        if (guid.toString() != "{07039751-9D61-46F3-98BD-B4B79AD56B6B}" || index >= 4) {
            return kx::EnumResult::NoMoreItems;
        }
        if (index % 2 == 1) {
            return kx::EnumResult::Failed;
        }
        path = "patchy:" + std::to_string(index);
        return kx::EnumResult::Found;
    }
    std::unique_ptr<kx::UsbDevice> open(const std::string&) override { return nullptr; }
    bool setHotplugHandler(kx::HotplugHandler) override { return false; }
    void setModelGuids(std::map<std::string, kx::Guid>) override {}
};

}  // namespace

TEST_F(Discovery, DefaultBoardIsTheFirstModel) {
    plug("");
    EXPECT_EQ(findCxDevices(), 1);
    EXPECT_THAT(names(), ElementsAre("RT4207-x6B6B_00"));
    EXPECT_EQ(getNumberOfCxDevices(), 1);
    const CxDeviceEntry* entry = kxCxLib::findEntry("RT4207-x6B6B_00");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->modelLabel, "RT4207-x6B6B");
    EXPECT_EQ(entry->interfaceGuid.toString(), "{07039751-9D61-46F3-98BD-B4B79AD56B6B}");
    EXPECT_EQ(entry->memberIndex, 0);
    EXPECT_EQ(entry->openContext, nullptr);
}

TEST_F(Discovery, BoardsOfOneModelAreNumberedAndNamesSortByBytes) {
    plug("RT4207*2;MV3329;MV3318");
    EXPECT_EQ(findCxDevices(), 4);
    EXPECT_THAT(names(), ElementsAre("MV3318-x7654_00", "MV3329-x5542_00", "RT4207-x6B6B_00",
                                     "RT4207-x6B6B_01"));
}

TEST_F(Discovery, TheHundredAndFirstInterfaceGetsThreeDigits) {
    plug("MV3318*101");
    EXPECT_EQ(findCxDevices(), 101);
    const auto list = names();
    ASSERT_EQ(list.size(), 101u);
    // Byte order puts "_100" between "_10" and "_11".
    EXPECT_EQ(list[10], "MV3318-x7654_10");
    EXPECT_EQ(list[11], "MV3318-x7654_100");
}

TEST_F(Discovery, NothingAttachedFindsNothing) {
    EXPECT_EQ(findCxDevices(), 0);
    EXPECT_THAT(names(), IsEmpty());
    EXPECT_EQ(removeCxDevices(), 0);
}

TEST_F(Discovery, BoardsThatLeftAreDroppedUnlessOpen) {
    plug("RT4207*2");
    ASSERT_EQ(findCxDevices(), 2);
    ASSERT_TRUE(host.unplug("sim:RT4207-x6B6B:0"));
    // The remaining board is now the only interface, index 0.
    EXPECT_EQ(findCxDevices(), 1);
    EXPECT_THAT(names(), ElementsAre("RT4207-x6B6B_00"));

    CamContext context;
    kxCxLib::findEntry("RT4207-x6B6B_00")->openContext = &context;
    ASSERT_TRUE(host.unplug("sim:RT4207-x6B6B:1"));
    EXPECT_EQ(findCxDevices(), 0);
    EXPECT_THAT(names(), ElementsAre("RT4207-x6B6B_00"));
    EXPECT_EQ(removeCxDevices(), 0);
    EXPECT_EQ(kxCxLib::findEntry("RT4207-x6B6B_00")->openContext, nullptr);
    EXPECT_EQ(findCxDevices(), 0);
    EXPECT_THAT(names(), IsEmpty());
}

TEST_F(Discovery, ReplugAfterUnplugShowsOneDevice) {
    plug("MV3318");
    ASSERT_EQ(findCxDevices(), 1);
    host.unplug("sim:MV3318-x7654:0");
    EXPECT_EQ(findCxDevices(), 0);
    host.plug("sim:MV3318-x7654:0");
    EXPECT_EQ(findCxDevices(), 1);
    EXPECT_THAT(names(), ElementsAre("MV3318-x7654_00"));
}

TEST_F(Discovery, FailedIndexesAreSkippedAndDiscoveryGoesOn) {
    kx::UsbTransport::replace(std::make_unique<PatchyBackend>());
    EXPECT_EQ(findCxDevices(), 2);
    EXPECT_THAT(names(), ElementsAre("RT4207-x6B6B_00", "RT4207-x6B6B_02"));
}

TEST_F(Discovery, BeforeLoadTheModelTableDecides) {
    // The model table outlives the library object, so only a process that never loaded finds
    // nothing; here the rows are present and a fresh object finds the board.
    plug("");
    unloadCxLib();
    EXPECT_EQ(findCxDevices(), 1);
}

TEST_F(Discovery, OpenOfANameNeverFoundGivesNull) {
    EXPECT_EQ(openCxDevice("RT4207-x6B6B_07", 400, 400, 480000, nullptr, nullptr), nullptr);
}
