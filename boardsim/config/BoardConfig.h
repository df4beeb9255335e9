// What one simulated board is: its model and the parts fitted to it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BoardModel.h"

namespace boardsim {

enum class LedChip { Pca9633, Pca9530 };
enum class FlashFamily { Sst, PageProgram, Unknown };
enum class PipeSet { All, BulkOnly };

struct BoardConfig {
    const BoardModel* model = &BoardModels::all().front();
    // The design in the FPGA's configuration flash when the board leaves the factory: version
    // 1.30 (registers 1 and 0 once it configured itself from it); 0.0 leaves the flash blank.
    uint8_t fpgaMajor = 0x01;
    uint8_t fpgaMinor = 0x30;
    uint16_t mcuVersion = 0x0107;  // USB controller firmware 1.07
    LedChip ledChip = LedChip::Pca9633;
    FlashFamily flash = FlashFamily::Sst;
    std::size_t flashSize = 1024 * 1024;           // configuration flash, bytes
    std::chrono::milliseconds flashEraseTime{40};  // chip erase
    // A page program or one auto-address-increment word: 0, done at once, as the host's flash
    // programmer expects (it does not wait between commands).
    std::chrono::microseconds flashProgramTime{0};
    uint32_t fpgaIdcode = 0x0A51C0DD;  // the FPGA's JTAG IDCODE
    int framesPerSecond = 30;          // 0: as fast as the host reads
    uint32_t seed = 1;                 // picture seed
    // Frames follow a clock that stands still until CameraBoard::advanceClock moves it (tests).
    bool manualClock = false;
    PipeSet pipes = PipeSet::All;

    // Faults from power-on (CameraBoard can switch them later).
    std::vector<uint8_t> nackAddresses;  // I2C parts that do not answer
    bool bulkInStalled = false;          // bulk IN halted
    int controlTimeouts = 0;             // control transfers that time out; -1: all
    bool fpgaBusy = false;               // FPGA register 0x60 reads busy
    bool fpgaNotReady = false;           // FPGA register 0x41 never reads ready
    bool jtagStalled = false;            // JTAG data transfers move nothing
    bool memoryFault = false;            // a data line of the FPGA's frame memory stuck low
};

}  // namespace boardsim
