// What a kxcxctl command did when run in-process: its exit code and what it wrote to each stream.
#pragma once

#include <sstream>
#include <string>
#include <vector>

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

// Runs a command's entry (CommandLine::run, SimCommand::run, ...) on args.
template <typename Entry>
Outcome runCommand(Entry entry, const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = entry(args, out, err);
    return {code, out.str(), err.str()};
}
