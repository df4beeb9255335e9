// The simulator's firmware images and gamma tables, as files: name (relative to the data
// folder) and content. Deterministic: the same build gives the same bytes.
//
//   firmware/default.bit      FPGA bitstream, design version 1.30
//   firmware/default.mcs      the same design's configuration stream as a flash image: Intel HEX,
//                             16 data bytes a record, extended address records, padded with 0xFF
//                             to whole records
//   firmware/default.hex      USB controller program, firmware version 1.07 (Intel HEX)
//   firmware/default.iic      boot image of that program (header device ID 1.07)
//   firmware/fpga_1_20.bit    older design, version 1.20
//   firmware/mcu_1_05.hex     older controller program, version 1.05
//   gamma/Lookup1024_N.txt    gamma curves, type 0 ("%lf %d": input level, output level),
//                             N = 0 to 3 and 7 to 9 (GammaCurves)
#pragma once

#include <string>
#include <vector>

namespace firmwaregen {

struct GeneratedFile {
    std::string name;
    std::string content;
};

std::vector<GeneratedFile> firmwareSet();

}  // namespace firmwaregen
