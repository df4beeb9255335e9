// Register traffic through the library on a simulated board: the round trip of one register
// read, and sending a 2,000-line register file (without the reset pauses, which are fixed time).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "SimLibrary.h"

namespace {

void BM_ReadRegister(benchmark::State& state) {
    SimLibrary board("");
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
    SimLibrary board("");
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
