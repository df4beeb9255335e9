// The words the metering settings are written with, by index. They are the words the combo
// boxes stand for, in the form the settings files keep: one word without blanks each, so the
// mode "Matrix (Evaluative)" is written "MATRIX(EVALUATIVE)".
#pragma once

#include "Vocabulary.h"

namespace kxui {

class MeteringWords {
public:
    static const Vocabulary& type();    // "16-ZONES", "13-ZONES"
    static const Vocabulary& mode();    // "SPOT", "CENTER-WEIGHTED", "MATRIX(EVALUATIVE)"
    static const Vocabulary& size();    // "16x16" ... "400x400"
    static const Vocabulary& module();  // "X20", "X30"
};

}  // namespace kxui
