#include "kxDeviceMap.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>
#include <vector>

namespace kx {

namespace {

constexpr std::string_view kSpace = " \t\r\v\f";

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> found;
    std::size_t position = line.find_first_not_of(kSpace);
    while (position != std::string_view::npos) {
        const std::size_t end = line.find_first_of(kSpace, position);
        found.push_back(line.substr(position, end - position));
        position = line.find_first_not_of(kSpace, end);
    }
    return found;
}

// 1 to 4 hex digits.
bool parseHex16(std::string_view text, uint16_t& value) {
    if (text.empty() || text.size() > 4) {
        return false;
    }
    unsigned int result = 0;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        result = result << 4 | static_cast<unsigned int>(digit);
    }
    value = static_cast<uint16_t>(result);
    return true;
}

std::string hexPair(uint16_t vendorId, uint16_t productId) {
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", vendorId, productId);
    return text;
}

}  // namespace

DeviceMap DeviceMap::parse(std::string_view text, std::string_view source, std::ostream& errors) {
    DeviceMap map;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        line = line.substr(0, line.find('#'));

        const auto fields = words(line);
        if (fields.empty()) {
            continue;
        }
        const auto bad = [&](const std::string& reason) {
            errors << source << ':' << lineNumber << ": " << reason << '\n';
        };
        if (fields.size() != 2) {
            bad("expected '<model label> <vid>:<pid>'");
            continue;
        }
        const std::string_view pair = fields[1];
        const std::size_t colon = pair.find(':');
        Entry entry{std::string(fields[0]), 0, 0, lineNumber};
        if (colon == std::string_view::npos || !parseHex16(pair.substr(0, colon), entry.vendorId) ||
            !parseHex16(pair.substr(colon + 1), entry.productId)) {
            bad("'" + std::string(pair) + "' is not a hex VID:PID");
            continue;
        }
        if (const Entry* known = map.find(entry.vendorId, entry.productId)) {
            if (!DeviceMap::sameLabel(known->label, entry.label)) {
                bad(hexPair(entry.vendorId, entry.productId) + " is already mapped to " +
                    known->label + " (line " + std::to_string(known->line) + ")");
            }
            continue;
        }
        map.m_entries.push_back(std::move(entry));
    }
    return map;
}

DeviceMap DeviceMap::load(const std::string& path, std::ostream& errors) {
    if (path.empty()) {
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        const int error = errno;
        if (error != ENOENT && error != ENOTDIR) {
            errors << path << ": cannot read: " << std::strerror(error) << '\n';
        }
        return {};
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        errors << path << ": cannot read\n";
        return {};
    }
    return parse(text.str(), path, errors);
}

std::string DeviceMap::pathFrom(const char* deviceMap, const char* root, const char* home) {
    const auto set = [](const char* value) { return value != nullptr && *value != '\0'; };
    if (set(deviceMap)) {
        return deviceMap;
    }
    std::string base;
    if (set(root)) {
        base = root;
    } else if (set(home)) {
        base = std::string(home) + "/Velquin";
    } else {
        return {};
    }
    return base + "/Config/devicemap.txt";
}

bool DeviceMap::sameLabel(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

std::string DeviceMap::defaultPath() {
    return pathFrom(std::getenv("KXCX_DEVICE_MAP"), std::getenv("VELQUIN_ROOT"),
                    std::getenv("HOME"));
}

const DeviceMap::Entry* DeviceMap::find(uint16_t vendorId, uint16_t productId) const {
    const auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return entry.vendorId == vendorId && entry.productId == productId;
    });
    return found != m_entries.end() ? &*found : nullptr;
}

}  // namespace kx
