#include "SimConfigParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace boardsim {

namespace {

constexpr int kMaxBoardsPerGroup = 200;

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool parseNumber(std::string_view text, int base, long long& value) {
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

// "1.30": major and minor as the hexadecimal bytes the board reports.
bool parseVersion(std::string_view text, int& major, int& minor) {
    const std::size_t dot = text.find('.');
    long long high = 0;
    long long low = 0;
    if (dot == std::string_view::npos || !parseNumber(text.substr(0, dot), 16, high) ||
        !parseNumber(text.substr(dot + 1), 16, low) || high < 0 || high > 0xFF || low < 0 ||
        low > 0xFF) {
        return false;
    }
    major = static_cast<int>(high);
    minor = static_cast<int>(low);
    return true;
}

// "62+0x3c": 7-bit I2C addresses in hexadecimal, joined by '+'.
bool parseAddresses(std::string_view text, std::vector<uint8_t>& addresses) {
    std::vector<uint8_t> result;
    while (true) {
        const std::size_t plus = text.find('+');
        std::string_view item = text.substr(0, plus);
        if (item.size() > 2 && item[0] == '0' && item[1] == 'x') {
            item.remove_prefix(2);
        }
        long long address = 0;
        if (!parseNumber(item, 16, address) || address < 0 || address > 0x7F) {
            return false;
        }
        result.push_back(static_cast<uint8_t>(address));
        if (plus == std::string_view::npos) {
            break;
        }
        text.remove_prefix(plus + 1);
    }
    addresses = std::move(result);
    return true;
}

}  // namespace

bool SimConfigParser::parse(std::string_view text, std::vector<BoardConfig>& boards,
                            std::string& error) {
    std::vector<BoardConfig> result;
    text = trim(text);
    if (text.empty()) {
        result.emplace_back();
    } else if (lower(text) != "none") {
        while (true) {
            const std::size_t end = text.find(';');
            if (!parseGroup(trim(text.substr(0, end)), result, error)) {
                return false;
            }
            if (end == std::string_view::npos) {
                break;
            }
            text.remove_prefix(end + 1);
        }
    }
    boards = std::move(result);
    return true;
}

bool SimConfigParser::parseGroup(std::string_view group, std::vector<BoardConfig>& boards,
                                 std::string& error) {
    const std::size_t comma = group.find(',');
    std::string_view head = trim(group.substr(0, comma));
    long long count = 1;
    if (const std::size_t star = head.find('*'); star != std::string_view::npos) {
        if (!parseNumber(trim(head.substr(star + 1)), 10, count) || count < 1 ||
            count > kMaxBoardsPerGroup) {
            error = "board count must be 1 to " + std::to_string(kMaxBoardsPerGroup) + ": '" +
                    std::string(head) + "'";
            return false;
        }
        head = trim(head.substr(0, star));
    }
    BoardConfig config;
    config.model = BoardModels::find(head);
    if (config.model == nullptr) {
        error = "unknown board model '" + std::string(head) + "'";
        return false;
    }
    std::string_view rest = comma == std::string_view::npos ? "" : group.substr(comma + 1);
    while (!trim(rest).empty()) {
        const std::size_t next = rest.find(',');
        const std::string_view item = trim(rest.substr(0, next));
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos) {
            error = "expected key=value, got '" + std::string(item) + "'";
            return false;
        }
        if (!applyKey(trim(item.substr(0, eq)), trim(item.substr(eq + 1)), config, error)) {
            return false;
        }
        rest = next == std::string_view::npos ? "" : rest.substr(next + 1);
    }
    boards.insert(boards.end(), static_cast<std::size_t>(count), config);
    return true;
}

bool SimConfigParser::applyKey(std::string_view key, std::string_view value, BoardConfig& config,
                               std::string& error) {
    const std::string name = lower(key);
    const std::string text = lower(value);
    long long number = 0;
    int major = 0;
    int minor = 0;
    if (name == "fpga" && parseVersion(text, major, minor)) {
        config.fpgaMajor = static_cast<uint8_t>(major);
        config.fpgaMinor = static_cast<uint8_t>(minor);
    } else if (name == "mcu" && parseVersion(text, major, minor)) {
        config.mcuVersion = static_cast<uint16_t>(major << 8 | minor);
    } else if (name == "led" && (text == "pca9633" || text == "pca9530")) {
        config.ledChip = text == "pca9633" ? LedChip::Pca9633 : LedChip::Pca9530;
    } else if (name == "flash" && (text == "sst" || text == "page" || text == "unknown")) {
        config.flash = text == "sst"    ? FlashFamily::Sst
                       : text == "page" ? FlashFamily::PageProgram
                                        : FlashFamily::Unknown;
    } else if (name == "flashsize" && parseNumber(text, 10, number) && number >= 64 &&
               number <= 16384 && (number & (number - 1)) == 0) {
        config.flashSize = static_cast<std::size_t>(number) * 1024;
    } else if (name == "erase" && parseNumber(text, 10, number) && number >= 0 &&
               number <= 600000) {
        config.flashEraseTime = std::chrono::milliseconds(number);
    } else if (name == "program" && parseNumber(text, 10, number) && number >= 0 &&
               number <= 100000) {
        config.flashProgramTime = std::chrono::microseconds(number);
    } else if (name == "idcode" && text.starts_with("0x") &&
               parseNumber(std::string_view(text).substr(2), 16, number) && number >= 0 &&
               number <= 0xFFFFFFFFLL) {
        config.fpgaIdcode = static_cast<uint32_t>(number);
    } else if (name == "fpgabusy" && (text == "on" || text == "off")) {
        config.fpgaBusy = text == "on";
    } else if (name == "fpganotready" && (text == "on" || text == "off")) {
        config.fpgaNotReady = text == "on";
    } else if (name == "jtagstall" && (text == "on" || text == "off")) {
        config.jtagStalled = text == "on";
    } else if (name == "memfault" && (text == "on" || text == "off")) {
        config.memoryFault = text == "on";
    } else if (name == "fps" && parseNumber(text, 10, number) && number >= 0 && number <= 1000) {
        config.framesPerSecond = static_cast<int>(number);
    } else if (name == "seed" && parseNumber(text, 10, number) && number >= 0 &&
               number <= 0xFFFFFFFFLL) {
        config.seed = static_cast<uint32_t>(number);
    } else if (name == "pipes" && (text == "all" || text == "bulk")) {
        config.pipes = text == "all" ? PipeSet::All : PipeSet::BulkOnly;
    } else if (name == "nack" && parseAddresses(text, config.nackAddresses)) {
        // stored by parseAddresses
    } else if (name == "stall" && (text == "on" || text == "off")) {
        config.bulkInStalled = text == "on";
    } else if (name == "timeouts" &&
               (text == "on" || text == "off" ||
                (parseNumber(text, 10, number) && number >= 0 && number <= 1000000))) {
        config.controlTimeouts = text == "on" ? -1 : text == "off" ? 0 : static_cast<int>(number);
    } else {
        static const char* const kKnown[] = {
            "fpga",    "mcu",      "led",      "flash",        "flashsize", "erase",
            "program", "idcode",   "fps",      "seed",         "pipes",     "nack",
            "stall",   "timeouts", "fpgabusy", "fpganotready", "jtagstall", "memfault"};
        const bool known =
            std::find(std::begin(kKnown), std::end(kKnown), name) != std::end(kKnown);
        error = known ? "bad value for " + name + ": '" + std::string(value) + "'"
                      : "unknown key '" + std::string(key) + "'";
        return false;
    }
    return true;
}

}  // namespace boardsim
