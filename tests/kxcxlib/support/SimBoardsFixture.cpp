#include "SimBoardsFixture.h"

#include <memory>

#include "PlugBoards.h"
#include "usb/kxUsbTransport.h"

SimBoardsFixture::SimBoardsFixture() {
    useBackend(std::make_unique<kx::SimBackend>(&host));
}

void SimBoardsFixture::useBackend(std::unique_ptr<kx::SimBackend> sim) {
    backend = sim.get();
    kx::UsbTransport::replace(std::move(sim));
}

SimBoardsFixture::~SimBoardsFixture() {
    kx::UsbTransport::replace(nullptr);
}

void SimBoardsFixture::plug(const char* boards) {
    plugBoards(host, boards);
}
