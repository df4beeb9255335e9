// Notices a transport backend gives the library's log: something the user must put right before
// a board can be used (no permission on its device node, ...), in the user's words. The backend
// never writes the log itself; the library installs the sink that does (kxCxLib::load) and
// removes it before its log ends.
#pragma once

#include <functional>
#include <string>

namespace kx {

class TransportNotice {
public:
    using Sink = std::function<void(const std::string& text)>;

    TransportNotice() = delete;

    // Installs the receiver of the notices; an empty sink drops them. Replacing or removing the
    // sink waits for a call of the old one in progress.
    static void setSink(Sink sink);
    // Hands text to the sink, on the calling thread; dropped without a sink. The sink must not
    // post or set a sink itself.
    static void post(const std::string& text);
};

}  // namespace kx
