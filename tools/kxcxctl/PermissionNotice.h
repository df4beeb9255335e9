// Why a board could not be opened when the system refused its device node. The library tells its
// caller only EACCES (errno after openCxDevice) and writes the node to its log:
//   "no permission on /dev/bus/usb/001/004; see the README on udev rules"
// kxcxctl reads that sentence back from what the library appended to its daily log during the
// run (LogMark), so the user sees the same words without a look into the log.
#pragma once

#include <optional>
#include <string>

class PermissionNotice {
public:
    static constexpr const char* kStart = "no permission on /dev/bus/usb/";
    static constexpr const char* kEnd = "; see the README on udev rules";

    // The last whole sentence in text ("no permission on /dev/bus/usb/...; see the README on udev
    // rules"); nullopt when there is none.
    static std::optional<std::string> lastIn(const std::string& text);
    // For a node the log does not name: the sentence without the node's numbers.
    static std::string withoutNode();
};
