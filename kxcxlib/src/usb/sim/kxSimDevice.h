// An opened simulated board: the transport operations carried out on a boardsim::CameraBoard.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "usb/kxUsbBackend.h"
#include "usb/sim/kxSimTransferLog.h"

namespace boardsim {
class CameraBoard;
}

namespace kx {

class SimDevice : public UsbDevice {
public:
    SimDevice(std::shared_ptr<boardsim::CameraBoard> board, SimTransferLog& log);
    ~SimDevice() override;

    bool querySpeed(uint8_t& speed) override;
    bool queryInterfaceSettings(uint8_t alternate, InterfaceInfo& info) override;
    bool queryPipe(uint8_t alternate, uint8_t index, PipeInfo& info) override;
    bool setPipePolicy(uint8_t pipeId, PipePolicy policy, uint32_t value) override;
    bool resetPipe(uint8_t pipeId) override;
    bool abortPipe(uint8_t pipeId) override;
    bool controlTransfer(const ControlSetup& setup, uint8_t* data, uint32_t& transferred) override;
    bool readPipe(uint8_t pipeId, uint8_t* data, uint32_t length, uint32_t& transferred) override;
    bool writePipe(uint8_t pipeId, const uint8_t* data, uint32_t length,
                   uint32_t& transferred) override;
    // Asynchronous reads are carried out in order by one worker thread of the device.
    bool submitRead(AsyncRead& read) override;

private:
    struct PipeState {
        bool autoClearStall = false;
        uint32_t timeoutMs = 0;
    };

    // A recorded synchronous read or write; false with the platform error set.
    bool syncTransfer(SimTransfer::Kind kind, uint8_t pipeId, uint8_t* data, uint32_t length,
                      uint32_t& transferred);
    // One data transfer with the pipe's policies; bytes or a negative errno.
    int transfer(uint8_t pipeId, uint8_t* data, uint32_t length);
    bool hasPipe(uint8_t pipeId) const;
    // The board left since this device was opened (it may be back, under a new attachment).
    bool gone() const;
    void asyncLoop();
    static void complete(AsyncRead& read, int result);

    const std::shared_ptr<boardsim::CameraBoard> m_board;
    SimTransferLog& m_log;
    const uint64_t m_attachment;

    std::mutex m_pipeMutex;
    std::map<uint8_t, PipeState> m_pipes;

    std::mutex m_queueMutex;
    std::condition_variable m_queueChanged;
    std::deque<AsyncRead*> m_queue;
    AsyncRead* m_current = nullptr;
    bool m_currentCancelled = false;
    bool m_stopping = false;
    std::thread m_worker;
};

}  // namespace kx
