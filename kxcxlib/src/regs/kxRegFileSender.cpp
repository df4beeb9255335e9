#include "kxRegFileSender.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "kxCamChannel.h"
#include "kxCxModLog.h"
#include "kxFileHandle.h"
#include "kxModFault.h"
#include "kxRegisterAccess.h"

namespace {

constexpr int kLineBuffer = 1024;

// Closes a C stream when it goes out of scope.
using File = FileHandle;

bool isComment(const char* line) {
    return line[0] == ';' || line[0] == '\r' || line[0] == '\n';
}

// Up to three hexadecimal numbers separated by white space, as "%x %x %x" reads them, without
// the undefined behaviour of scanning a number too large for its type. Returns how many were read.
int parseNumbers(const char* line, unsigned long (&numbers)[3]) {
    int count = 0;
    const char* p = line;
    while (count < 3) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(p, &end, 16);
        if (end == p) {
            break;
        }
        numbers[count++] = value;
        p = end;
    }
    return count;
}

// Reads one line (a piece of at most 1023 characters) and its length as text mode counts it: a
// CR before the final LF does not count. False at the end of the file.
bool readLine(std::FILE* file, char (&line)[kLineBuffer], long& length) {
    const long before = std::ftell(file);
    if (std::fgets(line, sizeof line, file) == nullptr) {
        return false;
    }
    const long after = std::ftell(file);
    length = before >= 0 && after >= before ? after - before : static_cast<long>(std::strlen(line));
    const std::size_t shown = std::strlen(line);
    if (shown >= 2 && line[shown - 2] == '\r' && line[shown - 1] == '\n') {
        --length;
    }
    // Every line read took at least one character, even from a file whose position does not
    // move (a device), so the size bound always ends the reading.
    length = std::max(length, 1L);
    return true;
}

}  // namespace

RegFileSender::RegFileSender(Sleeper sleeper) : m_sleep(std::move(sleeper)) {
    if (!m_sleep) {
        m_sleep = [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); };
    }
}

bool RegFileSender::sendLine(CamContext* context, const char* line, uint8_t* buffer,
                             std::vector<Write>& sent) {
    unsigned long numbers[3] = {0, 0, 0};
    if (parseNumbers(line, numbers) < 1) {
        return false;
    }
    const unsigned long address = numbers[0];
    const unsigned long reg = numbers[1];
    const unsigned long data = numbers[2];
    const int index = static_cast<int>(((address >> 1) & 0xFF) | RegisterAccess::kWide);
    buffer[0] = static_cast<uint8_t>(data);
    int transferred = 0;
    CamChannel::control(context, 0, RegisterAccess::kRequestI2c, static_cast<int>(reg & 0xFFFF),
                        index, 1, buffer, &transferred);
    sent.push_back(
        {index, static_cast<int>(reg & 0xFFFF), static_cast<int>(data & 0xFF), transferred});
    return true;
}

void RegFileSender::writeTrace(CamContext* context, std::FILE* trace,
                               const std::vector<Write>& sent, uint8_t* buffer) {
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const Write& write = sent[i];
        buffer[0] = buffer[1] = 0;
        int transferred = 0;
        CamChannel::control(context, 1, RegisterAccess::kRequestI2c, write.reg, write.index, 2,
                            buffer, &transferred);
        std::fprintf(trace,
                     "L%03x ==> I2C[%04x] REG[%04x] DAT_O[%04x] XFER_O[%04x] DAT_I[%04x] "
                     "XFER_I[%04x]\n",
                     static_cast<unsigned>(i + 1), static_cast<unsigned>(write.index),
                     static_cast<unsigned>(write.reg), static_cast<unsigned>(write.data),
                     static_cast<unsigned>(write.transferred), static_cast<unsigned>(buffer[0]),
                     static_cast<unsigned>(transferred));
    }
}

int RegFileSender::send(CamContext* context, const char* path, const char* tracePath,
                        CxProgressProc progress) {
    if (context == nullptr) {
        return -20;
    }
    if (path == nullptr) {
        return -21;
    }
    File trace;
    if (tracePath != nullptr) {
        trace.reset(std::fopen(tracePath, "w"));
    }
    long size = 0;
    {
        File probe(std::fopen(path, "r"));
        if (!probe) {
            return -22;
        }
        std::fseek(probe.get(), 0, SEEK_END);
        size = std::ftell(probe.get());
    }
    File file(std::fopen(path, "r"));
    if (!file) {
        return -23;
    }
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[2]());
    if (!buffer) {
        return -1;
    }

    char line[kLineBuffer];
    long count = 0;
    long length = 0;
    int lineNumber = 0;
    // A file that grows while it is read (or a device that never ends) stops at its size.
    const auto more = [&] { return count <= size && readLine(file.get(), line, length); };
    while (more()) {
        ++lineNumber;
        count += length;
        if (std::strstr(line, kHeaderEnd) != nullptr) {
            break;
        }
    }

    const long step = size / 1024 <= 200 ? 1024 : size / 200;
    int counter = kFirstStep;
    bool flag = false;
    if (progress != nullptr) {
        progress(counter, &flag);
    }
    long threshold = 3 * step;
    std::vector<Write> sent;
    const auto sendOrSkip = [&](const char* text) {
        if (!sendLine(context, text, buffer.get(), sent)) {
            CamChannel::logOf(*context)._outModLog_(
                ModLog::kWarning, ModFault::baseName(__FILE__), __LINE__, "sendRegFile",
                "%s: line %d holds no register data and is skipped", path, lineNumber);
        }
    };
    while (more()) {
        ++lineNumber;
        count += length;
        if (std::strstr(line, kResetIsp) != nullptr) {
            // The two lines after the marker end the file; nothing else is read or reported.
            for (int i = 0; i < 2 && readLine(file.get(), line, length); ++i) {
                ++lineNumber;
                count += length;
                sendOrSkip(line);
                m_sleep(kResetPause);
            }
            break;
        }
        if (!isComment(line)) {
            sendOrSkip(line);
        }
        if (count > threshold) {
            threshold += step;
            ++counter;
            if (progress != nullptr) {
                flag = false;
                progress(counter, &flag);
            }
        }
    }
    file.reset();
    if (trace) {
        writeTrace(context, trace.get(), sent, buffer.get());
        trace.reset();
    }
    if (progress != nullptr) {
        flag = false;
        progress(kLastStep, &flag);
    }
    return static_cast<int>(count);
}
