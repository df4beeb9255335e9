// The command-line tool's entry: picks the subcommand and runs it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class CommandLine {
public:
    // Runs the command given by words (without the program name); output to out, errors as one
    // line to err. Sets the library's log environment first (see LogEnvironment). Returns the
    // process exit code.
    static int run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

private:
    static void usage(std::ostream& out);
};
