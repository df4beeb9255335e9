// Loading the default images into a simulated board: for each loader the control transfers it
// takes and how long it runs (the MCU loaders pause 20 ms after each progress report, as the
// board's controller needs; the flash erase waits for the simulated chip erase).
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <string>

#include "SimLibrary.h"
#include "usb/sim/kxSimBackend.h"

namespace {

std::string image(const char* name) {
    return std::string(KX_DATA_DIR) + "/" + name;
}

using Step = std::function<int(CamContext*)>;

// Runs load once per iteration on a fresh board (after prepare, not measured) and reports its
// control transfers.
void measure(benchmark::State& state, const char* board, const Step& load,
             const Step& prepare = {}) {
    for (auto _ : state) {
        state.PauseTiming();
        SimLibrary library(board);
        if (library.handle == nullptr) {
            state.SkipWithError("no simulated board");
            return;
        }
        if (prepare && prepare(library.handle) < 0) {
            state.SkipWithError("the preparation failed");
            return;
        }
        library.backend->transferLog().clear();
        const auto start = std::chrono::steady_clock::now();
        state.ResumeTiming();
        const int result = load(library.handle);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        if (result < 0) {
            state.SkipWithError("the load failed");
            return;
        }
        state.counters["control_transfers"] =
            static_cast<double>(library.backend->transferLog().controlCount());
        state.counters["result"] = result;
        state.ResumeTiming();
    }
}

void BM_FpgaJtagLoad(benchmark::State& state) {
    measure(state, "RT4207,fpga=1.20", [](CamContext* handle) {
        int size = 0;
        return uploadFpgaFirmware(handle, &size, image("firmware/default.bit").c_str(), nullptr);
    });
}

int eraseFlash(CamContext* handle) {
    uint16_t status[3] = {};
    return eraseFpgaFromFlash(handle, status, nullptr);
}

// Most of an erase's transfers are status polls while the chip erases (40 ms here): the loader
// polls without a pause.
void BM_FlashErase(benchmark::State& state) {
    measure(state, "RT4207", &eraseFlash);
}

void BM_FlashProgram(benchmark::State& state) {
    measure(
        state, "RT4207",
        [](CamContext* handle) {
            int size = 0;
            return uploadFpgaFirmwareToFlash(handle, &size, image("firmware/default.mcs").c_str(),
                                             nullptr);
        },
        &eraseFlash);
}

void BM_McuRamLoad(benchmark::State& state) {
    measure(state, "RT4207", [](CamContext* handle) {
        return uploadMcuFirmware(handle, image("firmware/default.hex").c_str(), nullptr);
    });
}

void BM_BootEepromWrite(benchmark::State& state) {
    measure(state, "RT4207", [](CamContext* handle) {
        return uploadMcuFirmwareToEeprom(handle, image("firmware/default.iic").c_str(), nullptr);
    });
}

void BM_GammaTableUpload(benchmark::State& state) {
    measure(state, "RT4207", [](CamContext* handle) {
        return uploadGammaTable(handle, 0, image("gamma/Lookup1024_0.txt").c_str(), 0);
    });
}

}  // namespace

BENCHMARK(BM_FpgaJtagLoad)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlashErase)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlashProgram)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_McuRamLoad)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BootEepromWrite)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GammaTableUpload)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
