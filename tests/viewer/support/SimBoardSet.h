// Simulated boards described by a KXCX_SIM text, with the camera library loaded over them while
// the object lives; the handles it opened are closed before the library goes.
//
// The process describes its simulated boards once, when the library first looks for boards: the
// tests that share one set share one process as well as running in processes of their own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <kxCxApi.h>
#include "ScopedEnv.h"

namespace hvtest {

class SimBoardSet {
public:
    // description: the KXCX_SIM text; count: how many boards it describes; tests: who uses the
    // set, for the failure that says the process described other boards first.
    SimBoardSet(const char* description, std::size_t count, const char* tests)
        : m_boards("KXCX_SIM", description) {
        EXPECT_EQ(loadCxLib(), 0);
        findCxDevices();
        getCxDeviceNames(m_names);
        EXPECT_EQ(m_names.size(), count)
            << "the simulated boards of this process were described before the " << tests
            << " ran (KXCX_SIM is read once per process); run them in a process of their own";
    }
    ~SimBoardSet() {
        for (CamContext* handle : m_opened) {
            closeCxDevice(handle);
        }
        removeCxDevices();
        unloadCxLib();
    }
    SimBoardSet(const SimBoardSet&) = delete;
    SimBoardSet& operator=(const SimBoardSet&) = delete;

    // Opens board index with the viewer's geometry; null (and a test failure) when it cannot.
    CamContext* open(int index) {
        CamContext* handle = openCxDevice(name(index), 400, 400, 480000, nullptr, nullptr);
        EXPECT_NE(handle, nullptr) << "cannot open " << name(index);
        if (handle != nullptr) {
            m_opened.push_back(handle);
        }
        return handle;
    }
    std::string name(int index) const {
        const auto at = static_cast<std::size_t>(index);
        return at < m_names.size() ? m_names[at] : std::string();
    }
    // The handles opened, in order.
    const std::vector<CamContext*>& opened() const { return m_opened; }

    // A register byte of a part on an opened board (wide: 16-bit register addresses); -1 when
    // the read failed.
    static int read(CamContext* handle, int slave, int reg, bool wide = false) {
        int value = 0;
        return readRegister(handle, slave, reg, &value, wide ? 1 : 0) == 1 ? value : -1;
    }
    // Writes a register byte; the test fails when the write did not get through.
    static void write(CamContext* handle, int slave, int reg, int value, bool wide = false) {
        EXPECT_EQ(writeRegister(handle, slave, reg, value, wide ? 1 : 0), 1)
            << "write of register " << reg << " of part " << slave;
    }

private:
    ScopedEnv m_boards;
    std::vector<std::string> m_names;
    std::vector<CamContext*> m_opened;
};

}  // namespace hvtest
