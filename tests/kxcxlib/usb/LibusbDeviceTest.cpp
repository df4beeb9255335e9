// What a libusb device decides without a board: the per-pipe policies, the speed numbers and
// the interface settings taken from a configuration descriptor.
#include <gtest/gtest.h>
#include <libusb.h>

#include <vector>

#include "usb/libusb/kxLibusbDevice.h"
#include "usb/libusb/kxPipeTable.h"

namespace {

using kx::PipeInfo;
using kx::PipePolicy;
using kx::PipeType;

constexpr uint8_t kBulkIn = 0x81;
constexpr uint8_t kBulkOut = 0x02;
constexpr uint8_t kInterruptIn = 0x83;

kx::PipeTable boardPipes() {
    return kx::PipeTable({{PipeType::Bulk, kBulkIn, 512, 0},
                          {PipeType::Bulk, kBulkOut, 512, 0},
                          {PipeType::Interrupt, kInterruptIn, 64, 4}});
}

TEST(PipeTable, PoliciesApplyOnlyToPipesOfTheSetting) {
    kx::PipeTable pipes = boardPipes();
    ASSERT_NE(pipes.find(kInterruptIn), nullptr);
    EXPECT_EQ(pipes.find(kInterruptIn)->type, PipeType::Interrupt);
    EXPECT_EQ(pipes.find(0x01), nullptr);  // the OUT twin of the bulk IN pipe
    EXPECT_EQ(pipes.find(0), nullptr);

    EXPECT_EQ(pipes.timeoutMs(kBulkIn), 0u);  // none until set
    EXPECT_TRUE(pipes.setPolicy(kBulkIn, PipePolicy::TransferTimeout, 20));
    EXPECT_EQ(pipes.timeoutMs(kBulkIn), 20u);
    EXPECT_EQ(pipes.timeoutMs(kBulkOut), 0u);
    EXPECT_TRUE(pipes.setPolicy(kBulkIn, PipePolicy::TransferTimeout, 0));
    EXPECT_EQ(pipes.timeoutMs(kBulkIn), 0u);

    EXPECT_FALSE(pipes.setPolicy(0x01, PipePolicy::TransferTimeout, 5));
    EXPECT_FALSE(pipes.setPolicy(0, PipePolicy::AutoClearStall, 1));
    EXPECT_FALSE(pipes.setPolicy(kBulkIn, static_cast<PipePolicy>(7), 1));
    EXPECT_EQ(pipes.timeoutMs(0x01), 0u);
}

TEST(PipeTable, AStallIsClearedOnceBeforeTheNextTransferUnderAutoClearStall) {
    kx::PipeTable pipes = boardPipes();
    pipes.noteStall(kBulkIn);  // policy off: the stall stays for the caller
    EXPECT_FALSE(pipes.takePendingClear(kBulkIn));

    ASSERT_TRUE(pipes.setPolicy(kBulkIn, PipePolicy::AutoClearStall, 2));  // any non-zero value
    pipes.noteStall(kBulkIn);
    pipes.noteStall(kBulkOut);
    EXPECT_FALSE(pipes.takePendingClear(kBulkOut));
    EXPECT_TRUE(pipes.takePendingClear(kBulkIn));
    EXPECT_FALSE(pipes.takePendingClear(kBulkIn));

    pipes.noteStall(kBulkIn);
    pipes.noteCleared(kBulkIn);  // resetPipe did it
    EXPECT_FALSE(pipes.takePendingClear(kBulkIn));

    pipes.noteStall(kBulkIn);
    ASSERT_TRUE(pipes.setPolicy(kBulkIn, PipePolicy::AutoClearStall, 0));
    EXPECT_FALSE(pipes.takePendingClear(kBulkIn));
    pipes.noteStall(0x01);  // no such pipe: ignored
    EXPECT_FALSE(pipes.takePendingClear(0x01));
}

TEST(LibusbDevice, NumbersSpeedsLowToSuper) {
    EXPECT_EQ(kx::LibusbDevice::speedNumber(LIBUSB_SPEED_LOW), 1);
    EXPECT_EQ(kx::LibusbDevice::speedNumber(LIBUSB_SPEED_FULL), 2);
    EXPECT_EQ(kx::LibusbDevice::speedNumber(LIBUSB_SPEED_HIGH), 3);
    EXPECT_EQ(kx::LibusbDevice::speedNumber(LIBUSB_SPEED_SUPER), 4);
    EXPECT_EQ(kx::LibusbDevice::speedNumber(LIBUSB_SPEED_SUPER_PLUS), 4);
    EXPECT_EQ(kx::LibusbDevice::speedNumber(LIBUSB_SPEED_UNKNOWN), 0);
    EXPECT_EQ(kx::LibusbDevice::speedNumber(42), 0);
}

libusb_endpoint_descriptor endpoint(uint8_t address, uint8_t attributes, uint16_t maxPacket,
                                    uint8_t interval) {
    libusb_endpoint_descriptor descriptor{};
    descriptor.bLength = LIBUSB_DT_ENDPOINT_SIZE;
    descriptor.bDescriptorType = LIBUSB_DT_ENDPOINT;
    descriptor.bEndpointAddress = address;
    descriptor.bmAttributes = attributes;
    descriptor.wMaxPacketSize = maxPacket;
    descriptor.bInterval = interval;
    return descriptor;
}

libusb_interface_descriptor setting(uint8_t number, uint8_t alternate,
                                    const std::vector<libusb_endpoint_descriptor>& endpoints) {
    libusb_interface_descriptor descriptor{};
    descriptor.bInterfaceNumber = number;
    descriptor.bAlternateSetting = alternate;
    descriptor.bNumEndpoints = static_cast<uint8_t>(endpoints.size());
    descriptor.bInterfaceClass = LIBUSB_CLASS_VENDOR_SPEC;
    descriptor.endpoint = endpoints.data();
    return descriptor;
}

TEST(LibusbDevice, TakesTheSettingsOfInterfaceZeroWhereverItIsListed) {
    // Interface 1 comes first in the configuration; interface 0 has two alternate settings, the
    // second listed first.
    const std::vector<libusb_endpoint_descriptor> otherEndpoints = {
        endpoint(0x84, LIBUSB_TRANSFER_TYPE_BULK, 64, 0)};
    const std::vector<libusb_endpoint_descriptor> boardEndpoints = {
        endpoint(0x81, LIBUSB_TRANSFER_TYPE_BULK, 512, 0),
        endpoint(0x02, LIBUSB_TRANSFER_TYPE_BULK, 512, 0),
        endpoint(0x83, LIBUSB_TRANSFER_TYPE_INTERRUPT, 0x0840, 4),  // 64 bytes, 2 extra per frame
        endpoint(0x85, LIBUSB_TRANSFER_TYPE_ISOCHRONOUS | 0x04, 1024, 1)};
    const std::vector<libusb_endpoint_descriptor> none;
    const std::vector<libusb_interface_descriptor> other = {setting(1, 0, otherEndpoints)};
    const std::vector<libusb_interface_descriptor> board = {setting(0, 1, none),
                                                            setting(0, 0, boardEndpoints)};
    const std::vector<libusb_interface> interfaces = {{other.data(), 1}, {board.data(), 2}};
    libusb_config_descriptor config{};
    config.bNumInterfaces = 2;
    config.interface = interfaces.data();

    const auto settings = kx::LibusbDevice::interfaceSettings(config, 0);
    ASSERT_EQ(settings.size(), 2u);
    EXPECT_EQ(settings[0].info.alternateSetting, 1);
    EXPECT_EQ(settings[0].info.numEndpoints, 0);
    EXPECT_TRUE(settings[0].pipes.empty());

    const kx::InterfaceInfo& info = settings[1].info;
    EXPECT_EQ(info.interfaceNumber, 0);
    EXPECT_EQ(info.alternateSetting, 0);
    EXPECT_EQ(info.numEndpoints, 4);
    EXPECT_EQ(info.interfaceClass, LIBUSB_CLASS_VENDOR_SPEC);
    const std::vector<PipeInfo>& pipes = settings[1].pipes;
    ASSERT_EQ(pipes.size(), 4u);
    EXPECT_EQ(pipes[0].type, PipeType::Bulk);
    EXPECT_EQ(pipes[0].pipeId, 0x81);
    EXPECT_EQ(pipes[0].maximumPacketSize, 512);
    EXPECT_EQ(pipes[1].pipeId, 0x02);
    EXPECT_EQ(pipes[2].type, PipeType::Interrupt);
    EXPECT_EQ(pipes[2].maximumPacketSize, 64);
    EXPECT_EQ(pipes[2].interval, 4);
    EXPECT_EQ(pipes[3].type, PipeType::Isochronous);  // synchronisation bits dropped

    EXPECT_TRUE(kx::LibusbDevice::interfaceSettings(config, 2).empty());
}

}  // namespace
