#include "frame/kxLogSession.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "kxDailyLogName.h"
#include "log/kxCxLogger.h"
#include "log/kxCxModLog.h"

namespace {

constexpr std::size_t kNameBuffer = 8192;

bool saysOff(std::string_view value) {
    for (std::string_view off : {"0", "off", "no", "false"}) {
        if (value == off) {
            return true;
        }
    }
    return false;
}

}  // namespace

LogSettings LogSettings::fromEnvironment() {
    LogSettings settings;
    if (const char* folder = std::getenv(kFolderVariable)) {
        settings.folder = folder;
    }
    if (const char* echo = std::getenv(kEchoVariable)) {
        settings.echo = !saysOff(echo);
    }
    return settings;
}

std::string LogSession::userName() {
    std::vector<char> buffer(kNameBuffer);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr) {
        return result->pw_name;
    }
    return std::to_string(geteuid());
}

std::string LogSession::hostName() {
    std::vector<char> buffer(kNameBuffer, '\0');
    if (gethostname(buffer.data(), buffer.size() - 1) != 0) {
        return {};
    }
    return buffer.data();
}

void LogSession::start(CxLogger& logger, bool debugLogging) {
    const LogSettings settings = LogSettings::fromEnvironment();
    std::filesystem::path file = DailyLogName::today();
    if (!settings.folder.empty()) {
        // A folder that cannot be made leaves the open to fall back to the home folder.
        std::error_code ignored;
        std::filesystem::create_directories(settings.folder, ignored);
        file = std::filesystem::path(settings.folder) / file;
    }
    logger.open(file.string(), "CxLib");
    ModLog::setModLogFile(
        std::filesystem::path(logger.fileName()).replace_filename(ModLog::kDefaultFile).string());
    ModLog::setConsoleEcho(settings.echo);
    logger.setEcho(settings.echo);
    logger.log(8, "-------->>\n");
    logger.log(8, "Core session started on %D by %s on %s\n", userName().c_str(),
               hostName().c_str());
    logger.setLevelMask(debugLogging ? 4 : 8);
    logger.log(8, "Debug logging %s\n", debugLogging ? "enabled" : "disabled");
}
