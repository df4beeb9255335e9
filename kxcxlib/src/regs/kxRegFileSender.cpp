#include "kxRegFileSender.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "kxCamChannel.h"
#include "kxCxModLog.h"
#include "kxModFault.h"
#include "kxRegisterAccess.h"

namespace {

constexpr int kLineBuffer = 1024;

// Closes a C stream when it goes out of scope.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool isComment(const char* line) {
    return line[0] == ';' || line[0] == '\r' || line[0] == '\n';
}

}  // namespace

RegFileSender::RegFileSender(Sleeper sleeper) : m_sleep(std::move(sleeper)) {
    if (!m_sleep) {
        m_sleep = [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); };
    }
}

bool RegFileSender::sendLine(CamContext* context, const char* line, uint8_t* buffer,
                             std::vector<Write>& sent) {
    unsigned int address = 0;
    unsigned int reg = 0;
    unsigned int data = 0;
    if (std::sscanf(line, "%x %x %x", &address, &reg, &data) < 1) {
        return false;
    }
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
    int lineNumber = 0;
    while (std::fgets(line, sizeof line, file.get()) != nullptr) {
        ++lineNumber;
        count += static_cast<long>(std::strlen(line));
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
    bool ended = false;
    while (!ended && std::fgets(line, sizeof line, file.get()) != nullptr) {
        ++lineNumber;
        count += static_cast<long>(std::strlen(line));
        if (std::strstr(line, kResetIsp) != nullptr) {
            for (int i = 0; i < 2 && std::fgets(line, sizeof line, file.get()) != nullptr; ++i) {
                ++lineNumber;
                count += static_cast<long>(std::strlen(line));
                sendOrSkip(line);
                m_sleep(kResetPause);
            }
            ended = true;
        } else if (!isComment(line)) {
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
