#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
ProgressBar* g_active = nullptr;
}

ProgressBar::ProgressBar(std::ostream& out, bool quiet, Range range)
    : m_out(out), m_quiet(quiet), m_range(range) {
    g_active = this;
}

ProgressBar::~ProgressBar() {
    if (m_drawn) {
        m_out << std::endl;
    }
    g_active = nullptr;
}

std::string ProgressBar::render(int step, Range range) {
    const int span = std::max(1, range.last - range.first);
    const int clamped = std::clamp(step, range.first, range.first + span);
    const int percent = (clamped - range.first) * 100 / span;
    const int filled = percent * kWidth / 100;
    char tail[16];
    std::snprintf(tail, sizeof tail, "] %3d%%", percent);
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kWidth - filled), ' ') + tail;
}

void ProgressBar::complete() {
    draw(m_range.last);
}

void ProgressBar::draw(int step) {
    if (m_quiet) {
        return;
    }
    m_out << '\r' << render(step, m_range) << std::flush;
    m_drawn = true;
}

void ProgressBar::onStep(int step, bool*) {
    if (g_active != nullptr) {
        g_active->draw(step);
    }
}
