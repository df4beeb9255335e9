// One line of a gamma text file: pairs of a real number (the input level, read and not used) and
// an integer (an output level), each pair read as "%lf %d" reads it. A type-0 file carries one
// pair a line; types 1, 2 and 3 carry 2, 3 and 4.
#pragma once

#include <string>

class GammaLine {
public:
    // A file is read in lines of at most kMaxLine - 1 characters (a longer one continues as the
    // next line); a table takes the first kEntries lines.
    static constexpr int kMaxLine = 1000;
    static constexpr int kEntries = 1024;
    static constexpr int kMaxPairs = 4;

    // The pairs a line of a file type carries (type 0 and unknown types: 1).
    static int pairsOf(int type);

    // Reads up to `pairs` pairs from line into levels (those not read stay 0). Returns the pairs
    // read whole.
    static int read(const std::string& line, int pairs, int (&levels)[kMaxPairs]);
};
