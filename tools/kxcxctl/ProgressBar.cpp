#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
ProgressBar* g_active = nullptr;
}

ProgressBar::ProgressBar(std::ostream& out, bool quiet, Range range, Clock clock)
    : m_out(out), m_quiet(quiet), m_range(range), m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] { return std::chrono::steady_clock::now(); };
    }
    g_active = this;
}

ProgressBar::~ProgressBar() {
    if (m_behind) {
        draw(m_lastStep);
    }
    if (!m_shown.empty()) {
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

void ProgressBar::report(int step) {
    m_lastStep = step;
    if (!m_shown.empty() && m_clock() - m_drawnAt < kRedrawInterval) {
        m_behind = true;
        return;
    }
    draw(step);
}

void ProgressBar::draw(int step) {
    m_behind = false;
    m_lastStep = step;
    const std::string text = render(step, m_range);
    if (m_quiet || text == m_shown) {
        return;
    }
    m_out << '\r' << text << std::flush;
    m_shown = text;
    m_drawnAt = m_clock();
}

void ProgressBar::onStep(int step, bool*) {
    if (g_active != nullptr) {
        g_active->report(step);
    }
}
