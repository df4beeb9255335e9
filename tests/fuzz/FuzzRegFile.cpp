// Register files sent to the sensor: any file is read to its end (or its ";reset isp" line)
// without a board answering, and the characters read never exceed the file's size (a file with
// register lines fails instead, -24: none of its writes is taken).
#include <cstddef>
#include <cstdint>

#include "FuzzScratch.h"
#include "device/kxCamContext.h"
#include "regs/kxRegFileSender.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::FuzzScratch::write("reg_init.txt", data, size);
    static CamContext context;  // no device: every transfer fails
    context.kindTag = 1;
    RegFileSender sender([](std::chrono::milliseconds) {});
    const int read = sender.send(&context, path.c_str(), nullptr, nullptr);
    if (read > static_cast<int>(size)) {
        __builtin_trap();
    }
    return 0;
}
