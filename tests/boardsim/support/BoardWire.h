// What a host does on a simulated board's USB interface, for the frame tests: register access
// over request 0xA9, the other vendor requests, and reads and writes on the data pipes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "board/CameraBoard.h"

namespace boardwire {

using Bytes = std::vector<uint8_t>;
using boardsim::CameraBoard;

constexpr uint8_t kVendorIn = 0xC0;
constexpr uint8_t kVendorOut = 0x40;
constexpr uint16_t kFpga = 0x3C;
constexpr uint16_t kSensor = 0x135;

// A board whose frames follow a manual clock (unthrottled: the steady clock), with its frames
// per second and design version (default 1.47 in decimal, 0x2F: the word layout).
inline boardsim::BoardConfig frameBoard(int fps, uint8_t fpgaMajor = 0x01, uint8_t fpgaMinor = 0x2F,
                                        const char* model = "RT4207") {
    boardsim::BoardConfig config;
    config.model = boardsim::BoardModels::find(model);
    config.framesPerSecond = fps;
    config.fpgaMajor = fpgaMajor;
    config.fpgaMinor = fpgaMinor;
    // Unthrottled frames take their picture's time from the clock: let it run.
    config.manualClock = fps > 0;
    return config;
}

// Polls until the condition holds or the time-out passes; the condition's last answer.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline uint8_t fpgaRead(CameraBoard& board, uint8_t reg) {
    uint8_t value = 0;
    EXPECT_EQ(board.handleControl({kVendorIn, 0xA9, reg, kFpga, 1}, &value), 1);
    return value;
}

inline void fpgaWrite(CameraBoard& board, uint8_t reg, uint8_t value) {
    EXPECT_EQ(board.handleControl({kVendorOut, 0xA9, reg, kFpga, 1}, &value), 1);
}

inline uint8_t sensorRead(CameraBoard& board, uint16_t reg) {
    uint8_t value = 0;
    EXPECT_EQ(board.handleControl({kVendorIn, 0xA9, reg, kSensor, 1}, &value), 1);
    return value;
}

inline void sensorWrite(CameraBoard& board, uint16_t reg, uint8_t value) {
    EXPECT_EQ(board.handleControl({kVendorOut, 0xA9, reg, kSensor, 1}, &value), 1);
}

// Selects bank k and pulses the start register, as the host's tick does.
inline void startBank(CameraBoard& board, int bank) {
    fpgaWrite(board, 0x65, static_cast<uint8_t>(0x80 + 0x10 * bank));
    fpgaWrite(board, 0x61, 0);
    fpgaWrite(board, 0x61, 1);
}

// Request 0xC0 OUT with a mode (0 FIFO reset, 1 start, 3 stop).
inline int acquisition(CameraBoard& board, uint16_t mode) {
    return board.handleControl({kVendorOut, 0xC0, mode, 0, 0}, nullptr);
}

// Request 0xC1: (produced, sent).
inline std::pair<int, int> frameCounts(CameraBoard& board) {
    uint8_t data[4] = {};
    EXPECT_EQ(board.handleControl({kVendorIn, 0xC1, 0, 0, 4}, data), 4);
    return {data[0] | data[1] << 8, data[2] | data[3] << 8};
}

// One bulk IN read of up to length bytes; result gets the board's answer.
inline Bytes bulkRead(CameraBoard& board, uint32_t length, std::chrono::milliseconds timeout,
                      int* result = nullptr) {
    Bytes data(length);
    const int got = board.handleData(CameraBoard::kBulkIn, data.data(), length, timeout);
    if (result != nullptr) {
        *result = got;
    }
    data.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return data;
}

inline uint32_t interruptRead(CameraBoard& board) {
    uint8_t data[4] = {};
    EXPECT_EQ(board.handleData(CameraBoard::kInterruptIn, data, 4, std::chrono::milliseconds(20)),
              4);
    return static_cast<uint32_t>(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24);
}

inline void interruptWrite(CameraBoard& board, uint8_t byte) {
    EXPECT_EQ(board.handleData(CameraBoard::kInterruptOut, &byte, 1, std::chrono::milliseconds(20)),
              1);
}

}  // namespace boardwire
