// A text progress bar for the library's progress steps, drawn on one line. Each loader has its
// own scale (the register file and the FPGA's JTAG load run 2 to 220, a flash program to 250);
// the bar shows the share of the range given.
#pragma once

#include <ostream>
#include <string>

#include "kxCxApi.h"

// The steps a loader reports, first to last.
struct ProgressRange {
    int first = 2;
    int last = 220;
};

class ProgressBar {
public:
    using Range = ProgressRange;
    static constexpr int kWidth = 40;

    // Draws on out while it is the active bar; quiet draws nothing.
    ProgressBar(std::ostream& out, bool quiet, Range range = Range());
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // The progress callback to give the library; it draws on the active bar.
    static CxProgressProc callback() { return &onStep; }
    // Draws the end of the range (a loader whose last step falls short of it finished).
    void complete();

    // "[#####...   ]  45%" for a step of a range.
    static std::string render(int step, Range range = Range());

private:
    static void onStep(int step, bool* abort);
    void draw(int step);

    std::ostream& m_out;
    bool m_quiet;
    Range m_range;
    bool m_drawn = false;
};
