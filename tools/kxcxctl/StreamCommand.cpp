#include "StreamCommand.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "DeviceCommand.h"
#include "FrameSink.h"

int StreamCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    const auto& words = arguments.positional();
    const auto seconds = words.size() == 1 ? Arguments::number(words[0], 1, 3600) : std::nullopt;
    if (!seconds) {
        return DeviceCommand::fail(err, "stream",
                                   "usage: stream SECONDS (1 to 3600) [--device NAME]", 2);
    }
    auto session = DeviceCommand::open(arguments, {}, "stream", err);
    if (!session) {
        return session.exitCode();
    }
    CamContext* handle = session->handle();
    int producedStart = 0;
    int sentStart = 0;
    getAcqFrameCounts(handle, &producedStart, &sentStart);
    FrameSink sink(0);
    if (acquireImageStream(handle, FrameSink::callback(), 0) < 0) {
        return DeviceCommand::fail(err, "stream", "the board did not start streaming");
    }
    // The second variant's start waits a second while frames already arrive; count from here.
    const auto start = std::chrono::steady_clock::now();
    const uint64_t first = sink.fresh();
    const uint64_t firstCalls = sink.count();
    uint64_t last = first;
    uint64_t lastCalls = firstCalls;
    char line[200];
    bool removed = false;
    for (long second = 1; second <= *seconds && !removed; ++second) {
        std::this_thread::sleep_until(start + std::chrono::seconds(second));
        const uint64_t now = sink.fresh();
        const uint64_t calls = sink.count();
        int produced = 0;
        int sent = 0;
        const bool counted = getAcqFrameCounts(handle, &produced, &sent) == 4;
        std::snprintf(line, sizeof line,
                      "%3lds  %4llu frames/s  %4llu callbacks/s  board: produced %5d sent %5d%s",
                      second, static_cast<unsigned long long>(now - last),
                      static_cast<unsigned long long>(calls - lastCalls), produced, sent,
                      counted ? "" : "  (counters unreadable)");
        out << line << std::endl;
        last = now;
        lastCalls = calls;
        removed = session->boardRemoved();
    }
    if (removed) {
        acquireImageStream(handle, nullptr, 0);
        return DeviceCommand::fail(err, "stream", "the board was removed");
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const uint64_t frames = sink.fresh() - first;
    const uint64_t calls = sink.count() - firstCalls;
    acquireImageStream(handle, nullptr, 0);
    int producedEnd = 0;
    int sentEnd = 0;
    getAcqFrameCounts(handle, &producedEnd, &sentEnd);
    // The board's counters are 16 bits wide; frames made before streaming began are not missed.
    const long produced = (producedEnd - producedStart) & 0xFFFF;
    const long missed = produced - static_cast<long>(sink.fresh());
    std::snprintf(line, sizeof line,
                  "%llu frames in %.1f s: %.1f frames/s (%.1f callbacks/s, a callback without a "
                  "new frame repeats the last), %ld not received",
                  static_cast<unsigned long long>(frames), elapsed,
                  static_cast<double>(frames) / elapsed, static_cast<double>(calls) / elapsed,
                  missed > 0 ? missed : 0);
    out << line << std::endl;
    return sink.count() > 0 ? 0 : DeviceCommand::fail(err, "stream", "no frame arrived");
}

CommandEntry StreamCommand::entry() {
    return {"stream",
            {"stream SECONDS       stream and report frames per second and the board's counters"},
            &StreamCommand::run};
}
