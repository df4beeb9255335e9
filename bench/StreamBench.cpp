// Streaming through the library from a simulated board: frames per second unthrottled, CPU time
// per frame, and at 30 frames/s the share of one core the library's threads use (frames_per_s
// counts callbacks, board_frames_per_s the frames the sensor made). The library's
// threads are the ones it names "kx-..."; their CPU time comes from /proc (schedstat, in ns).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "SimLibrary.h"

namespace {

std::atomic<uint64_t> g_frames{0};

void countFrame(const void*, int, CamContext*) {
    ++g_frames;
}

// CPU time in ns of this process's threads whose name starts with "kx-".
uint64_t libraryThreadsCpuNs() {
    uint64_t total = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name.rfind("kx-", 0) != 0) {
            continue;
        }
        std::ifstream schedstat(task.path() / "schedstat");
        uint64_t onCpu = 0;
        schedstat >> onCpu;
        total += onCpu;
    }
    return total;
}

// Streams for `seconds` after a warm-up and fills the counters.
void measure(benchmark::State& state, const char* board, double seconds) {
    for (auto _ : state) {
        SimLibrary stream(board);
        if (stream.handle == nullptr || acquireImageStream(stream.handle, &countFrame, 0) != 0) {
            state.SkipWithError("no simulated board");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const uint64_t framesBefore = g_frames;
        int producedBefore = 0;
        int sent = 0;
        getAcqFrameCounts(stream.handle, &producedBefore, &sent);
        const uint64_t cpuBefore = libraryThreadsCpuNs();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double frames = static_cast<double>(g_frames - framesBefore);
        int producedAfter = 0;
        getAcqFrameCounts(stream.handle, &producedAfter, &sent);
        // The board's counter is 16 bits wide.
        const double produced = static_cast<double>((producedAfter - producedBefore) & 0xFFFF);
        const double cpu = static_cast<double>(libraryThreadsCpuNs() - cpuBefore) / 1e9;
        state.SetIterationTime(wall);
        // Callbacks: one per frame the board made, unless the host falls behind.
        state.counters["frames_per_s"] = frames / wall;
        state.counters["board_frames_per_s"] = produced / wall;
        state.counters["library_cpu_us_per_frame"] = frames > 0 ? cpu / frames * 1e6 : 0;
        state.counters["library_cpu_share_pct"] = cpu / wall * 100;
    }
}

void BM_StreamUnthrottled(benchmark::State& state) {
    measure(state, "RT4207,fps=0", 3.0);
}
BENCHMARK(BM_StreamUnthrottled)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_Stream30FramesPerSecond(benchmark::State& state) {
    measure(state, "RT4207,fps=30", 5.0);
}
BENCHMARK(BM_Stream30FramesPerSecond)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
