#include "GammaFileList.h"

#include <QDir>

#include "VelquinRoot.h"

namespace hv {

namespace {

constexpr int kFirstRepeated = 4;
constexpr int kLastRepeated = 6;

bool inList(int slot) {
    return slot >= 0 && slot < GammaFileList::kSlots;
}

}  // namespace

std::array<QString, GammaFileList::kSlots>& GammaFileList::table() {
    static std::array<QString, kSlots> names = [] {
        std::array<QString, kSlots> initial;
        for (int slot = 0; slot < kSlots; ++slot) {
            initial[static_cast<std::size_t>(slot)] = resetName(slot);
        }
        return initial;
    }();
    return names;
}

QString GammaFileList::name(int slot) {
    return inList(slot) ? table()[static_cast<std::size_t>(slot)] : QString();
}

void GammaFileList::setName(int slot, const QString& name) {
    if (inList(slot)) {
        table()[static_cast<std::size_t>(slot)] = name;
    }
}

void GammaFileList::reset() {
    for (int slot = 0; slot < kSlots; ++slot) {
        setName(slot, resetName(slot));
    }
}

QString GammaFileList::resetName(int slot) {
    if (!inList(slot)) {
        return QString();
    }
    const int file = slot >= kFirstRepeated && slot <= kLastRepeated ? 0 : slot;
    return QDir::toNativeSeparators(
        VelquinRoot::path(QStringLiteral("Config/Gamma/Lookup1024_%1.txt").arg(file)));
}

QString GammaFileList::folder() {
    return QDir::toNativeSeparators(VelquinRoot::path(QStringLiteral("Config/Gamma")));
}

}  // namespace hv
