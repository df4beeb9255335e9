// Intel HEX records of MCU programs and flash images: any line parses or is refused, and a
// record that parses has as many data bytes as its count says. A whole file is read as an image
// or refused with a reason, and what the controller and the flash would get from it is judged
// without a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzScratch.h"
#include "kxControllerProgram.h"
#include "kxIntelHexImage.h"
#include "kxIntelHexRecord.h"
#include "kxMcsImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IntelHexRecord record;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (IntelHexRecord::parse(text.substr(start, end - start), record) &&
            record.data.size() != static_cast<std::size_t>(record.count)) {
            __builtin_trap();
        }
        start = end + 1;
    }
    IntelHexImage image;
    if (image.read(fuzz::FuzzScratch::write("image.hex", data, size).c_str())) {
        ControllerProgram::fault(image);
        McsImage flash;
        for (const bool sequential : {false, true}) {
            if (flash.take(image, sequential) && flash.bytes() == 0) {
                __builtin_trap();
            }
            flash.misfit(1u << 16);
        }
    } else if (image.fault().empty()) {
        __builtin_trap();
    }
    return 0;
}
