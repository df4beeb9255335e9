#include "ShippedFiles.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "AtomicFileCopy.h"

namespace hv {

namespace {

namespace fs = std::filesystem;

const char* const kFirmware[] = {"firmware/default.bit", "firmware/default.hex",
                                 "firmware/default.iic", "firmware/default.mcs"};
const char* const kLogos[] = {"Nelvoralogo.png", "NV Logo - Help UI.png"};
constexpr const char* kGammaFolder = "gamma";
constexpr const char* kGammaTarget = "Config/Gamma/";
const std::string kGammaPrefix = "Lookup1024_";
const std::string kGammaSuffix = ".txt";

bool isGammaTable(const std::string& name) {
    return name.size() > kGammaPrefix.size() + kGammaSuffix.size() &&
           name.compare(0, kGammaPrefix.size(), kGammaPrefix) == 0 &&
           name.compare(name.size() - kGammaSuffix.size(), kGammaSuffix.size(), kGammaSuffix) == 0;
}

}  // namespace

ShippedFiles::ShippedFiles(fs::path dataFolder, fs::path pictureFolder)
    : m_dataFolder(std::move(dataFolder)), m_pictureFolder(std::move(pictureFolder)) {}

ShippedFiles ShippedFiles::forProgram(const fs::path& executable) {
    const fs::path installed =
        (executable.parent_path() / ".." / "share" / "kxcx").lexically_normal();
    std::error_code error;
    if (fs::is_directory(installed, error)) {
        return ShippedFiles(installed, installed);
    }
    return ShippedFiles(HARNVIEW_SHIPPED_DATA_DIR, HARNVIEW_SHIPPED_PICTURE_DIR);
}

ShippedFiles ShippedFiles::forThisProgram() {
    std::error_code error;
    return forProgram(fs::read_symlink("/proc/self/exe", error));
}

std::vector<ShippedFiles::Item> ShippedFiles::items(std::FILE* err) const {
    std::vector<Item> all = {{m_dataFolder / "reg_init.txt", "reg_init.txt"}};
    for (const char* name : kFirmware) {
        all.push_back({m_dataFolder / name, name});
    }
    const fs::path gamma = m_dataFolder / kGammaFolder;
    std::vector<std::string> tables;
    std::error_code error;
    for (fs::directory_iterator entry(gamma, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (isGammaTable(name)) {
            tables.push_back(name);
        }
    }
    if (error) {
        std::fprintf(err, "Harnview: cannot read the shipped folder %s: %s\n",
                     gamma.string().c_str(), error.message().c_str());
    }
    std::sort(tables.begin(), tables.end());
    for (const std::string& name : tables) {
        all.push_back({gamma / name, kGammaTarget + name});
    }
    for (const char* name : kLogos) {
        all.push_back({m_pictureFolder / name, name});
    }
    return all;
}

int ShippedFiles::addMissing(const fs::path& root, std::FILE* err) const {
    std::string added;
    int count = 0;
    for (const Item& item : items(err)) {
        const fs::path target = root / item.target;
        std::string why;
        switch (AtomicFileCopy::copy(item.source, target, why)) {
            case AtomicFileCopy::Copied:
                added += (count++ ? ", " : "") + item.target;
                break;
            case AtomicFileCopy::Present:
                break;
            case AtomicFileCopy::SourceUnreadable:
                std::fprintf(err, "Harnview: cannot read the shipped file %s: %s\n",
                             item.source.string().c_str(), why.c_str());
                break;
            case AtomicFileCopy::TargetUnwritable:
                std::fprintf(err, "Harnview: cannot add %s: %s\n", target.string().c_str(),
                             why.c_str());
                break;
        }
    }
    if (count > 0) {
        std::fprintf(err, "Harnview: added to %s: %s\n", root.string().c_str(), added.c_str());
    }
    return count;
}

}  // namespace hv
