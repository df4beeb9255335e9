// A text progress bar for the library's progress steps (2 to 220), drawn on one line.
#pragma once

#include <ostream>

#include "kxCxApi.h"

class ProgressBar {
public:
    static constexpr int kFirstStep = 2;
    static constexpr int kLastStep = 220;
    static constexpr int kWidth = 40;

    // Draws on out while it is the active bar; quiet draws nothing.
    ProgressBar(std::ostream& out, bool quiet);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // The progress callback to give the library; it draws on the active bar.
    static CxProgressProc callback() { return &onStep; }

    // "[#####...   ]  45%" for a step.
    static std::string render(int step);

private:
    static void onStep(int step, bool* abort);

    std::ostream& m_out;
    bool m_quiet;
    bool m_drawn = false;
};
