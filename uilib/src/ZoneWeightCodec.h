// The codec of a WEIGHT setting: one weight box and the weight of its zone, written as one word
// "BOX,LEFT,TOP,WIDTH,HEIGHT,WEIGHT" (six decimal numbers, no blanks), for example
// "05,142,150,28,20,8".
#pragma once

#include <string>

#include "MeteringRecord.h"

namespace kxui {

class ZoneWeightCodec {
public:
    // What a WEIGHT entry's field points to: the record's zones and the box the entry's key
    // names.
    struct Field {
        MeteringZone* zones = nullptr;
        int box = 0;
    };

    // Sets the box's rectangle and weight when value holds exactly six numbers, the first equal
    // to the field's box, the rectangle within the 400 x 400 picture and the weight within
    // 0..15; otherwise leaves the zone unchanged. A null field, or one whose box is not 0..15,
    // is left alone.
    static void get(void* field, std::string value);
    // The box as one word; "" for a null field or a box outside 0..15.
    static std::string put(void* field);
};

}  // namespace kxui
