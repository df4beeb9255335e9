// kxcxctl: the camera library from the command line.
#include <iostream>

#include "CommandLine.h"

int main(int argc, char** argv) {
    return CommandLine::run({argv + 1, argv + argc}, std::cout, std::cerr);
}
