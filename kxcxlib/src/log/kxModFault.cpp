#include "log/kxModFault.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "log/kxPerfCounter.h"

void ModFault::error(const char* source, int line, const char* function, const char* suffix) {
    write("-e-", source, line, function, suffix);
}

void ModFault::warning(const char* source, int line, const char* function, const char* suffix) {
    write("-w-", source, line, function, suffix);
}

unsigned long ModFault::processId() {
    return static_cast<unsigned long>(getpid());
}

unsigned long ModFault::threadId() {
    return static_cast<unsigned long>(syscall(SYS_gettid));
}

const char* ModFault::baseName(const char* path) {
    if (path == nullptr) {
        return "";
    }
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

void ModFault::write(const char* tag, const char* source, int line, const char* function,
                     const char* suffix) {
    // The frequency is asked for each time: these lines must work before any module exists.
    const std::string stamp =
        PerfCounter::elapsedStamp(PerfCounter::counter(), PerfCounter::frequency());
    char head[160];
    std::snprintf(head, sizeof head, "%s %s (P=%lX,T=%lX)\n", tag, stamp.c_str(), processId(),
                  threadId());
    std::string text = head;
    text += "  ";
    text += source != nullptr ? source : "";
    text += ':';
    text += std::to_string(line);
    text += ':';
    text += function != nullptr ? function : "";
    text += " ";
    if (suffix != nullptr) {
        text += suffix;
    }
    text += "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}
