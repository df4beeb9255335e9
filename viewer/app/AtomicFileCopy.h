// Copies one file to a name that does not exist yet. The copy is written under a temporary name
// beside its target and renamed into place only when whole, so a crash or a full disk never
// leaves half a file under the target's name; a file that is already there is never replaced,
// even one that appears while the copy is being written.
#pragma once

#include <filesystem>
#include <string>

namespace hv {

class AtomicFileCopy {
public:
    enum Result {
        Copied,            // target now holds the whole of source
        Present,           // target existed (a file, folder or link of that name); left alone
        SourceUnreadable,  // source could not be opened or read to its end
        TargetUnwritable,  // target's folder could not be made or written
    };

    // Copies source to target, making target's folder (with parents) when missing. The new file
    // gets mode 0644. On SourceUnreadable and TargetUnwritable, why holds the system's reason and
    // nothing is left behind.
    static Result copy(const std::filesystem::path& source, const std::filesystem::path& target,
                       std::string& why);
};

}  // namespace hv
