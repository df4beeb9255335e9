// Settings files are read by configDialog and handed to the value codecs of a settings table.
// A table loaded from any file, saved and loaded again gives back the same values.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ConfigTable.h"
#include "FuzzScratch.h"
#include "configDialog.h"

namespace {

struct Fields {
    uint8_t flag = 0;
    int32_t word = 7;
    int32_t number = 7;
    double value = 0.5;
    char text[81] = "start";

    std::vector<kxui::ConfigTable::Entry> table() {
        return {
            {"FLAG", {&configDialog::getBOOL, &configDialog::putFLAG, &flag}},
            {"WORD", {&configDialog::getWORD, &configDialog::putWORD, &word}},
            {"NUMBER", {&configDialog::getUINT, &configDialog::putUINT, &number}},
            {"VALUE", {&configDialog::getDOUBLE, &configDialog::putDOUBLE, &value}},
            {"TEXT", {&configDialog::getSTRING, &configDialog::putSTRING, text}},
        };
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FuzzScratch::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static configDialog dialog;
    const std::string input = fuzz::FuzzScratch::write("input.cfg", data, size);
    std::list<std::string> lines;
    const int count = dialog.readConfig(lines, input);
    if (count < 0 || static_cast<size_t>(count) != lines.size()) {
        __builtin_trap();
    }

    Fields first;
    auto firstTable = first.table();
    kxui::ConfigTable::load(dialog, firstTable, input);
    if (std::strlen(first.text) > 80) {
        __builtin_trap();
    }
    const std::string saved = fuzz::FuzzScratch::folder() + "/saved.cfg";
    if (kxui::ConfigTable::save(dialog, firstTable, saved) != 5) {
        __builtin_trap();
    }

    Fields second;
    second.text[0] = '\0';
    auto secondTable = second.table();
    kxui::ConfigTable::load(dialog, secondTable, saved);
    const bool same = second.flag == first.flag && second.word == (first.word & 0xFFFF) &&
                      second.number == first.number && std::strcmp(second.text, first.text) == 0 &&
                      (!std::isfinite(first.value) || std::fabs(first.value) > 1e12 ||
                       std::fabs(second.value - first.value) <= 0.0051);
    if (!same) {
        __builtin_trap();
    }
    return 0;
}
