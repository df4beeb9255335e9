// The simulated FPGA's configuration engine takes whatever a host shifts into its JTAG port:
// ".bit" files, bare configuration streams, or anything else.
#include <cstddef>
#include <cstdint>
#include <span>

#include "firmware/BitFile.h"
#include "fpga/ConfigurationEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    boardsim::BitFile::parseHeader(bytes);
    // Fed whole and in two pieces split by the first byte: the engine must agree with itself.
    boardsim::ConfigurationEngine whole(0x0A51C0DD);
    whole.feed(bytes);
    boardsim::ConfigurationEngine split(0x0A51C0DD);
    const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    split.feed(bytes.subspan(0, cut));
    split.feed(bytes.subspan(cut));
    if (whole.complete() != split.complete() || whole.version() != split.version() ||
        whole.problem() != split.problem()) {
        __builtin_trap();
    }
    if (whole.complete() && whole.failed()) {
        __builtin_trap();
    }
    return 0;
}
