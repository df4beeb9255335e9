#include <gtest/gtest.h>

#include <cerrno>

#include "board/CameraBoard.h"

using boardsim::BoardConfig;
using boardsim::CameraBoard;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint8_t kVendorIn = 0xC0;
constexpr uint8_t kVendorOut = 0x40;

int control(CameraBoard& board, uint8_t type, uint8_t request, uint16_t value, uint16_t index,
            Bytes& data) {
    return board.handleControl({type, request, value, index, static_cast<uint16_t>(data.size())},
                               data.data());
}

// One control transfer of a scripted conversation and what the board must answer.
struct Exchange {
    uint8_t type;
    uint8_t request;
    uint16_t value;
    uint16_t index;
    Bytes data;  // sent (OUT) or, for IN, sized as wLength
    int result;
    Bytes reply;  // IN: the data stage expected
};

void converse(CameraBoard& board, const std::vector<Exchange>& script) {
    for (std::size_t step = 0; step < script.size(); ++step) {
        const Exchange& exchange = script[step];
        Bytes data = exchange.data;
        EXPECT_EQ(
            control(board, exchange.type, exchange.request, exchange.value, exchange.index, data),
            exchange.result)
            << "step " << step;
        if ((exchange.type & 0x80) != 0 && exchange.result >= 0) {
            EXPECT_EQ(Bytes(data.begin(), data.begin() + exchange.result), exchange.reply)
                << "step " << step;
        }
    }
}

}  // namespace

TEST(UsbController, I2cBridgeWritesAndReadsAnEightBitEeprom) {
    CameraBoard board(BoardConfig{}, 0);
    converse(board, {
                        {kVendorOut, 0xA9, 0xFE, 0x54, {0x11, 0x22, 0x33}, 3, {}},
                        // The pointer wraps at the end of the 256-byte memory.
                        {kVendorIn, 0xA9, 0xFE, 0x54, Bytes(3), 3, {0x11, 0x22, 0x33}},
                        {kVendorIn, 0xA9, 0x00, 0x54, Bytes(1), 1, {0x33}},
                        {kVendorIn, 0xA9, 0x13, 0x54, Bytes(2), 2, {0xFF, 0xFF}},
                    });
}

TEST(UsbController, WideRegisterAddressesSendTheHighByteFirst) {
    CameraBoard board(BoardConfig{}, 0);
    converse(board, {
                        {kVendorOut, 0xA9, 0x1234, 0x151, {0xAB}, 1, {}},
                        {kVendorIn, 0xA9, 0x1234, 0x151, Bytes(1), 1, {0xAB}},
                        // Without the wide bit only the low byte (0x34) addresses the memory.
                        {kVendorIn, 0xA9, 0x1234, 0x51, Bytes(1), 1, {0xFF}},
                        // The sensor controller: register 0x3100, then on to 0x3101.
                        {kVendorOut, 0xA9, 0x3100, 0x135, {0x75}, 1, {}},
                        {kVendorIn, 0xA9, 0x3100, 0x135, Bytes(1), 1, {0x75}},
                    });
}

TEST(UsbController, AbsentSlavesReadAsFillerAndRefuseWrites) {
    CameraBoard board(BoardConfig{}, 0);
    converse(board, {
                        {kVendorIn, 0xA9, 0x00, 0x22, Bytes(3), 3, {0xCD, 0xCD, 0xCD}},
                        {kVendorIn, 0xA9, 0x0102, 0x122, Bytes(1), 1, {0xCD}},
                        {kVendorOut, 0xA9, 0x00, 0x22, {0x01}, -EPIPE, {}},
                        // A PCA9633 board has no PCA9530.
                        {kVendorIn, 0xA9, 0x00, 0x60, Bytes(2), 2, {0xCD, 0xCD}},
                        {kVendorIn, 0xA9, 0x00, 0x62, Bytes(1), 1, {0x11}},
                    });
}

TEST(UsbController, SpeedVersionAndUnknownRequests) {
    BoardConfig config;
    config.mcuVersion = 0x0105;
    CameraBoard board(config, 0);
    EXPECT_EQ(board.speedSetting(), 0);
    converse(board, {
                        {kVendorOut, 0xAB, 0, 0, {}, 0, {}},
                    });
    EXPECT_EQ(board.speedSetting(), 1);
    converse(board, {
                        {kVendorIn, 0xAA, 0, 0, Bytes(1), -EPIPE, {}},
                        {kVendorOut, 0xAA, 0, 0, {}, 0, {}},
                        {kVendorIn, 0xB0, 0, 0, Bytes(2), 2, {0x05, 0x01}},
                        // Replies are cut to wLength.
                        {kVendorIn, 0xB0, 0, 0, Bytes(1), 1, {0x05}},
                        {kVendorIn, 0xB0, 0, 0, Bytes(4), 2, {0x05, 0x01}},
                        {kVendorOut, 0xB0, 0, 0, Bytes(2), -EPIPE, {}},
                        // Unknown JTAG operations stall, and so do unknown requests.
                        {kVendorIn, 0xD0, 0x0100, 0, Bytes(1), -EPIPE, {}},
                        {kVendorIn, 0x77, 0, 0, Bytes(1), -EPIPE, {}},
                        {0x80, 0x06, 0x0100, 0, Bytes(18), -EPIPE, {}},  // standard request
                    });
    EXPECT_EQ(board.speedSetting(), 0);
}

TEST(UsbController, AcquisitionModeAndState) {
    CameraBoard board(BoardConfig{}, 0);
    converse(board, {
                        {kVendorIn, 0xC0, 0, 0, Bytes(2), 2, {0x03, 0x00}},
                        {kVendorOut, 0xC0, 1, 0, {}, 0, {}},
                        {kVendorIn, 0xC0, 0, 0, Bytes(2), 2, {0x01, 0x00}},
                        {kVendorOut, 0xC0, 2, 0, {}, -EPIPE, {}},
                        {kVendorIn, 0xC0, 0, 0, Bytes(1), 1, {0x01}},
                    });
    EXPECT_EQ(board.acquisitionMode(), 1);
    converse(board, {
                        {kVendorOut, 0xC0, 3, 0, {}, 0, {}},
                        {kVendorIn, 0xC0, 0, 0, Bytes(2), 2, {0x03, 0x00}},
                    });
    EXPECT_EQ(board.acquisitionMode(), 3);
}

TEST(UsbController, FrameCountersCountUntilTheFifoIsReset) {
    BoardConfig config;
    config.manualClock = true;  // no frames of the board's own
    CameraBoard board(config, 0);
    converse(board, {{kVendorIn, 0xC1, 0, 0, Bytes(4), 4, {0, 0, 0, 0}}});
    for (int i = 0; i < 0x103; ++i) {
        board.countFrameProduced();
    }
    board.countFrameSent();
    board.countFrameSent();
    converse(board, {
                        {kVendorIn, 0xC1, 0, 0, Bytes(4), 4, {0x03, 0x01, 0x02, 0x00}},
                        {kVendorOut, 0xC1, 0, 0, {}, -EPIPE, {}},
                        {kVendorOut, 0xC0, 0, 0, {}, 0, {}},
                        {kVendorIn, 0xC1, 0, 0, Bytes(4), 4, {0, 0, 0, 0}},
                    });
}

TEST(UsbController, FifoResetAndRecoveryDropQueuedDataAndClearTheHalt) {
    CameraBoard board(BoardConfig{}, 0);
    for (const uint8_t request : {uint8_t{0xC0}, uint8_t{0x19}}) {
        board.bulkIn().push(Bytes(512, 0x5A));
        board.setBulkInStalled(true);
        Bytes data = request == 0x19 ? Bytes{0x00, 0x01} : Bytes{};
        const uint16_t index = request == 0x19 ? 0x7D : 0;
        EXPECT_EQ(control(board, kVendorOut, request, 0, index, data),
                  static_cast<int>(data.size()));
        EXPECT_FALSE(board.bulkInStalled());
        EXPECT_EQ(board.bulkIn().queuedTransfers(), 0u);
    }
    // The recovery request has one form only.
    board.setBulkInStalled(true);
    converse(board, {
                        {kVendorOut, 0x19, 0, 0x7C, {0x00, 0x01}, -EPIPE, {}},
                        {kVendorOut, 0x19, 0, 0x7D, {0x01, 0x00}, -EPIPE, {}},
                        {kVendorOut, 0x19, 0, 0x7D, {0x00, 0x01, 0x00}, -EPIPE, {}},
                        {kVendorOut, 0x19, 1, 0x7D, {0x00, 0x01}, -EPIPE, {}},
                        {kVendorIn, 0x19, 0, 0x7D, Bytes(2), -EPIPE, {}},
                    });
    EXPECT_TRUE(board.bulkInStalled());
}
