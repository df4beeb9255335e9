// Internal-error ("-e-") and warning ("-w-") lines of the module machinery, on standard error.
#pragma once

class ModFault {
public:
    // "-e- <stamp> (P=<pid>,T=<tid>)\n  <source>:<line>:<function> <suffix>\n"
    static void error(const char* source, int line, const char* function,
                      const char* suffix = nullptr);
    // The same with "-w-".
    static void warning(const char* source, int line, const char* function,
                        const char* suffix = nullptr);

    // The process and thread ids as the records print them.
    static unsigned long processId();
    static unsigned long threadId();

    // The file name of a __FILE__ path.
    static const char* baseName(const char* path);

private:
    static void write(const char* tag, const char* source, int line, const char* function,
                      const char* suffix);
};

#define KX_MOD_ERROR(function, ...) \
    ModFault::error(ModFault::baseName(__FILE__), __LINE__, function, ##__VA_ARGS__)
