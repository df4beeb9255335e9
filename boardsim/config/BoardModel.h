// The camera board models the simulator can be: their labels, interface GUIDs and variants.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace boardsim {

enum class Variant {
    Polling,    // first variant: the host polls the FPGA for each frame
    Streaming,  // second variant: the board streams frames continuously
};

struct BoardModel {
    const char* label;          // model label, e.g. "RT4207-x6B6B"
    const char* interfaceGuid;  // WinUSB DeviceInterfaceGUID the board announces
    Variant variant;
};

class BoardModels {
public:
    // The models in the order the boards' makers list them; the first is the default.
    static const std::vector<BoardModel>& all();
    // By full label or its part before "-x" ("RT4207"), in either letter case; null if none.
    static const BoardModel* find(std::string_view name);
};

}  // namespace boardsim
