// Gathers what the registers ask of the picture: the sensor controller's exposure, gain, metering
// and white balance registers, the FPGA's source, median filter, motion compensation and gamma
// registers with its gamma slots, the lamp's brightness and the board's picture seed.
#pragma once

#include <cstdint>

#include "chips/FpgaRegisterFile.h"
#include "chips/SensorController.h"
#include "picture/PictureSettings.h"

namespace boardsim {

class PictureSettingsReader {
public:
    // illumination: the lamp, 0 (dark) to 1. The gamma table pointer in the result points into
    // the FPGA's slot store and is valid as long as that slot is (see FpgaRegisterFile).
    static PictureSettings read(const SensorController& sensor, const FpgaRegisterFile& fpga,
                                double illumination, uint32_t seed);
};

}  // namespace boardsim
