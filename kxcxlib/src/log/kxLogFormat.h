// The library log's reduced format language.
#pragma once

#include <cstdarg>
#include <string>

class LogFormat {
public:
    // Formats one log message. Understood: %d (int), %c (character), %s (string), %f, %e and %g
    // (a double, narrowed to float precision), and "%." N X (a double printed with "%.Nf").
    // %D, %P and %t are copied as they stand for expandStamps. Any other character after '%'
    // prints nothing and takes no argument; the format goes on after it.
    static std::string format(const char* fmt, va_list args);

    // Replaces every %D with the local date and time (2013-Apr-12 14:03:27.123456), every %t with
    // the calling thread's identifier and every %P with the process id.
    static std::string expandStamps(const std::string& line);

    // The local date and time as %D prints it.
    static std::string localTimeText();

private:
    // One conversion is printed into a scratch buffer of this size, so a longer piece is cut.
    static constexpr std::size_t kScratchBytes = 32767;
};
