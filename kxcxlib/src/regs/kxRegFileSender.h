// Sends a register file ("reg_init.txt" and its kind) to the board's sensor.
//
// The file is read line by line (a line longer than 1023 characters in pieces). Lines up to and
// including the one that contains ";(a) sensor controller system reset" are a header and are not
// sent. Later lines starting with ';', CR or LF are comments. A line containing ";reset isp"
// ends the file: the two lines after it are sent with a 300 ms pause after each, and nothing
// after them is read. Every other line holds three hexadecimal numbers: the I2C device address
// in 8-bit form, the 16-bit register address and the data byte; missing numbers count as 0, and
// a line without any number is skipped and logged.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kxCxApi.h"

struct CamContext;

class RegFileSender {
public:
    static constexpr const char* kHeaderEnd = ";(a) sensor controller system reset";
    static constexpr const char* kResetIsp = ";reset isp";
    static constexpr std::chrono::milliseconds kResetPause{300};
    static constexpr int kFirstStep = 2;
    static constexpr int kLastStep = 220;

    using Sleeper = std::function<void(std::chrono::milliseconds)>;

    // sleeper defaults to really sleeping.
    explicit RegFileSender(Sleeper sleeper = {});

    // Sends the file at path on the context, writes the trace file when tracePath is given, and
    // reports progress (2 first, 220 last). Returns the characters read from the file, or
    // -20 null context, -21 null path, -22 file cannot be opened, -23 file cannot be reopened,
    // -1 no transfer buffer.
    int send(CamContext* context, const char* path, const char* tracePath, CxProgressProc progress);

private:
    struct Write {
        int index;  // the I2C address word
        int reg;
        int data;
        int transferred;
    };

    // One register line; false when it holds no number.
    bool sendLine(CamContext* context, const char* line, uint8_t* buffer, std::vector<Write>& sent);
    static void writeTrace(CamContext* context, std::FILE* trace, const std::vector<Write>& sent,
                           uint8_t* buffer);

    Sleeper m_sleep;
};
