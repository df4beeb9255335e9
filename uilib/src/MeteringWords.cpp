#include "MeteringWords.h"

namespace kxui {

const Vocabulary& MeteringWords::type() {
    static const Vocabulary words{{0, "16-ZONES"}, {1, "13-ZONES"}};
    return words;
}

const Vocabulary& MeteringWords::mode() {
    static const Vocabulary words{{0, "SPOT"}, {1, "CENTER-WEIGHTED"}, {2, "MATRIX(EVALUATIVE)"}};
    return words;
}

const Vocabulary& MeteringWords::size() {
    static const Vocabulary words{{0, "16x16"},   {1, "32x32"},   {2, "64x64"},   {3, "100x100"},
                                  {4, "150x150"}, {5, "200x200"}, {6, "250x250"}, {7, "300x300"},
                                  {8, "350x350"}, {9, "400x400"}};
    return words;
}

const Vocabulary& MeteringWords::module() {
    static const Vocabulary words{{0, "X20"}, {1, "X30"}};
    return words;
}

}  // namespace kxui
