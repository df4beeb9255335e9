// Warnings about the lines of an input file that a command skips or cannot read whole, one line
// each on standard error: "kxcxctl <command>: <file>:<line>: warning: <what>: <the line>". After
// kShown of them the rest are only counted.
#pragma once

#include <ostream>
#include <string>

class LineWarnings {
public:
    static constexpr int kShown = 10;

    LineWarnings(std::ostream& err, std::string command, std::string path);
    // Writes how many more there were.
    ~LineWarnings();
    LineWarnings(const LineWarnings&) = delete;
    LineWarnings& operator=(const LineWarnings&) = delete;

    // One line of the file; its text is shown without its line end, a blank one not at all.
    void add(int line, const std::string& what, const std::string& text = {});

private:
    std::ostream& m_err;
    std::string m_command;
    std::string m_path;
    int m_count = 0;
};
