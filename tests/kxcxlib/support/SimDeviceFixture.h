// A test with the library loaded over simulated boards of its own, in a fresh current folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <kxCxApi.h>
#include "SimBoardsFixture.h"

class SimDeviceFixture : public SimBoardsFixture {
protected:
    SimDeviceFixture();
    ~SimDeviceFixture() override;

    // Replaces the boards (KXCX_SIM syntax) and runs discovery.
    void plug(const char* boards);
    // Opens a device by name with the viewer's geometry (400 x 400, 480000 bytes).
    CamContext* open(const std::string& name = "RT4207-x6B6B_00", const char* regFile = nullptr,
                     const char* traceFile = nullptr);
    // Plugs the boards, opens the first board of the first model and clears the transfer log.
    CamContext* openBoard(const char* description);
    // Closes a handle opened through open().
    int close(CamContext* handle);
    // The control transfers the board received since the last clearLog.
    std::vector<kx::SimTransfer> controls() const { return backend->transferLog().controls(); }
    std::vector<kx::SimTransfer> records() const { return backend->transferLog().records(); }
    // The same as text, one transfer "type request value index length [data...]" in hex, the data
    // bytes for transfers to the board only.
    std::vector<std::string> sentControls() const;
    void clearLog() { backend->transferLog().clear(); }
    // The library's daily log as written so far (pending lines flushed first).
    std::string logText();
    // Writes a text file into the test's folder; returns its name.
    std::string writeFile(const std::string& name, const std::string& text);

    std::vector<CamContext*> opened;
};
