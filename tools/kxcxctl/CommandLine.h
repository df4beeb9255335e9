// The command-line tool's entry: the options of the tool itself (-v, --verbose, --version,
// help) and the help text; a command's name picks its runner from CommandTable.
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
