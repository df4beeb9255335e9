// The simulated boards' settings (KXCX_SIM) checked before the library starts: the library
// would say once that it does not understand them and then find no board, as if none were
// plugged in.
#pragma once

#include <string>

class SimConfigCheck {
public:
    // "KXCX_SIM: <reason>" when KXCX_BACKEND selects the simulated boards and KXCX_SIM is not
    // understood; else empty.
    static std::string problem();
};
