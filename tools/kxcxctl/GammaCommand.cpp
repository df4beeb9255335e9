#include "GammaCommand.h"

#include <cstdio>
#include <fstream>

#include "DeviceCommand.h"
#include "LineWarnings.h"
#include "kxGammaLine.h"
#include "kxLineReader.h"
#include "kxReadableFile.h"

namespace {

constexpr const char* kUsage =
    "usage: gamma upload NUMBER [FILE] [--type 0-3] [--quiet] | gamma download NUMBER "
    "[--out FILE]  (NUMBER 0-15) [--device NAME]";
constexpr int kTableBytes = GammaLine::kEntries * 4;
constexpr int kEntries = GammaLine::kEntries;

std::string failure(int result) {
    if (result == -62) {
        return "the FPGA is busy";
    }
    if (result == -63) {
        return "the FPGA is not ready";
    }
    return "the transfer failed (" + std::to_string(result) + ")";
}

}  // namespace

void GammaCommand::warnAboutLines(const std::string& path, int type, std::ostream& err) {
    LineReader reader(path.c_str(), GammaLine::kMaxLine);
    LineWarnings warnings(err, "gamma", path);
    const int pairs = GammaLine::pairsOf(type);
    int number = 0;
    std::string line;
    while (reader.next(line)) {
        ++number;
        if (number > GammaLine::kEntries) {
            continue;
        }
        int levels[GammaLine::kMaxPairs];
        const int read = GammaLine::read(line, pairs, levels);
        if (read == pairs) {
            continue;
        }
        warnings.add(number,
                     pairs == 1 ? "the line holds no output level, entry " +
                                      std::to_string(number - 1) + " is 0"
                                : "the line holds " + std::to_string(read) + " of " +
                                      std::to_string(pairs) + " pairs, the missing levels are 0",
                     line);
    }
    if (number > GammaLine::kEntries) {
        warnings.add(GammaLine::kEntries + 1, "lines " + std::to_string(GammaLine::kEntries + 1) +
                                                  " to " + std::to_string(number) +
                                                  " are not used: a table holds " +
                                                  std::to_string(GammaLine::kEntries) + " entries");
    }
}

std::string GammaCommand::tableText(const std::vector<uint8_t>& table) {
    std::string text;
    char line[96];
    for (int k = 0; k < kEntries && static_cast<std::size_t>(k * 4 + 3) < table.size(); ++k) {
        const std::size_t at = static_cast<std::size_t>(k) * 4;
        const uint32_t word = static_cast<uint32_t>(table[at]) << 24 |
                              static_cast<uint32_t>(table[at + 1]) << 16 |
                              static_cast<uint32_t>(table[at + 2]) << 8 | table[at + 3];
        const double input = k / 1023.0;
        std::snprintf(line, sizeof line, "%.6f 0 %.6f %u %.6f %u %.6f %u\n", input, input,
                      word & 0x3FF, input, word >> 10 & 0x3FF, input, word >> 20 & 0x3FF);
        text += line;
    }
    return text;
}

int GammaCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> withValue = DeviceCommand::sessionOptions();
    withValue.insert(withValue.end(), {"--type", "--out"});
    const Arguments arguments(args, withValue);
    const auto& words = arguments.positional();
    const std::string verb = words.empty() ? "" : words[0];
    const auto number = words.size() >= 2 ? Arguments::number(words[1], 0, 15) : std::nullopt;
    const auto type = Arguments::number(arguments.option("--type").value_or("0"), 0, 3);
    const bool upload = verb == "upload" && (words.size() == 2 || words.size() == 3);
    const bool download = verb == "download" && words.size() == 2;
    if ((!upload && !download) || !number || !type) {
        return DeviceCommand::fail(err, "gamma", kUsage, 2);
    }
    // --quiet as every loader takes it: a gamma transfer draws no progress bar to leave out.
    auto session = DeviceCommand::open(arguments, {"--quiet"}, "gamma", err);
    if (!session) {
        return session.exitCode();
    }
    const int slot = static_cast<int>(*number);
    if (upload) {
        const char* file = words.size() == 3 ? words[2].c_str() : nullptr;
        // The library sends the identity table for a file it cannot read; asked for a file, the
        // command sends that file or nothing.
        if (file != nullptr) {
            if (const std::string problem = ReadableFile::problem(file); !problem.empty()) {
                return DeviceCommand::fail(err, "gamma",
                                           "cannot read " + words[2] + ": " + problem);
            }
            warnAboutLines(words[2], static_cast<int>(*type), err);
        }
        const int result = uploadGammaTable(session->handle(), slot, file, static_cast<int>(*type));
        if (result < 0) {
            return DeviceCommand::fail(err, "gamma", failure(result));
        }
        if (file == nullptr) {
            out << "table " << slot << ": no table file, the identity table was sent" << std::endl;
        } else if (result == 0) {
            out << "table " << slot << ": " << file << " holds no lines, every level is 0"
                << std::endl;
        } else {
            out << "table " << slot << ": " << result << " entries from " << words[2] << std::endl;
        }
        return 0;
    }
    std::vector<uint8_t> table(kTableBytes);
    const int result =
        downloadGammaTableTo(session->handle(), slot, table.data(), static_cast<int>(table.size()));
    if (result != kTableBytes) {
        return DeviceCommand::fail(err, "gamma", failure(result));
    }
    const std::string path = arguments.option("--out").value_or("");
    if (!path.empty()) {
        std::ofstream file(path);
        file << tableText(table);
        if (!file) {
            return DeviceCommand::fail(err, "gamma", "cannot write " + path);
        }
    }
    out << "table " << slot << ": " << result << " bytes read"
        << (path.empty() ? "" : ", saved to " + path) << std::endl;
    return 0;
}

CommandEntry GammaCommand::entry() {
    return {"gamma",
            {"gamma upload N [FILE] [--type 0-3]   send a gamma table to slot N (0-15)",
             "gamma download N [--out FILE]        read slot N (0-15) back (and save it)"},
            &GammaCommand::run};
}
