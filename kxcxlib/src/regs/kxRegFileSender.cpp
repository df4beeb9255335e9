#include "regs/kxRegFileSender.h"

#include <cstdio>
#include <memory>
#include <new>
#include <thread>

#include "device/kxCamChannel.h"
#include "kxFileHandle.h"
#include "kxReadableFile.h"
#include "kxRegFileReader.h"
#include "log/kxCxLogger.h"
#include "log/kxCxModLog.h"
#include "log/kxModFault.h"
#include "regs/kxRegisterAccess.h"

namespace {

// A line as the log shows it: without its line end.
std::string shown(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

}  // namespace

RegFileSender::RegFileSender(Sleeper sleeper) : m_sleep(std::move(sleeper)) {
    if (!m_sleep) {
        m_sleep = [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); };
    }
}

RegFileSender::Write RegFileSender::sendLine(CamContext* context, unsigned long address,
                                             unsigned long reg, unsigned long data,
                                             uint8_t* buffer) {
    const int index = static_cast<int>(((address >> 1) & 0xFF) | RegisterAccess::kWide);
    buffer[0] = static_cast<uint8_t>(data);
    int transferred = 0;
    CamChannel::control(context, 0, RegisterAccess::kRequestI2c, static_cast<int>(reg & 0xFFFF),
                        index, 1, buffer, &transferred);
    return {index, static_cast<int>(reg & 0xFFFF), static_cast<int>(data & 0xFF), transferred};
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
    FileHandle trace;
    if (tracePath != nullptr) {
        trace.reset(std::fopen(tracePath, "w"));
    }
    CxLogger& log = CxLogger::instance();
    // The size comes first, from a regular file only: a pipe would keep the caller waiting for
    // a writer that never comes.
    RegFileReader reader(path);
    if (reader.size() < 0) {
        log.log(8, "Sending register file %s refused: %s\n", path,
                ReadableFile::problem(path).c_str());
        return -22;
    }
    if (!reader.isOpen()) {
        log.log(8, "Sending register file %s refused: it cannot be opened\n", path);
        return -23;
    }
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[2]());
    if (!buffer) {
        return -1;
    }

    RegFileReader::Line line;
    long count = 0;
    bool more = reader.next(line);
    for (; more && line.kind == RegFileReader::Kind::Header; more = reader.next(line)) {
        count += line.length;
    }

    const long step = reader.size() / 1024 <= 200 ? 1024 : reader.size() / 200;
    int counter = kFirstStep;
    bool flag = false;
    if (progress != nullptr) {
        progress(counter, &flag);
    }
    long threshold = 3 * step;
    std::vector<Write> sent;
    int failed = 0;
    for (; more; more = reader.next(line)) {
        count += line.length;
        if (line.kind == RegFileReader::Kind::Empty) {
            CamChannel::logOf(*context)._outModLog_(
                ModLog::kWarning, ModFault::baseName(__FILE__), __LINE__, "sendRegFile",
                "%s: line %d holds no register data and is skipped", path, line.number);
        } else if (line.kind == RegFileReader::Kind::Register) {
            sent.push_back(sendLine(context, line.address, line.reg, line.data, buffer.get()));
            if (sent.back().transferred != 1 && failed++ == 0) {
                log.log(8, "Sending register file %s: line %d was not written: %s\n", path,
                        line.number, shown(line.text).c_str());
            }
        }
        if (line.pauseAfter) {
            m_sleep(kResetPause);
        }
        // The marker and the two lines after it end the file without reporting progress.
        if (line.kind != RegFileReader::Kind::ResetIsp && !line.pauseAfter && count > threshold) {
            threshold += step;
            ++counter;
            if (progress != nullptr) {
                flag = false;
                progress(counter, &flag);
            }
        }
    }
    if (trace) {
        writeTrace(context, trace.get(), sent, buffer.get());
        trace.reset();
    }
    if (progress != nullptr) {
        flag = false;
        progress(kLastStep, &flag);
    }
    if (failed > 0) {
        log.log(8, "Sending register file %s failed: %d of %d register writes were not taken\n",
                path, failed, static_cast<int>(sent.size()));
        return -24;
    }
    return static_cast<int>(count);
}
