// The live view's frame placement on the GUI thread, per frame: the plain path (each pixel set
// into an ARGB32 image, then QImage::scaled(..., Qt::SmoothTransformation)) against the viewer's
// FrameConverter (convert, then scale), on the same frames taken from a simulated board.
// Each benchmark runs both and reports milliseconds per frame of each (mean, median, fastest),
// their ratio, and the largest channel difference between the two enlargements. The iteration time
// is the converter's for the whole frame set.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <kxCxApi.h>
#include "FrameConverter.h"

namespace {

constexpr int kSide = 400;
constexpr int kFrameBytes = kSide * kSide * 3;
constexpr int kFrames = 8;

using Clock = std::chrono::steady_clock;

// Frames from a simulated first-variant board, taken through the library in a scratch folder
// (the library writes its log there). Empty when no board answered.
const std::vector<std::vector<uint8_t>>& boardFrames() {
    static const std::vector<std::vector<uint8_t>> frames = [] {
        std::vector<std::vector<uint8_t>> taken;
        setenv("KXCX_BACKEND", "sim", 1);
        setenv("KXCX_SIM", "RT4207,fps=0", 0);
        setenv("KXCX_SIM_SOCKET", "none", 0);
        char pattern[] = "/tmp/kxcx-liveview-XXXXXX";
        const std::filesystem::path scratch = mkdtemp(pattern);
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(scratch);
        loadCxLib();
        findCxDevices();
        CamContext* handle =
            openCxDevice("RT4207-x6B6B_00", kSide, kSide, kFrameBytes, nullptr, nullptr);
        if (handle != nullptr) {
            std::vector<uint8_t> buffer((kFrameBytes + 511) / 512 * 512);
            for (int i = 0; i < kFrames; ++i) {
                if (acquireOneFrame(handle, buffer.data()) >= kFrameBytes) {
                    taken.emplace_back(buffer.begin(), buffer.begin() + kFrameBytes);
                }
            }
            closeCxDevice(handle);
        }
        removeCxDevices();
        unloadCxLib();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(scratch);
        return taken;
    }();
    return frames;
}

void plainFrameImage(const uint8_t* rgb, QImage& image) {
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x, rgb += 3) {
            image.setPixel(x, y, qRgb(rgb[0], rgb[1], rgb[2]));
        }
    }
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = a.constScanLine(y);
        const auto* q = b.constScanLine(y);
        for (qsizetype i = 0; i < a.bytesPerLine(); ++i) {
            largest = std::max(largest, std::abs(p[i] - q[i]));
        }
    }
    return largest;
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// state.range(0): the displayed edge (640, or 704 with the crop register set).
void BM_LiveViewPlacement(benchmark::State& state) {
    const auto& frames = boardFrames();
    if (frames.empty()) {
        state.SkipWithError("no frames from the simulated board");
        return;
    }
    const int edge = static_cast<int>(state.range(0));
    QImage plainImage(kSide, kSide, QImage::Format_ARGB32);
    hv::FrameConverter converter(kSide, kSide);
    double plainMs = 0;
    double converterMs = 0;
    double convertMs = 0;
    std::vector<double> plainTimes;
    std::vector<double> converterTimes;
    int largest = 0;
    size_t placed = 0;
    std::vector<QImage> plainScaled(frames.size());
    // A turn places every frame by each path, one path after the other, so that each runs with
    // its own data in the caches as it would frame after frame.
    for (auto _ : state) {
        double turnConverter = 0;
        for (size_t i = 0; i < frames.size(); ++i) {
            const auto start = Clock::now();
            plainFrameImage(frames[i].data(), plainImage);
            plainScaled[i] =
                plainImage.scaled(edge, edge, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            benchmark::DoNotOptimize(plainScaled[i].constBits());
            const double plain = millisecondsSince(start);
            plainMs += plain;
            plainTimes.push_back(plain);
        }
        for (size_t i = 0; i < frames.size(); ++i) {
            const auto start = Clock::now();
            converter.convert(frames[i].data());
            const double converted = millisecondsSince(start);
            const QImage& scaled = converter.scaled(edge);
            benchmark::DoNotOptimize(scaled.constBits());
            const double total = millisecondsSince(start);
            convertMs += converted;
            converterMs += total;
            turnConverter += total;
            converterTimes.push_back(total);
            if (placed < frames.size()) {
                largest = std::max(largest, largestDifference(plainScaled[i], scaled));
            }
            ++placed;
        }
        state.SetIterationTime(turnConverter / 1000.0);
    }
    const double n = static_cast<double>(placed);
    state.counters["plain_ms"] = plainMs / n;
    state.counters["converter_ms"] = converterMs / n;
    state.counters["convert_ms"] = convertMs / n;
    state.counters["speedup"] = plainMs / converterMs;
    // The median and fastest frame of each: less moved by other work on the machine's cores.
    state.counters["plain_median_ms"] = median(plainTimes);
    state.counters["converter_median_ms"] = median(converterTimes);
    state.counters["plain_min_ms"] = *std::min_element(plainTimes.begin(), plainTimes.end());
    state.counters["converter_min_ms"] =
        *std::min_element(converterTimes.begin(), converterTimes.end());
    state.counters["largest_diff"] = largest;
    state.counters["frames"] = static_cast<double>(frames.size());
}
BENCHMARK(BM_LiveViewPlacement)
    ->Arg(640)
    ->Arg(704)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
