#include "GrabCommand.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "DeviceCommand.h"
#include "FrameSink.h"
#include "PngWriter.h"

namespace {
constexpr int kWidth = 400;
constexpr int kHeight = 400;
}  // namespace

int GrabCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> withValue = DeviceCommand::sessionOptions();
    withValue.push_back("--write");
    const Arguments arguments(args, withValue);
    const auto& words = arguments.positional();
    if (words.size() != 2) {
        return DeviceCommand::fail(
            err, "grab", "usage: grab N DIR [--write SLAVE:REG=VALUE]... [--device NAME]", 2);
    }
    const auto count = Arguments::number(words[0], 1, 1000);
    if (!count) {
        return DeviceCommand::fail(err, "grab", "N must be 1 to 1000: " + words[0], 2);
    }
    struct Write {
        long slave;
        long reg;
        long value;
    };
    std::vector<Write> writes;
    for (const std::string& text : arguments.options("--write")) {
        const std::size_t colon = text.find(':');
        const std::size_t equals = text.find('=');
        std::optional<long> slave, reg, value;
        if (colon != std::string::npos && equals != std::string::npos && colon < equals) {
            slave = Arguments::number(text.substr(0, colon), 0, 0x7F);
            reg = Arguments::number(text.substr(colon + 1, equals - colon - 1), 0, 0xFFFF);
            value = Arguments::number(text.substr(equals + 1), 0, 0xFF);
        }
        if (!slave || !reg || !value) {
            return DeviceCommand::fail(err, "grab", "--write wants SLAVE:REG=VALUE, got " + text,
                                       2);
        }
        writes.push_back({*slave, *reg, *value});
    }
    auto session = DeviceCommand::open(arguments, {}, "grab", err);
    if (!session) {
        return session.exitCode();
    }
    // The folder is made once the arguments have all been checked.
    std::error_code error;
    std::filesystem::create_directories(words[1], error);
    if (error || !std::filesystem::is_directory(words[1])) {
        return DeviceCommand::fail(err, "grab", "cannot make the folder " + words[1], 1);
    }
    // Registers set before the frames are taken (16-bit register addresses above 0xFF).
    for (const Write& write : writes) {
        if (writeRegister(session->handle(), static_cast<int>(write.slave),
                          static_cast<int>(write.reg), static_cast<int>(write.value),
                          write.reg > 0xFF ? 1 : 0) != 1) {
            return DeviceCommand::fail(err, "grab", "writing a register failed");
        }
    }
    FrameSink sink(static_cast<std::size_t>(*count));
    if (acquireImageStream(session->handle(), FrameSink::callback(), 0) < 0) {
        return DeviceCommand::fail(err, "grab", "the board did not start streaming");
    }
    // At 30 frames/s, plus a margin for a slow start. A picture that stands still for a second
    // (colour bars, a stopped scene) gives the frames that differ and no more.
    const bool complete =
        sink.waitKept(std::chrono::milliseconds(5000 + *count * 100),
                      std::chrono::milliseconds(1000), [&] { return session->boardRemoved(); });
    const bool removed = session->boardRemoved();
    acquireImageStream(session->handle(), nullptr, 0);
    const std::size_t kept = sink.frames().size();
    if (kept == 0) {
        return DeviceCommand::fail(
            err, "grab",
            removed ? "the board was removed before a frame arrived" : "no frame arrived");
    }
    if (!removed && !complete && sink.count() == sink.fresh()) {
        return DeviceCommand::fail(
            err, "grab",
            "only " + std::to_string(kept) + " of " + std::to_string(*count) + " frames arrived");
    }
    for (std::size_t i = 0; i < sink.frames().size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%03zu.png", i);
        const std::string path = (std::filesystem::path(words[1]) / name).string();
        const auto& frame = sink.frames()[i];
        if (frame.size() < static_cast<std::size_t>(kWidth * kHeight * 3) ||
            !PngWriter::write(path, frame.data(), kWidth, kHeight)) {
            return DeviceCommand::fail(err, "grab", "cannot write " + path);
        }
    }
    if (removed) {
        return DeviceCommand::fail(err, "grab",
                                   "the board was removed: wrote " + std::to_string(kept) + " of " +
                                       std::to_string(*count) + " frames to " + words[1]);
    }
    out << "wrote " << kept << " frames to " << words[1];
    if (kept < static_cast<std::size_t>(*count)) {
        out << " (the picture stood still; the others would repeat the last)";
    }
    out << std::endl;
    return 0;
}

CommandEntry GrabCommand::entry() {
    return {"grab",
            {"grab N DIR [--write SLAVE:REG=VALUE]...   set registers, then write N frames as PNG"},
            &GrabCommand::run};
}
