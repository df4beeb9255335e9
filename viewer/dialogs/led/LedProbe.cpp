#include "LedProbe.h"

#include <initializer_list>

#include "Pca9530Rule.h"
#include "Pca9633Rule.h"

namespace hv {

namespace {

// What the board's I2C bridge returns for a read that no part acknowledged (its reply buffer
// filler). Each read starts with it in the value too.
constexpr int kUnanswered = 0xCD;

}  // namespace

int LedProbe::find(LedBus& bus) {
    if (answers(bus, Pca9633Rule::kChip)) {
        return kPca9633;
    }
    if (answers(bus, Pca9530Rule::kChip)) {
        return kPca9530;
    }
    return kNone;
}

bool LedProbe::answers(LedBus& bus, int chip) {
    for (const int reg : {0x00, 0x01}) {
        int value = kUnanswered;
        if (bus.read(chip, reg, value) && value != kUnanswered) {
            return true;
        }
    }
    return false;
}

}  // namespace hv
