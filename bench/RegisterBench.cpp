// Register traffic through the library on a simulated board: the round trip of one register
// read, and sending a 2,000-line register file (without the reset pauses, which are fixed time).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "host/SimHost.h"
#include "kxCxApi.h"
#include "kxUsbTransport.h"
#include "sim/kxSimBackend.h"

namespace {

// The library loaded over one simulated board, opened; the log goes to a scratch folder.
class Board {
public:
    Board() {
        char pattern[] = "/tmp/kxcx-bench-XXXXXX";
        m_dir = mkdtemp(pattern);
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
        std::string error;
        m_host.configure("", error);
        kx::UsbTransport::replace(std::make_unique<kx::SimBackend>(&m_host));
        loadCxLib();
        findCxDevices();
        handle = openCxDevice("RT4207-x6B6B_00", 400, 400, 480000, nullptr, nullptr);
    }
    ~Board() {
        closeCxDevice(handle);
        removeCxDevices();
        unloadCxLib();
        kx::UsbTransport::replace(nullptr);
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(m_dir);
    }

    CamContext* handle = nullptr;

private:
    boardsim::SimHost m_host;
    std::filesystem::path m_dir;
    std::filesystem::path m_previous;
};

void BM_ReadRegister(benchmark::State& state) {
    Board board;
    if (board.handle == nullptr) {
        state.SkipWithError("no simulated board");
        return;
    }
    int value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(readRegister(board.handle, 0x3C, 0x01, &value, 0));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadRegister);

void BM_SendRegisterFile2000Lines(benchmark::State& state) {
    Board board;
    if (board.handle == nullptr) {
        state.SkipWithError("no simulated board");
        return;
    }
    {
        std::ofstream file("bench_regs.txt");
        file << "; bench\n;(a) sensor controller system reset\n";
        for (int i = 0; i < 2000; ++i) {
            char line[32];
            std::snprintf(line, sizeof line, "6A %04X %02X\n", 0x4280 + i % 16, i & 0xFF);
            file << line;
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(sendRegFile(board.handle, "bench_regs.txt", nullptr));
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_SendRegisterFile2000Lines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
