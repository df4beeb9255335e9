#include "SimConfigCheck.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "config/SimConfigParser.h"

std::string SimConfigCheck::problem() {
    const char* backend = std::getenv("KXCX_BACKEND");
    if (backend == nullptr || std::strcmp(backend, "sim") != 0) {
        return {};
    }
    const char* text = std::getenv("KXCX_SIM");
    std::vector<boardsim::BoardConfig> boards;
    std::string error;
    if (boardsim::SimConfigParser::parse(text != nullptr ? text : "", boards, error)) {
        return {};
    }
    return "KXCX_SIM: " + error;
}
