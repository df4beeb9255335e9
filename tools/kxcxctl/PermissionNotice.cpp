#include "PermissionNotice.h"

std::optional<std::string> PermissionNotice::lastIn(const std::string& text) {
    const std::string start = kStart;
    const std::string end = kEnd;
    for (std::size_t at = text.rfind(start); at != std::string::npos;
         at = at == 0 ? std::string::npos : text.rfind(start, at - 1)) {
        const std::size_t stop = text.find(end, at);
        const std::size_t lineEnd = text.find('\n', at);
        if (stop == std::string::npos || (lineEnd != std::string::npos && stop > lineEnd)) {
            continue;  // cut short, or not the library's sentence
        }
        // The node: "BBB/DDD", digits and one slash.
        const std::string node = text.substr(at + start.size(), stop - at - start.size());
        const std::size_t slash = node.find('/');
        if (slash == std::string::npos || slash == 0 || slash + 1 == node.size() ||
            node.find_first_not_of("0123456789/") != std::string::npos ||
            node.find('/', slash + 1) != std::string::npos) {
            continue;
        }
        return text.substr(at, stop + end.size() - at);
    }
    return std::nullopt;
}

std::string PermissionNotice::withoutNode() {
    return std::string("no permission on the board's node under /dev/bus/usb") + kEnd;
}
