// The library's exports over simulated boards, reached either through the sim backend or, the
// way a real board is, through the libusb backend, the real libusb and emulated usbdevfs (the
// usbdevfs bridge). One test body runs on both.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <kxCxApi.h>
#include "TempDir.h"
#include "UsbdevfsBridge.h"
#include "host/SimHost.h"

enum class BackendKind { Sim, Libusb };

class BoardBackendFixture : public testing::TestWithParam<BackendKind> {
public:
    static std::string nameOf(const testing::TestParamInfo<BackendKind>& info);

protected:
    ~BoardBackendFixture() override;

    bool viaLibusb() const { return GetParam() == BackendKind::Libusb; }

    // Builds the boards (KXCX_SIM syntax), puts them on the chosen backend, loads the library
    // and runs discovery. os: the OS descriptors the boards show libusb.
    void start(const char* description, usbmock::OsDescriptors os = usbmock::OsDescriptors::V1);
    // start, then opens the first board of the first model.
    CamContext* startAndOpen(const char* description);
    // Opens a device by name with the viewer's geometry; closed by the fixture.
    CamContext* open(const std::string& name = "RT4207-x6B6B_00");
    int close(CamContext* handle);
    std::shared_ptr<boardsim::CameraBoard> board(const std::string& path = "sim:RT4207-x6B6B:0");
    // The path the backend gives a board.
    std::string pathOf(const std::string& boardPath) const;

    // Hot-plug notices: "+<path> <model>" or "-<path> <model>", in order.
    void listen();
    // Waits until count notices have been heard; what was heard.
    std::vector<std::string> heard(std::size_t count,
                                   std::chrono::milliseconds limit = std::chrono::seconds(10));

    TempDir dir;
    boardsim::SimHost host;
    std::unique_ptr<usbmock::UsbdevfsBridge> bridge;

private:
    struct Notices {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::string> events;
    };
    static void hear(int event, const char* path, const char* model, void* user);

    std::vector<CamContext*> m_opened;
    Notices m_notices;
    bool m_listening = false;
};

#define KX_BOTH_BACKENDS(suite)                                                      \
    INSTANTIATE_TEST_SUITE_P(Backends, suite,                                        \
                             testing::Values(BackendKind::Sim, BackendKind::Libusb), \
                             BoardBackendFixture::nameOf)
