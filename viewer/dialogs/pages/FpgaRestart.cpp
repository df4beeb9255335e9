#include "FpgaRestart.h"

#include <kxCxApi.h>

namespace hv {

int FpgaRestart::run(CamContext* handle) {
    const int started = initFPGA(handle);
    sendRegFile(handle, kRegisterFile, nullptr);
    return started;
}

}  // namespace hv
