#include "LatencyProbe.h"

#include <cstdlib>
#include <fstream>
#include <memory>

namespace hv {

LatencyProbe* LatencyProbe::active() {
    static const std::unique_ptr<LatencyProbe> probe = [] {
        const char* file = std::getenv("HARNVIEW_LATENCY_LOG");
        return file != nullptr && *file != '\0' ? std::make_unique<LatencyProbe>(file) : nullptr;
    }();
    return probe.get();
}

LatencyProbe::LatencyProbe(std::string file) : m_file(std::move(file)) {
    m_microseconds.reserve(1 << 16);
}

LatencyProbe::~LatencyProbe() {
    std::ofstream out(m_file, std::ios::trunc);
    for (long value : m_microseconds) {
        out << value << '\n';
    }
}

void LatencyProbe::painted(Clock::time_point offered) {
    m_microseconds.push_back(static_cast<long>(
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - offered).count()));
}

}  // namespace hv
