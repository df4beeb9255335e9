// The simulated board's picture: render time per 400 x 400 frame of the lit scene with manual
// exposure, with the FPGA's image functions off, the median filter on, motion dampening on, and
// both (the board renders 30 frames a second).
#include <benchmark/benchmark.h>

#include <vector>

#include "picture/ScenePicture.h"

namespace {

using boardsim::PictureSettings;
using boardsim::ScenePicture;

void renderFrames(benchmark::State& state, const PictureSettings& settings) {
    ScenePicture picture(settings.seed);
    std::vector<uint8_t> frame(ScenePicture::kFrameBytes);
    picture.render(settings, 0.0, frame.data());  // the texture and tables
    double seconds = 0.0;
    for (auto _ : state) {
        seconds += 1.0 / 30.0;
        picture.render(settings, seconds, frame.data());
        benchmark::DoNotOptimize(frame.data());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

PictureSettings scene() {
    PictureSettings settings;
    settings.autoExposure = false;
    settings.autoGain = false;
    return settings;
}

void BM_PictureFunctionsOff(benchmark::State& state) {
    renderFrames(state, scene());
}
BENCHMARK(BM_PictureFunctionsOff)->Unit(benchmark::kMillisecond);

void BM_PictureMedianFilter(benchmark::State& state) {
    PictureSettings settings = scene();
    settings.medianFilter = true;
    renderFrames(state, settings);
}
BENCHMARK(BM_PictureMedianFilter)->Unit(benchmark::kMillisecond);

void BM_PictureMotionDampening(benchmark::State& state) {
    PictureSettings settings = scene();
    settings.motionCompensation = true;
    renderFrames(state, settings);
}
BENCHMARK(BM_PictureMotionDampening)->Unit(benchmark::kMillisecond);

void BM_PictureMedianAndDampening(benchmark::State& state) {
    PictureSettings settings = scene();
    settings.medianFilter = true;
    settings.motionCompensation = true;
    renderFrames(state, settings);
}
BENCHMARK(BM_PictureMedianAndDampening)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
