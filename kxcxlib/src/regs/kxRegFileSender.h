// Sends a register file ("reg_init.txt" and its kind, read by RegFileReader) to the board's
// sensor, pausing 300 ms after each of the two lines that follow the reset marker.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <kxCxApi.h>

struct CamContext;

class RegFileSender {
public:
    static constexpr std::chrono::milliseconds kResetPause{300};
    static constexpr int kFirstStep = 2;
    static constexpr int kLastStep = 220;

    using Sleeper = std::function<void(std::chrono::milliseconds)>;

    // sleeper defaults to really sleeping.
    explicit RegFileSender(Sleeper sleeper = {});

    // Sends the file at path on the context, writes the trace file when tracePath is given, and
    // reports progress (2 first, 220 last). A failed write does not stop the file. Returns the
    // characters read from the file, or -20 null context, -21 null path, -22 file cannot be
    // opened or is no regular file, -23 file cannot be reopened, -24 register writes failed (the
    // library log names the first failed line), -1 no transfer buffer.
    int send(CamContext* context, const char* path, const char* tracePath, CxProgressProc progress);

private:
    struct Write {
        int index;  // the I2C address word
        int reg;
        int data;
        int transferred;
    };

    // One register line; the write as sent.
    static Write sendLine(CamContext* context, unsigned long address, unsigned long reg,
                          unsigned long data, uint8_t* buffer);
    static void writeTrace(CamContext* context, std::FILE* trace, const std::vector<Write>& sent,
                           uint8_t* buffer);

    Sleeper m_sleep;
};
