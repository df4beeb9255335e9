// The simulated boards' description comes from the environment.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/SimConfigParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<boardsim::BoardConfig> boards;
    std::string error;
    const bool ok = boardsim::SimConfigParser::parse(
        std::string_view(reinterpret_cast<const char*>(data), size), boards, error);
    if (!ok && error.empty()) {
        __builtin_trap();  // a refusal always says why
    }
    return 0;
}
