// The four buttons on the scope's handle: their numbers (the bits of the FPGA's board status
// nibble) and the names people use for them.
#pragma once

#include <string>
#include <string_view>

namespace boardsim {

class HandleButton {
public:
    static constexpr int kLightUp = 0;
    static constexpr int kLightDown = 1;
    static constexpr int kRecord = 2;
    static constexpr int kPhoto = 3;
    static constexpr int kCount = 4;

    // "light-up", "light-down", "record", "photo"; "" for another number.
    static const char* name(int button);
    // A name or a number 0-3; -1 when it is neither.
    static int parse(std::string_view text);
    // The names of the buttons set in mask, joined by ','; "none" when none is.
    static std::string names(unsigned mask);
};

}  // namespace boardsim
