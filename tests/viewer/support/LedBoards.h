// The simulated boards of the LED tests, with the camera library loaded over them while the
// object lives: a board with a PCA9633, one with a PCA9530, one whose LED controller does not
// answer (its PCA9633 NACKs and it has no PCA9530: the I2C bridge then reads 0xCD) and one whose
// control transfers all time out (every register access fails).
//
// The process describes its simulated boards once, when the library first looks for boards:
// every LED test describes the same three, so the tests share one process as well as running in
// processes of their own. Register contents stay from one test to the next; a test sets what it
// checks.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScopedEnv.h"
#include "kxCxApi.h"

namespace hvtest {

class LedBoards {
public:
    enum Board { WithPca9633 = 0, WithPca9530 = 1, Silent = 2, Unreachable = 3 };

    static constexpr int kPca9633 = 0x62;
    static constexpr int kPca9530 = 0x60;

    LedBoards()
        : m_boards("KXCX_SIM",
                   "RT4207,led=pca9633;RT4207,led=pca9530;RT4207,nack=62;RT4207,timeouts=on") {
        EXPECT_EQ(loadCxLib(), 0);
        findCxDevices();
        getCxDeviceNames(m_names);
        EXPECT_EQ(m_names.size(), 4u)
            << "the simulated boards of this process were described before the LED tests ran "
               "(KXCX_SIM is read once per process); run them in a process of their own";
    }
    ~LedBoards() {
        for (CamContext* handle : m_opened) {
            closeCxDevice(handle);
        }
        removeCxDevices();
        unloadCxLib();
    }
    LedBoards(const LedBoards&) = delete;
    LedBoards& operator=(const LedBoards&) = delete;

    // Opens the board with the viewer's geometry; null (and a test failure) when it cannot.
    CamContext* open(Board board) {
        CamContext* handle = openCxDevice(name(board), 400, 400, 480000, nullptr, nullptr);
        EXPECT_NE(handle, nullptr) << "cannot open " << name(board);
        if (handle != nullptr) {
            m_opened.push_back(handle);
        }
        return handle;
    }
    std::string name(Board board) const {
        const auto index = static_cast<std::size_t>(board);
        return index < m_names.size() ? m_names[index] : std::string();
    }

    // A register byte of a chip on an opened board; -1 when the read failed.
    static int read(CamContext* handle, int chip, int reg) {
        int value = 0;
        return readRegister(handle, chip, reg, &value, 0) == 1 ? value : -1;
    }
    // Writes a register byte; the test fails when the write did not get through.
    static void write(CamContext* handle, int chip, int reg, int value) {
        EXPECT_EQ(writeRegister(handle, chip, reg, value, 0), 1)
            << "write of register " << reg << " of chip " << chip;
    }

private:
    ScopedEnv m_boards;
    std::vector<std::string> m_names;
    std::vector<CamContext*> m_opened;
};

}  // namespace hvtest
