// A text progress bar for the library's progress steps, drawn on one line. Each loader has its
// own scale (the register file and the FPGA's JTAG load run 2 to 220, a flash program to 250);
// the bar shows the share of the range given. It redraws at most every kRedrawInterval, however
// often a loader reports, and always shows the last step reported before it goes.
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include <kxCxApi.h>

// The steps a loader reports, first to last.
struct ProgressRange {
    int first = 2;
    int last = 220;
};

class ProgressBar {
public:
    using Range = ProgressRange;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int kWidth = 40;
    static constexpr std::chrono::milliseconds kRedrawInterval{250};

    // Draws on out while it is the active bar; quiet draws nothing. clock defaults to the steady
    // clock.
    ProgressBar(std::ostream& out, bool quiet, Range range = Range(), Clock clock = {});
    // Draws the last step reported if the bar does not show it yet, and ends the line.
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // The progress callback to give the library; it reports to the active bar.
    static CxProgressProc callback() { return &onStep; }
    // Draws the end of the range now (a loader whose last step falls short of it finished).
    void complete();

    // "[#####...   ]  45%" for a step of a range.
    static std::string render(int step, Range range = Range());

private:
    static void onStep(int step, bool* abort);
    // A step reported: drawn unless the last drawing is too recent.
    void report(int step);
    void draw(int step);

    std::ostream& m_out;
    bool m_quiet;
    Range m_range;
    Clock m_clock;
    std::string m_shown;  // what the line shows; empty before the first drawing
    std::chrono::steady_clock::time_point m_drawnAt;
    int m_lastStep = 0;
    bool m_behind = false;  // a step was reported that the line does not show
};
