// The video encoder and decoder against the ffmpeg command-line tool on the same 500 frames
// (400 x 400 RGB, 1 Mbit/s, a key frame every 20 frames, 25 frames/s). Each benchmark runs both
// and reports frames per second of each and their ratio (ours / command line): the wrapper
// runs the same codec and should add nothing measurable, so the ratio should be 1.0 or more.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QString>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "QVideoDecoder.h"
#include "QVideoEncoder.h"

extern char** environ;

namespace {

constexpr int kFrames = 500;
constexpr int kSide = 400;
constexpr size_t kFrameBytes = size_t{kSide} * kSide * 3;

using Clock = std::chrono::steady_clock;

// The frames as the camera delivers them: R, G, B bytes row by row, one frame after another.
// Gradients, a moving disc and some sensor noise, so the codec has real work.
const std::vector<unsigned char>& rawFrames() {
    static const std::vector<unsigned char> frames = [] {
        std::vector<unsigned char> bytes(kFrameBytes * kFrames);
        unsigned noise = 12345;
        for (int f = 0; f < kFrames; ++f) {
            unsigned char* frame = bytes.data() + kFrameBytes * f;
            const int cx = 200 + (f * 3) % 150 - 75;
            const int cy = 200 + (f * 2) % 120 - 60;
            for (int y = 0; y < kSide; ++y) {
                for (int x = 0; x < kSide; ++x) {
                    noise = noise * 1103515245u + 12345u;
                    const int grain = static_cast<int>((noise >> 16) & 7);
                    const bool disc = (x - cx) * (x - cx) + (y - cy) * (y - cy) < 60 * 60;
                    unsigned char* p = frame + (y * kSide + x) * 3;
                    p[0] = static_cast<unsigned char>(disc ? 220 : (x * 255 / kSide) / 2 + grain);
                    p[1] = static_cast<unsigned char>(disc ? 90 : 60 + grain + f % 40);
                    p[2] = static_cast<unsigned char>(disc ? 40 : (y * 255 / kSide) / 2 + grain);
                }
            }
        }
        return bytes;
    }();
    return frames;
}

std::filesystem::path workFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kxui-bench-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// Standard output and error go nowhere while the object lives: the codec classes print their
// banners and file descriptions there, which would mix with the benchmark table.
class QuietOutput {
public:
    QuietOutput() {
        std::fflush(nullptr);
        m_savedOut = dup(STDOUT_FILENO);
        m_savedErr = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        ::close(null);
    }
    ~QuietOutput() {
        std::fflush(nullptr);
        dup2(m_savedOut, STDOUT_FILENO);
        dup2(m_savedErr, STDERR_FILENO);
        ::close(m_savedOut);
        ::close(m_savedErr);
    }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

private:
    int m_savedOut;
    int m_savedErr;
};

// Runs ffmpeg with the arguments and returns its run time in seconds, -1 when it failed.
double runFfmpeg(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"ffmpeg", "-v", "error", "-nostdin", "-y"});
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

std::string rawFile() {
    const std::filesystem::path file = workFolder() / "frames.rgb";
    if (!std::filesystem::exists(file)) {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(rawFrames().data()),
                  static_cast<std::streamsize>(rawFrames().size()));
    }
    return file.string();
}

// The same frames as the 32-bit images the encoder takes (the viewer shows and records such
// images), made once before anything is timed: the command line gets raw RGB, its own input.
const std::vector<QImage>& imageFrames() {
    static const std::vector<QImage> images = [] {
        std::vector<QImage> list;
        const unsigned char* raw = rawFrames().data();
        for (int f = 0; f < kFrames; ++f) {
            const QImage rgb(raw + kFrameBytes * f, kSide, kSide, kSide * 3, QImage::Format_RGB888);
            list.push_back(rgb.convertToFormat(QImage::Format_RGB32));
        }
        return list;
    }();
    return images;
}

// Encodes the frames with QVideoEncoder into file; the run time in seconds, -1 on failure.
double encodeWithWrapper(const std::string& file) {
    const std::vector<QImage>& images = imageFrames();
    QuietOutput quiet;
    const auto start = Clock::now();
    QVideoEncoder encoder;
    if (!encoder.createFile(QString::fromStdString(file), kSide, kSide, 1000000, 20, 25)) {
        return -1;
    }
    for (const QImage& image : images) {
        if (encoder.encodeImage(image) < 0) {
            return -1;
        }
    }
    if (!encoder.close()) {
        return -1;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double encodeWithCli(const std::string& file) {
    return runFfmpeg({"-f", "rawvideo", "-pix_fmt", "rgb24", "-s", "400x400", "-r", "25", "-i",
                      rawFile(), "-c:v", "mpeg4", "-b:v", "1000000", "-g", "20", file});
}

// Decodes every frame of file into RGB images with QVideoDecoder; seconds, -1 on failure.
double decodeWithWrapper(const std::string& file, int& frames) {
    QuietOutput quiet;
    const auto start = Clock::now();
    QVideoDecoder decoder;
    if (!decoder.openFile(QString::fromStdString(file))) {
        return -1;
    }
    frames = 0;
    QImage picture;
    while (decoder.seekNextFrame()) {
        decoder.getFrame(picture);
        benchmark::DoNotOptimize(picture.constBits());
        ++frames;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double decodeWithCli(const std::string& file) {
    return runFfmpeg({"-i", file, "-pix_fmt", "rgb24", "-f", "null", "-"});
}

void report(benchmark::State& state, double ours, double cli, int frames) {
    const double iterations = static_cast<double>(state.iterations());
    state.counters["ours_fps"] = frames * iterations / ours;
    state.counters["ffmpeg_fps"] = frames * iterations / cli;
    state.counters["ratio"] = cli / ours;
}

void BM_EncodeOursVsFfmpeg(benchmark::State& state) {
    const std::string ours = (workFolder() / "ours.avi").string();
    const std::string cli = (workFolder() / "cli.avi").string();
    rawFile();
    imageFrames();
    double oursSeconds = 0;
    double cliSeconds = 0;
    for (auto _ : state) {
        const double a = encodeWithWrapper(ours);
        const double b = encodeWithCli(cli);
        if (a < 0 || b < 0) {
            state.SkipWithError(a < 0 ? "QVideoEncoder failed" : "ffmpeg failed or is missing");
            return;
        }
        oursSeconds += a;
        cliSeconds += b;
    }
    report(state, oursSeconds, cliSeconds, kFrames);
}

void BM_DecodeOursVsFfmpeg(benchmark::State& state) {
    const std::string file = (workFolder() / "decode.avi").string();
    if (encodeWithWrapper(file) < 0) {
        state.SkipWithError("QVideoEncoder failed");
        return;
    }
    double oursSeconds = 0;
    double cliSeconds = 0;
    int frames = 0;
    for (auto _ : state) {
        const double a = decodeWithWrapper(file, frames);
        const double b = decodeWithCli(file);
        if (a < 0 || b < 0 || frames != kFrames) {
            state.SkipWithError(a < 0 || frames != kFrames ? "QVideoDecoder failed"
                                                           : "ffmpeg failed or is missing");
            return;
        }
        oursSeconds += a;
        cliSeconds += b;
    }
    report(state, oursSeconds, cliSeconds, kFrames);
}

BENCHMARK(BM_EncodeOursVsFfmpeg)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeOursVsFfmpeg)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(workFolder(), ignored);
    return 0;
}
