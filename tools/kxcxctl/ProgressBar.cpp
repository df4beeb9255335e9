#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
ProgressBar* g_active = nullptr;
}

ProgressBar::ProgressBar(std::ostream& out, bool quiet) : m_out(out), m_quiet(quiet) {
    g_active = this;
}

ProgressBar::~ProgressBar() {
    if (m_drawn) {
        m_out << std::endl;
    }
    g_active = nullptr;
}

std::string ProgressBar::render(int step) {
    const int clamped = std::clamp(step, kFirstStep, kLastStep);
    const int percent = (clamped - kFirstStep) * 100 / (kLastStep - kFirstStep);
    const int filled = percent * kWidth / 100;
    char tail[16];
    std::snprintf(tail, sizeof tail, "] %3d%%", percent);
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kWidth - filled), ' ') + tail;
}

void ProgressBar::onStep(int step, bool*) {
    if (g_active == nullptr || g_active->m_quiet) {
        return;
    }
    g_active->m_out << '\r' << render(step) << std::flush;
    g_active->m_drawn = true;
}
