// Profile files are read by AppProfile. A profile read from a file (valid UTF-8, lines within
// the reader's length), written back and read again gives the same sections.
#include <QString>
#include <cstdint>
#include <string>

#include "AppProfile.h"
#include "FuzzScratch.h"
#include "WarningBox.h"

namespace {

bool sameSections(const QList<ProfileSection>& a, const QList<ProfileSection>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].getSectionHead() != b[i].getSectionHead() || a[i].items() != b[i].items()) {
            return false;
        }
    }
    return true;
}

// Inputs whose round trip is exact: the reader cuts longer lines, and text that is not UTF-8
// comes back with replacement characters.
bool roundTripExpected(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (QString::fromUtf8(bytes).toUtf8() != bytes) {
        return false;
    }
    size_t lineLength = 0;
    for (size_t i = 0; i < size; ++i) {
        lineLength = data[i] == '\n' ? 0 : lineLength + 1;
        if (lineLength > 4000) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FuzzScratch::startQt();
    kxui::WarningBox::setPresenter([](QWidget*, const QString&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = fuzz::FuzzScratch::write("input.profile", data, size);
    AppProfile profile(input.c_str());
    QList<ProfileSection> sections;
    if (!profile.readProfile(sections)) {
        return 0;
    }
    QStringList keys;
    profile.getSectionItems(keys, "[FOLDER LIST]");
    profile.insertSectionItem("[FOLDER LIST]", "/fuzz/key", "value");

    const std::string copy = fuzz::FuzzScratch::folder() + "/copy.profile";
    if (!profile.writeProfile(*profile.getProfileSections(), copy.c_str())) {
        __builtin_trap();
    }
    AppProfile again(copy.c_str());
    if (!again.readProfile(sections)) {
        __builtin_trap();
    }
    if (roundTripExpected(data, size) &&
        !sameSections(*profile.getProfileSections(), *again.getProfileSections())) {
        __builtin_trap();
    }
    return 0;
}
