// The bridge's usbdevfs as a program other than libusb uses it: the synchronous requests libusb
// does not issue, a blocking reap, refusals, and a node whose board has gone.
#include <fcntl.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "UsbdevfsBridge.h"
#include "host/SimHost.h"

namespace {

using namespace std::chrono_literals;

class UsbdevfsBridgeTest : public testing::Test {
protected:
    UsbdevfsBridgeTest() {
        std::string error;
        EXPECT_TRUE(host.configure("RT4207,fps=0,mcu=1.07", error)) << error;
        bridge = std::make_unique<usbmock::UsbdevfsBridge>(host);
        fd = ::open("/dev/bus/usb/001/002", O_RDWR);
    }
    ~UsbdevfsBridgeTest() override {
        if (fd >= 0) {
            ::close(fd);
        }
        bridge.reset();
    }

    // A synchronous control request; the result and errno.
    std::pair<int, int> control(uint8_t requestType, uint8_t request, uint16_t value,
                                uint16_t index, uint8_t* data, uint16_t length,
                                unsigned int timeoutMs = 1000) {
        usbdevfs_ctrltransfer transfer{};
        transfer.bRequestType = requestType;
        transfer.bRequest = request;
        transfer.wValue = value;
        transfer.wIndex = index;
        transfer.wLength = length;
        transfer.timeout = timeoutMs;
        transfer.data = data;
        errno = 0;
        const int result = ioctl(fd, USBDEVFS_CONTROL, &transfer);
        return {result, errno};
    }

    boardsim::SimHost host;
    std::unique_ptr<usbmock::UsbdevfsBridge> bridge;
    int fd = -1;
};

}  // namespace

TEST_F(UsbdevfsBridgeTest, SynchronousControlRequestsReachTheDescriptorsAndTheBoard) {
    ASSERT_GE(fd, 0) << std::strerror(errno);
    uint8_t device[18] = {};
    EXPECT_EQ(control(0x80, 0x06, 0x0100, 0, device, sizeof device), std::make_pair(18, 0));
    EXPECT_EQ(device[8] | device[9] << 8, 0x04B4);
    EXPECT_EQ(device[12] | device[13] << 8, 0x0107);  // the running program's version
    uint8_t version[2] = {};
    EXPECT_EQ(control(0xC0, 0xB0, 0, 0, version, 2), std::make_pair(2, 0));
    EXPECT_EQ(version[0] | version[1] << 8, 0x0107);
    // A descriptor the board lacks stalls; a board that does not answer times out.
    uint8_t none[4] = {};
    EXPECT_EQ(control(0x80, 0x06, 0x0F00, 0, none, sizeof none), std::make_pair(-1, EPIPE));
    host.board("sim:RT4207-x6B6B:0")->setControlTimeouts(1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(control(0xC0, 0xB0, 0, 0, version, 2, 100), std::make_pair(-1, ETIMEDOUT));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(control(0xC0, 0xB0, 0, 0, version, 2), std::make_pair(2, 0));
}

TEST_F(UsbdevfsBridgeTest, ABlockingReapWaitsForTheBoardsData) {
    ASSERT_GE(fd, 0);
    uint8_t counter[64] = {};
    usbdevfs_urb urb{};
    urb.type = USBDEVFS_URB_TYPE_INTERRUPT;
    urb.endpoint = 0x81;  // the FPGA's frame counter, at once
    urb.buffer = counter;
    urb.buffer_length = sizeof counter;
    host.board("sim:RT4207-x6B6B:0")->setInterruptInValue(0x1234);
    ASSERT_EQ(ioctl(fd, USBDEVFS_SUBMITURB, &urb), 0);
    usbdevfs_urb* reaped = nullptr;
    ASSERT_EQ(ioctl(fd, USBDEVFS_REAPURB, &reaped), 0) << std::strerror(errno);
    EXPECT_EQ(reaped, &urb);
    EXPECT_EQ(urb.status, 0);
    ASSERT_GE(urb.actual_length, 2);
    EXPECT_EQ(counter[0] | counter[1] << 8, 0x1234);
    // An endpoint the board does not have is refused at once.
    usbdevfs_urb wrong = urb;
    wrong.endpoint = 0x83;
    EXPECT_EQ(ioctl(fd, USBDEVFS_SUBMITURB, &wrong), -1);
    EXPECT_EQ(errno, ENOENT);
    // A control transfer without the 8 bytes of its setup stage is refused too.
    uint8_t setup[4] = {};
    usbdevfs_urb shortControl{};
    shortControl.type = USBDEVFS_URB_TYPE_CONTROL;
    shortControl.buffer = setup;
    shortControl.buffer_length = sizeof setup;
    EXPECT_EQ(ioctl(fd, USBDEVFS_SUBMITURB, &shortControl), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(ioctl(fd, USBDEVFS_REAPURBNDELAY, &reaped), -1);
    EXPECT_EQ(errno, EAGAIN);
}

TEST_F(UsbdevfsBridgeTest, RequestsItDoesNotKnowAndAGoneBoardAreRefused) {
    ASSERT_GE(fd, 0);
    usbdevfs_connectinfo info{};
    ASSERT_EQ(ioctl(fd, USBDEVFS_CONNECTINFO, &info), 0);
    EXPECT_EQ(info.devnum, 2u);
    EXPECT_EQ(ioctl(fd, USBDEVFS_GET_SPEED), 3);  // high speed
    unsigned int interface = 1;
    EXPECT_EQ(ioctl(fd, USBDEVFS_CLAIMINTERFACE, &interface), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(ioctl(fd, USBDEVFS_ALLOC_STREAMS, nullptr), -1);
    EXPECT_EQ(errno, ENOTTY);

    // A bulk read waiting for data when the board is pulled out ends with ENODEV, and so does
    // everything else on the node, also after the board came back on a new one.
    uint8_t frame[64] = {};
    usbdevfs_urb urb{};
    urb.type = USBDEVFS_URB_TYPE_BULK;
    urb.endpoint = 0x02;  // bulk OUT: the FIFO takes nothing until a gamma load is armed
    urb.buffer = frame;
    urb.buffer_length = sizeof frame;
    ASSERT_EQ(ioctl(fd, USBDEVFS_SUBMITURB, &urb), 0);
    host.unplug("sim:RT4207-x6B6B:0");
    usbdevfs_urb* reaped = nullptr;
    ASSERT_EQ(ioctl(fd, USBDEVFS_REAPURB, &reaped), 0) << std::strerror(errno);
    EXPECT_EQ(urb.status, -ENODEV);
    host.plug("sim:RT4207-x6B6B:0");
    int again = -1;
    for (int i = 0; i < 500 && again < 0; ++i) {
        std::this_thread::sleep_for(10ms);
        again = ::open("/dev/bus/usb/001/003", O_RDWR);
    }
    ASSERT_GE(again, 0) << "the board did not come back on a new node";
    EXPECT_EQ(ioctl(fd, USBDEVFS_REAPURBNDELAY, &reaped), -1);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_EQ(ioctl(fd, USBDEVFS_CONNECTINFO, &info), -1);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_EQ(ioctl(again, USBDEVFS_CONNECTINFO, &info), 0);
    EXPECT_EQ(info.devnum, 3u);
    ::close(again);
}
